#pragma once
// The framing and handshake bytes every serial exchange with the decoder uses.

#include <cstdint>

namespace q51::protocol {

inline constexpr std::uint8_t Stx = 0x02;
inline constexpr std::uint8_t Etx = 0x03;
// First byte of every decoder reply that accepts the request.
inline constexpr std::uint8_t Ack = 0x06;

} // namespace q51::protocol
