// What a decoder types on the keyboard line, of any content and length, and
// the status reply over RS232: no read outside the input, and whatever is
// accepted stands for exactly what was typed or sent.

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/protocol/block_checksum.h"
#include "link/protocol/frame.h"
#include "link/protocol/hex_text.h"
#include "link/protocol/status_reply.h"
#include "link/protocol/typed_replies.h"

using namespace q51::protocol;

namespace {

std::string upper(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view typed(reinterpret_cast<const char *>(data), size);

    if (const auto block = DecodeTypedBlock(typed)) {
        if (size != 512 || HexText(*block) != upper(typed) || ComputeBlockChecksum(*block).low != (*block)[255])
            __builtin_trap();
    }
    if (const auto text = DecodeTypedVersion(typed)) {
        if (size != 40 || *text != typed.substr(6, 30) || !typed.starts_with("02061D"))
            __builtin_trap();
    }
    if (const auto status = DecodeTypedStatus(typed)) {
        if (size != 12 || Xor(*status) != 0 || HexText(*status) != upper(typed))
            __builtin_trap();
    }

    const StatusReply reply = JudgeStatusReply(ByteView(data, size));
    if (size < 7 && reply.state != InputPos::NothingReceived)
        __builtin_trap();
    if (reply.bytes.has_value() != (reply.state == InputPos::Accepted))
        __builtin_trap();
    if (reply.bytes && (!std::equal(reply.bytes->begin(), reply.bytes->end(), data + 1) || !CarriesStatus(*reply.bytes)))
        __builtin_trap();
    return 0;
}
