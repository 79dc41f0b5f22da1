// ACK-plus-frame replies of any content and length, for any payload size:
// the payload always lies inside the reply, a reply too short to hold the
// frame is still awaited, bytes after the frame change nothing, and an
// accepted frame's payload is the bytes after its header.

#include <cstddef>
#include <cstdint>

#include "link/protocol/acknowledged_frame.h"
#include "link/protocol/frame.h"

using namespace q51::protocol;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes choose the command and the payload size.
    const std::uint8_t command = data[0];
    const std::size_t payloadSize = 1 + data[1] % MaxPayloadSize;
    const ByteView reply(data + 2, size - 2);
    const std::size_t whole = payloadSize + 6; // ACK, STX, command, length, payload, ETX, BCC

    const AcknowledgedFrame judged = JudgeAcknowledgedFrame(reply, command, payloadSize);
    if (reply.size() < whole && judged.state != InputPos::NothingReceived)
        __builtin_trap();
    if (judged.state == InputPos::Accepted) {
        if (judged.payload.size() != payloadSize || judged.payload.data() != reply.data() + 4)
            __builtin_trap();
    } else if (!judged.payload.empty()) {
        __builtin_trap();
    }
    if (reply.size() > whole) {
        const AcknowledgedFrame own = JudgeAcknowledgedFrame(reply.first(whole), command, payloadSize);
        if (own.state != judged.state)
            __builtin_trap();
    }
    return 0;
}
