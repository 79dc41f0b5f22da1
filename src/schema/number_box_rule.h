#pragma once
// The rule of the character-edit number boxes (positions and counts): the
// text's leading decimal number, rounded to an integer, is stored when it
// is below 100. Plain C++.

#include <string>
#include <string_view>

namespace q51 {

inline constexpr int NumberBoxLimit = 100;

struct NumberBoxReading {
    enum class Verdict {
        Store,    // value is 0 to 99
        TooLarge, // 100 or more: the user is told, the stored value stays
        Negative, // below 0: refused, the stored value stays
    };
    Verdict verdict = Verdict::Store;
    int value = 0; // meaningful for Store
};

// Leading blanks are skipped, then an optional sign, digits and a decimal
// fraction are read; a text with no number reads as 0. Halves round to even.
NumberBoxReading ReadNumberBox(std::string_view text);

// A stored number as the boxes show it: one leading blank, the sign
// position, so 5 reads " 5".
std::string NumberBoxText(int value);

} // namespace q51
