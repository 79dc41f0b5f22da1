#pragma once
// Where each symbology's code lengths live in the block, and how typed
// lengths are read. A length slot is the symbology number minus 2. Plain
// C++: no widgets.

#include <cstdint>
#include <string_view>
#include <vector>

#include "model/configuration.h"

namespace q51 {

inline constexpr int VariableLength = 255; // in both fixed-length bytes: no fixed length
constexpr bool IsVariableLength(int first, int second)
{
    return first == VariableLength && second == VariableLength;
}
inline constexpr int MaxMinimumLength = 99;

struct LengthSlot {
    int slot;
    const char *symbology;
    int defaultMinimum;
    bool hasControls = true;    // slot 15 has none
    bool variableGreyed = false; // the user cannot change "Variable"
};

// Slots 2 to 17, ascending.
const std::vector<LengthSlot> &LengthSlots();
const LengthSlot *FindLengthSlot(int slot);

constexpr int MinimumLengthByte(int slot) { return 190 + slot; }
// which: 0 the first fixed length, 1 the second.
constexpr int FixedLengthByte(int slot, int which) { return 36 + 2 * slot + which; }

// A slot's lengths as the block holds them.
struct SlotLengths {
    int minimum = 0;
    int fixed[2] = {VariableLength, VariableLength};
    [[nodiscard]] bool variable() const { return IsVariableLength(fixed[0], fixed[1]); }
};
SlotLengths ReadSlotLengths(const Configuration &config, int slot);

// The decimal number at the start of typed text (blanks, a sign, digits, a
// fraction), rounded to the nearest integer, halves away from zero. Text
// that does not start with a number counts as 0. Huge numbers saturate, so
// no input can overflow.
std::int64_t LeadingNumber(std::string_view text);

} // namespace q51
