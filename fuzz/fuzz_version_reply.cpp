// Version replies of any content and length: no read outside the reply, and
// an accepted reply's text is the frame's 30 payload bytes.

#include <cstddef>
#include <cstdint>
#include <string>

#include "link/protocol/version_reply.h"

using namespace q51::protocol;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const VersionReply version = JudgeVersionReply(ByteView(data, size));
    if (version.state == InputPos::Accepted) {
        if (version.text != std::string(reinterpret_cast<const char *>(data) + 4, VersionTextSize))
            __builtin_trap();
    } else if (!version.text.empty()) {
        __builtin_trap();
    }
    if (size < 36 && version.state != InputPos::NothingReceived)
        __builtin_trap();
    return 0;
}
