#pragma once
// The decoder's answer to the Status command over RS232: ACK and six bytes
// d[0..5], a frame 02 02 00 s 03 BCC with the status byte s as its one
// payload byte, 7 bytes in all. Judged as the decoders in the field expect:
// d[0] and d[1] must both be 0x02 and the XOR of the six must be 0; the
// length byte and ETX are not compared.
//
// - Fewer than 7 bytes: NothingReceived (the exchange would still wait).
// - Bytes after the seventh are not part of the reply and are ignored.
// - First byte not ACK: NotAcknowledged. Otherwise Accepted or Failed.

#include <cstdint>
#include <optional>

#include "link/protocol/bytes.h"
#include "link/protocol/exchange_limits.h"
#include "link/protocol/input_pos.h"
#include "link/protocol/typed_replies.h"

namespace q51::protocol {

// Index of the status byte in the six reply bytes.
inline constexpr std::size_t StatusByteIndex = 3;
// Index and value of the byte that marks a status reply.
inline constexpr std::size_t StatusMarkIndex = 1;
inline constexpr std::uint8_t StatusMark = 0x02;

// ACK + 6 bytes, within 5000 ms.
inline constexpr ExchangeLimits StatusLimits{7, 5000};

struct StatusReply {
    InputPos state = InputPos::NothingReceived;
    std::optional<StatusBytes> bytes; // only when Accepted
};

StatusReply JudgeStatusReply(ByteView reply);

// The reply the decoder sends for a status byte (what a decoder or
// simulator types or writes).
StatusBytes StatusReplyBytes(std::uint8_t statusByte);

// A status reply carries a status byte only when d[1] is 0x02: a keyboard
// reply may pass its XOR check without it.
inline bool CarriesStatus(const StatusBytes &bytes)
{
    return bytes[StatusMarkIndex] == StatusMark;
}

} // namespace q51::protocol
