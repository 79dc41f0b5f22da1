#include "link/protocol/status_reply.h"

#include <algorithm>

#include "link/protocol/console_requests.h"
#include "link/protocol/control_bytes.h"
#include "link/protocol/frame.h"

namespace q51::protocol {

StatusReply JudgeStatusReply(ByteView reply)
{
    if (reply.size() < StatusLimits.receiveThreshold)
        return {};
    if (reply[0] != Ack)
        return {InputPos::NotAcknowledged, std::nullopt};
    StatusBytes bytes{};
    std::copy_n(reply.begin() + 1, bytes.size(), bytes.begin());
    if (bytes[0] != Stx || bytes[1] != StatusMark || Xor(bytes) != 0)
        return {InputPos::Failed, std::nullopt};
    return {InputPos::Accepted, bytes};
}

StatusBytes StatusReplyBytes(std::uint8_t statusByte)
{
    const std::uint8_t payload[] = {statusByte};
    const Bytes frame = BuildFrame(Command::StatusReply, payload);
    StatusBytes bytes{};
    std::copy_n(frame.begin(), bytes.size(), bytes.begin());
    return bytes;
}

} // namespace q51::protocol
