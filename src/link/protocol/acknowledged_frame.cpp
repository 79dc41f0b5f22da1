#include "link/protocol/acknowledged_frame.h"

#include <cassert>

#include "link/protocol/control_bytes.h"
#include "link/protocol/frame.h"

namespace q51::protocol {

AcknowledgedFrame JudgeAcknowledgedFrame(ByteView reply, std::uint8_t command, std::size_t payloadSize)
{
    assert(payloadSize >= 1 && payloadSize <= MaxPayloadSize);
    const std::size_t frameSize = FrameSize(payloadSize);
    if (reply.size() < 1 + frameSize)
        return {InputPos::NothingReceived, {}};
    if (reply[0] != Ack)
        return {InputPos::NotAcknowledged, {}};

    const ByteView frame = reply.subspan(1, frameSize);
    const auto lengthByte = static_cast<std::uint8_t>(payloadSize - 1);
    // STX and command as expected, whatever arrived there.
    const std::uint8_t check = Stx ^ command ^ Xor(frame.subspan(2));
    if (frame[2] != lengthByte || frame[frameSize - 2] != Etx || check != 0)
        return {InputPos::Failed, {}};
    return {InputPos::Accepted, frame.subspan(3, payloadSize)};
}

} // namespace q51::protocol
