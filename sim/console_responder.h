#pragma once
// The decoder's answers to the command console's two commands: Status gets
// ACK and the six-byte status reply carrying the decoder's status byte;
// Trigger starts a read and gets no reply.

#include <cstdint>

namespace q51::sim {

struct Answer; // decoder_responder.h

// Reading mode 3 (continuous, auto power), PE on, TG off, decode OK.
inline constexpr std::uint8_t DefaultStatusByte = 0x2B;

Answer StatusAnswer(std::uint8_t statusByte);
Answer TriggerAnswer();

} // namespace q51::sim
