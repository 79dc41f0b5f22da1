#include "link/protocol/frame.h"

#include <stdexcept>

#include "link/protocol/control_bytes.h"

namespace q51::protocol {

std::uint8_t Xor(ByteView bytes)
{
    std::uint8_t x = 0;
    for (std::uint8_t b : bytes)
        x ^= b;
    return x;
}

Bytes BuildFrame(std::uint8_t command, ByteView payload)
{
    if (payload.size() > MaxPayloadSize)
        throw std::length_error("frame payload longer than 256 bytes");
    Bytes frame;
    frame.reserve(FrameSize(payload.size()));
    frame.push_back(Stx);
    frame.push_back(command);
    if (!payload.empty()) {
        frame.push_back(static_cast<std::uint8_t>(payload.size() - 1));
        frame.insert(frame.end(), payload.begin(), payload.end());
    }
    frame.push_back(Etx);
    frame.push_back(Xor(frame));
    return frame;
}

} // namespace q51::protocol
