#include "link/protocol/version_reply.h"

#include "link/protocol/acknowledged_frame.h"
#include "link/protocol/commands.h"

namespace q51::protocol {

VersionReply JudgeVersionReply(ByteView reply)
{
    const AcknowledgedFrame judged = JudgeAcknowledgedFrame(reply, Command::VersionReply, VersionTextSize);
    VersionReply result{judged.state, {}};
    if (judged.state == InputPos::Accepted)
        result.text.assign(judged.payload.begin(), judged.payload.end());
    return result;
}

} // namespace q51::protocol
