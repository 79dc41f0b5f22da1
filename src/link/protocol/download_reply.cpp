#include "link/protocol/download_reply.h"

#include "link/protocol/control_bytes.h"

namespace q51::protocol {

InputPos JudgeDownloadReply(ByteView reply)
{
    if (reply.empty())
        return InputPos::NothingReceived;
    return reply[0] == Ack ? InputPos::Accepted : InputPos::Failed;
}

} // namespace q51::protocol
