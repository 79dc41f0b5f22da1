#pragma once
// Judges a reply made of ACK followed by one frame with a payload of known
// size: the shape of the upload and the version replies.
//
// - Fewer bytes than ACK + frame: NothingReceived. The exchange would still
//   be waiting for the rest, so a truncated reply reads as a timeout; this
//   holds for a lone refusal byte too.
// - Bytes after ACK + frame are not part of the reply and are ignored: the
//   frame is judged on its own bytes, which fully decide whether it is good.
// - First byte not ACK: NotAcknowledged.
// - The STX and command positions are not compared: the decoder's bytes
//   there are replaced by the expected ones before the XOR, as decoders in
//   the field may rely on. The frame is accepted when the length byte and
//   ETX sit where expected and the XOR from STX through BCC is 0.

#include <cstddef>
#include <cstdint>

#include "link/protocol/bytes.h"
#include "link/protocol/input_pos.h"

namespace q51::protocol {

struct AcknowledgedFrame {
    InputPos state = InputPos::NothingReceived;
    ByteView payload; // into the reply; only when Accepted
};

// payloadSize must be 1 to MaxPayloadSize.
AcknowledgedFrame JudgeAcknowledgedFrame(ByteView reply, std::uint8_t command, std::size_t payloadSize);

} // namespace q51::protocol
