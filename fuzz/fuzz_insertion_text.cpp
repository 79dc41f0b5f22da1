// Typed insertion text and stored insertion records, both arbitrary.
// Encoding never stores a code the text cannot show again, what a text
// stores shows as a text that stores the same codes (up to the first 0),
// and any stored record settles after one round. The same bytes also feed
// the number boxes' rule, which must only ever store 0 to 99.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "schema/insertion_text.h"
#include "schema/number_box_rule.h"

using namespace q51;

namespace {

InsertionCodes UpToFirstZero(InsertionCodes codes)
{
    const auto zero = std::find(codes.begin(), codes.end(), 0);
    std::fill(zero, codes.end(), 0);
    return codes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);

    const InsertionCodes typed = EncodeInsertionText(text);
    if (IsInsertableText(text)) {
        for (const std::uint8_t code : typed) {
            if (code > LastKeyCode)
                __builtin_trap();
        }
        const std::string shown = DecodeInsertionText(typed);
        if (!IsInsertableText(shown) || EncodeInsertionText(shown) != UpToFirstZero(typed))
            __builtin_trap();
    }

    InsertionCodes stored{};
    std::copy_n(data, std::min(size, stored.size()), stored.begin());
    const std::string shown = DecodeInsertionText(stored);
    if (!IsInsertableText(shown))
        __builtin_trap();
    // Stored text may read as brace names ("{NUL}" typed as five
    // characters); from then on the record is stable.
    const InsertionCodes once = EncodeInsertionText(shown);
    if (EncodeInsertionText(DecodeInsertionText(once)) != UpToFirstZero(once))
        __builtin_trap();

    const NumberBoxReading number = ReadNumberBox(text);
    if (number.verdict == NumberBoxReading::Verdict::Store && (number.value < 0 || number.value >= NumberBoxLimit))
        __builtin_trap();
    return 0;
}
