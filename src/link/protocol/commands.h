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

// Firmware update: the access frame carries the image's first four bytes.
inline constexpr std::uint8_t IspAccess = 0x12;

// Stored scan data, kept by the decoder as numbered groups. The range
// requests carry the first and last group number, high byte first.
inline constexpr std::uint8_t ReadAllGroups = 0xC0;
inline constexpr std::uint8_t ReadGroupRange = 0x41;
inline constexpr std::uint8_t ClearAllGroups = 0xC4;
inline constexpr std::uint8_t ClearGroupRange = 0x40;
inline constexpr std::uint8_t ReadFreeSpace = 0xC2;
inline constexpr std::uint8_t ReadGroupSizes = 0xC3;
// Commands of the decoder's stored-data reply frames: 'a', 'b', 'c'.
inline constexpr std::uint8_t GroupDataReply = 0x61;
inline constexpr std::uint8_t FreeSpaceReply = 0x62;
inline constexpr std::uint8_t GroupSizesReply = 0x63;

// Whether a request frame with this command carries a length byte and
// payload. Needed by anything that reads requests off the line, because a
// length byte may itself be 0x03 and so cannot be told from ETX by value.
constexpr bool RequestCarriesPayload(std::uint8_t command)
{
    return command == WriteConfiguration || command == IspAccess || command == ReadGroupRange
           || command == ClearGroupRange;
}

} // namespace q51::protocol::Command
