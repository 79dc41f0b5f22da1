#include "schema/code_lengths.h"

#include <algorithm>
#include <cctype>

namespace q51 {

const std::vector<LengthSlot> &LengthSlots()
{
    static const std::vector<LengthSlot> slots{
        {2, "Code 39", 1},          {3, "Code 128", 1},  {4, "Interleave 25", 4}, {5, "Industrial 25", 2},
        {6, "Matrix 25", 4},        {7, "Codabar", 3},   {8, "Code 93", 1},       {9, "Code 11", 2},
        {10, "China Postage", 1, true, true},            {11, "MSI/Plessey", 3},  {12, "BC412", 1},
        {13, "Code 26", 1},         {14, "Lcd 25", 1},   {15, "(reserved)", 0, false},
        {16, "(reserved)", 0},      {17, "Telepen", 1},
    };
    return slots;
}

const LengthSlot *FindLengthSlot(int slot)
{
    for (const LengthSlot &s : LengthSlots()) {
        if (s.slot == slot)
            return &s;
    }
    return nullptr;
}

SlotLengths ReadSlotLengths(const Configuration &config, int slot)
{
    SlotLengths lengths;
    lengths.minimum = config.block[std::size_t(MinimumLengthByte(slot))];
    for (int which = 0; which < 2; ++which)
        lengths.fixed[which] = config.block[std::size_t(FixedLengthByte(slot, which))];
    return lengths;
}

std::int64_t LeadingNumber(std::string_view text)
{
    constexpr std::int64_t Saturated = 1'000'000'000;
    std::size_t i = 0;
    const auto digit = [&](std::size_t k) { return k < text.size() && std::isdigit(static_cast<unsigned char>(text[k])); };
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    for (; digit(i); ++i)
        value = std::min(Saturated, value * 10 + (text[i] - '0'));
    if (i < text.size() && text[i] == '.' && digit(i + 1) && text[i + 1] >= '5')
        value = std::min(Saturated, value + 1);
    return negative ? -value : value;
}

} // namespace q51
