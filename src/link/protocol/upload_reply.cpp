#include "link/protocol/upload_reply.h"

#include <algorithm>

#include "link/protocol/acknowledged_frame.h"
#include "link/protocol/commands.h"

namespace q51::protocol {

UploadReply JudgeUploadReply(ByteView reply)
{
    const AcknowledgedFrame judged = JudgeAcknowledgedFrame(reply, Command::WriteConfiguration, BlockSize);
    UploadReply result{judged.state, std::nullopt};
    if (judged.state == InputPos::Accepted) {
        Block block{};
        std::copy(judged.payload.begin(), judged.payload.end(), block.begin());
        result.block = block;
    }
    return result;
}

} // namespace q51::protocol
