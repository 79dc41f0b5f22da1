#include "sim/output_schedule.h"

#include <algorithm>

namespace q51::sim {

namespace {
constexpr int BitsPerByte = 10;
}

OutputSchedule::OutputSchedule(int baud, std::chrono::milliseconds replyDelay) : replyDelay_(replyDelay)
{
    if (baud > 0)
        byteTime_ = std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(1'000'000'000LL * BitsPerByte / baud));
}

void OutputSchedule::NoteReceived(std::size_t count, TimePoint now)
{
    requestEnd_ = std::max(requestEnd_, now) + byteTime_ * static_cast<long>(count);
}

void OutputSchedule::Enqueue(const ShapedReply &reply, TimePoint now)
{
    TimePoint t = std::max(std::max(now, requestEnd_) + replyDelay_, lineFree_);
    for (const ReplyChunk &chunk : reply.chunks) {
        t += std::chrono::milliseconds(chunk.pauseBeforeMs);
        for (std::uint8_t b : chunk.bytes) {
            queue_.push_back({b, t});
            t += byteTime_;
        }
    }
    lineFree_ = std::max(lineFree_, t);
}

protocol::Bytes OutputSchedule::Due(TimePoint now) const
{
    protocol::Bytes due;
    for (const TimedByte &b : queue_) {
        if (b.due > now)
            break;
        due.push_back(b.byte);
    }
    return due;
}

void OutputSchedule::Consume(std::size_t count)
{
    queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(std::min(count, queue_.size())));
}

std::optional<OutputSchedule::TimePoint> OutputSchedule::NextDue() const
{
    if (queue_.empty())
        return std::nullopt;
    return queue_.front().due;
}

} // namespace q51::sim
