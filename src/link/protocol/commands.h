#pragma once
// Command bytes of the serial protocol. Status, trigger, stored-data and
// firmware-update commands join this list as their exchanges are added.

#include <cstdint>

namespace q51::protocol::Command {

// To the decoder with the 256-byte block (download); also the command of the
// decoder's upload reply frame.
inline constexpr std::uint8_t WriteConfiguration = 0x01;
inline constexpr std::uint8_t ReadConfiguration = 0x80;
inline constexpr std::uint8_t ReadVersion = 0x85;
// Command of the decoder's version reply frame (the same value as Ack).
inline constexpr std::uint8_t VersionReply = 0x06;

// Whether a request frame with this command carries a length byte and
// payload. Needed by anything that reads requests off the line, because a
// length byte may itself be 0x03 and so cannot be told from ETX by value.
constexpr bool RequestCarriesPayload(std::uint8_t command)
{
    return command == WriteConfiguration;
}

} // namespace q51::protocol::Command
