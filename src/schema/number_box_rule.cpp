#include "schema/number_box_rule.h"

#include <algorithm>

namespace q51 {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Large enough to tell "too large" apart, small enough never to overflow.
constexpr long long Saturated = 1'000'000'000;

} // namespace

NumberBoxReading ReadNumberBox(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    long long whole = 0;
    for (; at < text.size() && isDigit(text[at]); ++at)
        whole = std::min(Saturated, whole * 10 + (text[at] - '0'));

    // Only the fraction's relation to one half matters for rounding.
    int half = -1; // -1 below a half, 0 exactly a half, 1 above
    if (at < text.size() && text[at] == '.') {
        ++at;
        if (at < text.size() && isDigit(text[at])) {
            const char first = text[at++];
            if (first > '5') {
                half = 1;
            } else if (first == '5') {
                half = 0;
                for (; at < text.size() && isDigit(text[at]); ++at) {
                    if (text[at] != '0') {
                        half = 1;
                        break;
                    }
                }
            }
        }
    }
    if (half > 0 || (half == 0 && whole % 2 == 1))
        ++whole;

    if (whole == 0)
        return {NumberBoxReading::Verdict::Store, 0}; // -0.4 is 0
    if (negative)
        return {NumberBoxReading::Verdict::Negative, 0};
    if (whole >= NumberBoxLimit)
        return {NumberBoxReading::Verdict::TooLarge, 0};
    return {NumberBoxReading::Verdict::Store, static_cast<int>(whole)};
}

std::string NumberBoxText(int value)
{
    return " " + std::to_string(value);
}

} // namespace q51
