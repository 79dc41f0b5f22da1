#include "model/check_digit.h"

#include "model/configuration.h"

namespace q51 {

std::optional<std::uint8_t> EncodeCheckDigitChoice(int choice, bool fiveWay)
{
    if (choice < 0)
        return std::nullopt;
    const auto index = static_cast<std::size_t>(choice);
    if (fiveWay)
        return index < FiveWayCheckDigitValues.size() ? std::optional(FiveWayCheckDigitValues[index]) : std::nullopt;
    return index < ThreeWayCheckDigitValues.size() ? std::optional(ThreeWayCheckDigitValues[index]) : std::nullopt;
}

std::uint8_t DecodeCheckDigitChoice(std::uint8_t byte, bool fiveWay)
{
    const bool calculate = (byte & 0x40) != 0;
    if (!calculate)
        return 0;
    const bool transmit = (byte & 0x20) != 0;
    if (!fiveWay)
        return transmit ? 2 : 1;
    const bool oneDigit = (byte & 0x10) != 0;
    if (oneDigit)
        return transmit ? 1 : 2;
    return transmit ? 3 : 4;
}

bool Configuration::SetCheckDigitMode(int index, int choice, bool fiveWay)
{
    CheckBlockIndex(index);
    const auto value = EncodeCheckDigitChoice(choice, fiveWay);
    if (!value)
        return false;
    SetBits(index, fiveWay ? FiveWayCheckDigitMask : ThreeWayCheckDigitMask, *value);
    return true;
}

std::uint8_t Configuration::GetCheckDigitMode(int index, bool fiveWay) const
{
    CheckBlockIndex(index);
    return DecodeCheckDigitChoice(block[static_cast<std::size_t>(index)], fiveWay);
}

} // namespace q51
