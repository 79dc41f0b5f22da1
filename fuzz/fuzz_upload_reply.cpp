// Upload (and download) replies of any content and length: no read outside
// the reply, and an accepted reply's block is the frame's payload.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "link/protocol/download_reply.h"
#include "link/protocol/upload_reply.h"

using namespace q51::protocol;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const ByteView reply(data, size);
    const UploadReply upload = JudgeUploadReply(reply);
    if (upload.block.has_value() != (upload.state == InputPos::Accepted))
        __builtin_trap();
    if (upload.block && !std::equal(upload.block->begin(), upload.block->end(), data + 4))
        __builtin_trap();
    if (size < 262 && upload.state != InputPos::NothingReceived)
        __builtin_trap();

    const InputPos download = JudgeDownloadReply(reply);
    if ((download == InputPos::NothingReceived) != (size == 0))
        __builtin_trap();
    return 0;
}
