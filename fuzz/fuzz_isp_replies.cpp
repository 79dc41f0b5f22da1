// Firmware-update answers of any content and page frames of any image: only
// the first byte of an answer counts, and every page frame checks out.

#include <cstddef>
#include <cstdint>

#include "link/protocol/frame.h"
#include "link/protocol/isp_frames.h"

using namespace q51::protocol;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const ByteView chunk(data, size);
    const IspReply access = JudgeIspAccessReply(chunk);
    const IspReply step = JudgeIspStepReply(chunk);
    if (size == 0) {
        if (access != IspReply::NothingReceived || step != IspReply::NothingReceived)
            __builtin_trap();
        return 0;
    }
    if (access != JudgeIspAccessReply(chunk.first(1)) || step != JudgeIspStepReply(chunk.first(1)))
        __builtin_trap();

    // The same bytes as an image.
    const std::size_t pages = IspPageCount(size);
    if (pages > 128 || IspProgressMaximum(size) < pages)
        __builtin_trap();
    if (Xor(IspAccessFrame(chunk)) != 0)
        __builtin_trap();
    for (std::size_t page = 0; page < pages; ++page) {
        const Bytes frame = IspPageFrame(chunk, page);
        if (frame.size() != IspPageFrameSize || Xor(ByteView(frame).subspan(1, 517)) != 0)
            __builtin_trap();
    }
    return 0;
}
