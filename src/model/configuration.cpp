#include "model/configuration.h"

#include <string>

namespace q51 {

namespace {

void checkByte(const char *what, int value)
{
    if (value < 0 || value > 0xFF)
        throw FieldAccessError(std::string(what) + " " + std::to_string(value) + " is outside 0..255");
}

} // namespace

void CheckBlockIndex(int index)
{
    checkByte("block index", index);
}

void Configuration::SetBits(int index, int mask, int value)
{
    CheckBlockIndex(index);
    checkByte("mask", mask);
    checkByte("value", value);
    const int result = (block[static_cast<std::size_t>(index)] & ~mask & 0xFF) | value;
    block[static_cast<std::size_t>(index)] = static_cast<std::uint8_t>(result);
}

std::uint8_t Configuration::GetBits(int index, int mask) const
{
    CheckBlockIndex(index);
    checkByte("mask", mask);
    return static_cast<std::uint8_t>(block[static_cast<std::size_t>(index)] & mask);
}

int Configuration::FirstChangedIndex() const
{
    for (int i = 0; i < BlockSize; ++i) {
        if (block[static_cast<std::size_t>(i)] != savedCopy[static_cast<std::size_t>(i)])
            return i;
    }
    return -1;
}

bool Configuration::HasUnsavedChanges() const
{
    return FirstChangedIndex() >= 0 || !(Header() == savedHeader);
}

} // namespace q51
