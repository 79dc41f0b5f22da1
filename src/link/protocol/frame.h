#pragma once
// The frame every serial exchange uses: STX, command, for a payload a length
// byte (payload length minus one) and the payload, ETX, and BCC, the XOR of
// every byte from STX through ETX.

#include <cstddef>
#include <cstdint>

#include "link/protocol/bytes.h"

namespace q51::protocol {

// The length byte holds payload length minus one, so one byte caps it.
inline constexpr std::size_t MaxPayloadSize = 256;

constexpr std::size_t FrameSize(std::size_t payloadSize)
{
    return payloadSize == 0 ? 4 : 5 + payloadSize;
}

// XOR of all bytes given.
std::uint8_t Xor(ByteView bytes);

// Throws std::length_error for a payload over MaxPayloadSize (a caller bug).
Bytes BuildFrame(std::uint8_t command, ByteView payload = {});

} // namespace q51::protocol
