#pragma once
// Reads request frames off a byte stream that may deliver them in any
// pieces. Bytes before an STX are skipped. When a frame turns out garbled
// (ETX missing where the length says it must be) the search restarts at
// the next STX after the broken frame's start, so a good frame behind a
// damaged one is still found. A complete frame whose BCC does not match is
// reported as such and dropped whole: its payload is never searched for
// frames, so a block that happens to contain request bytes cannot trigger
// a reply.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "link/protocol/bytes.h"

namespace q51::sim {

struct ReceivedFrame {
    std::uint8_t command = 0;
    protocol::Bytes payload;
    bool bccOk = false;
};

class FrameReassembler {
public:
    std::vector<ReceivedFrame> Feed(protocol::ByteView bytes);

    // Bytes skipped as not belonging to any frame since the last call.
    std::size_t TakeSkippedCount();
    // Bytes of a frame begun but not finished.
    [[nodiscard]] std::size_t PendingCount() const { return pending_.size(); }
    // The command of the frame under way, once its first two bytes are in.
    [[nodiscard]] std::optional<std::uint8_t> PendingCommand() const
    {
        return pending_.size() >= 2 ? std::optional<std::uint8_t>(pending_[1]) : std::nullopt;
    }
    // Forgets an unfinished frame (the sender gave up on it); returns its size.
    std::size_t DropPending();

private:
    enum class Scan { Incomplete, Complete, Broken };
    Scan ScanPending(std::size_t &frameSize) const;
    void Settle(std::vector<ReceivedFrame> &out);
    // Drops bytes off the front up to the first STX at or after `from`.
    void DiscardUntilStx(std::size_t from);

    protocol::Bytes pending_; // starts with STX when not empty
    std::size_t skipped_ = 0;
};

} // namespace q51::sim
