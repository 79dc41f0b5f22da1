#pragma once
// Reads the bare frames of the in-system programming sequence off the line:
// erase (00 55 AA), page (01, 519 more bytes) and end (05 55 AA). They
// carry no STX and no length, so the first byte alone says how long each is.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "link/protocol/bytes.h"

namespace q51::sim {

struct IspFrame {
    protocol::Bytes bytes; // the whole frame, first byte included
};

class IspFrameReader {
public:
    // Whether a frame may start with this byte.
    static bool StartsFrame(std::uint8_t b);

    // Takes one byte; returns the frame it completes. A byte that starts no
    // frame is skipped.
    std::optional<IspFrame> Feed(std::uint8_t b);

    [[nodiscard]] std::size_t PendingCount() const { return pending_.size(); }
    // Forgets an unfinished frame; returns its size.
    std::size_t DropPending();

private:
    protocol::Bytes pending_;
};

} // namespace q51::sim
