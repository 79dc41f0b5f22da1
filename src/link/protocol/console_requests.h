#pragma once
// The two single commands of the command console, and the frame command of
// the decoder's status reply.

#include <cstdint>

#include "link/protocol/bytes.h"

namespace q51::protocol {

namespace Command {
inline constexpr std::uint8_t Trigger = 0x82;
inline constexpr std::uint8_t Status = 0x83;
// Command of the decoder's status reply frame.
inline constexpr std::uint8_t StatusReply = 0x02;
} // namespace Command

// 02 83 03 82
Bytes StatusRequest();
// 02 82 03 83; the decoder sends no reply over RS232.
Bytes TriggerRequest();

} // namespace q51::protocol
