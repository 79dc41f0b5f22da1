// The keyboard-port helper's request reader and judge: whatever arrives on
// its pipe, every write it allows goes to the keyboard data port with a byte
// the keyboard line sends, and no line it keeps outgrows the limit.

#include <cstdint>
#include <cstdlib>

#include "link/portio/keyboard_helper_protocol.h"
#include "link/portio/port_io.h"

using namespace q51::keyboard_helper;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    RequestLineReader reader;
    for (std::size_t i = 0; i < size; ++i) {
        const auto line = reader.feed(char(data[i]));
        if (!line)
            continue;
        if (line->text.size() > MaxRequestLength)
            std::abort();
        const Verdict verdict = JudgeRequest(line->text);
        if (verdict.write && (verdict.write->port != q51::KeyboardDataPort || !IsKeyboardLineByte(verdict.write->value)))
            std::abort();
        if (verdict.write.has_value() == !verdict.refusal.empty())
            std::abort();
    }
    return 0;
}
