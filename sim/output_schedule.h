#pragma once
// When each reply byte may go out. On a paced line (a baud rate given) a
// request only ends once its bytes have had their wire time, and reply
// bytes leave one per byte time, so the client sees the delays of a real
// line. Time is passed in, so the schedule can be checked without waiting.

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>

#include "link/protocol/bytes.h"
#include "sim/reply_faults.h"

namespace q51::sim {

class OutputSchedule {
public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;

    // baud 0: no pacing. Every reply starts no earlier than replyDelay after
    // the request that caused it.
    explicit OutputSchedule(int baud = 0, std::chrono::milliseconds replyDelay = {});

    // Line time of one byte: start bit, eight data bits, stop bit.
    [[nodiscard]] Clock::duration ByteTime() const { return byteTime_; }

    void NoteReceived(std::size_t count, TimePoint now);
    void Enqueue(const ShapedReply &reply, TimePoint now);

    // The bytes at the front whose time has come, oldest first.
    [[nodiscard]] protocol::Bytes Due(TimePoint now) const;
    // Removes count bytes from the front once they were written.
    void Consume(std::size_t count);

    [[nodiscard]] std::optional<TimePoint> NextDue() const;
    [[nodiscard]] bool Empty() const { return queue_.empty(); }
    // Forgets what was still to go out, as a line that went away does.
    void Clear() { queue_.clear(); }

private:
    struct TimedByte {
        std::uint8_t byte;
        TimePoint due;
    };

    std::deque<TimedByte> queue_;
    Clock::duration byteTime_{};
    Clock::duration replyDelay_{};
    TimePoint requestEnd_{}; // when the last request byte finished arriving
    TimePoint lineFree_{};   // when the last queued byte has left
};

} // namespace q51::sim
