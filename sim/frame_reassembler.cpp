#include "sim/frame_reassembler.h"

#include <algorithm>
#include <utility>

#include "link/protocol/commands.h"
#include "link/protocol/control_bytes.h"
#include "link/protocol/frame.h"

namespace q51::sim {

using protocol::Etx;
using protocol::Stx;

std::vector<ReceivedFrame> FrameReassembler::Feed(protocol::ByteView bytes)
{
    std::vector<ReceivedFrame> frames;
    for (std::uint8_t b : bytes) {
        if (pending_.empty() && b != Stx) {
            ++skipped_;
            continue;
        }
        pending_.push_back(b);
        Settle(frames);
    }
    return frames;
}

std::size_t FrameReassembler::TakeSkippedCount()
{
    return std::exchange(skipped_, 0);
}

std::size_t FrameReassembler::DropPending()
{
    const std::size_t n = pending_.size();
    pending_.clear();
    return n;
}

FrameReassembler::Scan FrameReassembler::ScanPending(std::size_t &frameSize) const
{
    if (pending_.size() < 2)
        return Scan::Incomplete;
    const std::uint8_t command = pending_[1];
    if (protocol::Command::RequestCarriesPayload(command)) {
        if (pending_.size() < 3)
            return Scan::Incomplete;
        frameSize = protocol::FrameSize(std::size_t{pending_[2]} + 1);
    } else {
        frameSize = protocol::FrameSize(0);
    }
    const std::size_t etxAt = frameSize - 2;
    if (pending_.size() <= etxAt)
        return Scan::Incomplete;
    if (pending_[etxAt] != Etx)
        return Scan::Broken;
    return pending_.size() < frameSize ? Scan::Incomplete : Scan::Complete;
}

// Takes every complete frame off the front of pending_, restarting the search
// after garbled ones, until what is left is an unfinished frame or nothing.
void FrameReassembler::Settle(std::vector<ReceivedFrame> &out)
{
    for (;;) {
        std::size_t frameSize = 0;
        const Scan scan = ScanPending(frameSize);
        if (scan == Scan::Incomplete)
            return;
        if (scan == Scan::Broken) {
            DiscardUntilStx(1);
            continue;
        }
        ReceivedFrame frame;
        frame.command = pending_[1];
        if (frameSize > protocol::FrameSize(0))
            frame.payload.assign(pending_.begin() + 3, pending_.begin() + static_cast<std::ptrdiff_t>(frameSize) - 2);
        frame.bccOk = protocol::Xor(protocol::ByteView(pending_).first(frameSize)) == 0;
        out.push_back(std::move(frame));
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(frameSize));
        // Only a restart after a garbled frame leaves bytes behind a
        // complete one; they need the same treatment as fresh input.
        DiscardUntilStx(0);
    }
}

void FrameReassembler::DiscardUntilStx(std::size_t from)
{
    const auto next = std::find(pending_.begin() + static_cast<std::ptrdiff_t>(from), pending_.end(), Stx);
    skipped_ += static_cast<std::size_t>(next - pending_.begin());
    pending_.erase(pending_.begin(), next);
}

} // namespace q51::sim
