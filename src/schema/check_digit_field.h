#pragma once
// Option groups over the packed check-digit fields of the symbology bytes,
// read and written only through the configuration's check-digit codec. A
// choice's value is its choice number, so a group that offers only some of
// the five choices still writes the right code.

#include <vector>

#include "model/check_digit.h"
#include "schema/field_types.h"

namespace q51 {

// Caption of each choice number.
const std::vector<std::string> &ThreeWayCheckDigitCaptions();
const std::vector<std::string> &FiveWayCheckDigitCaptions();

namespace detail {

// One codec per byte and width: the codec's functions are told no byte.
template <int Byte, bool FiveWay>
const FieldCodec &CheckDigitCodec()
{
    static const FieldCodec codec{
        [](const Configuration &c) -> std::optional<int> { return c.GetCheckDigitMode(Byte, FiveWay); },
        [](Configuration &c, int choice) { c.SetCheckDigitMode(Byte, choice, FiveWay); },
        {{Byte, FiveWay ? FiveWayCheckDigitMask : ThreeWayCheckDigitMask}}};
    return codec;
}

FieldSpec CheckDigitOptions(std::string control, std::string caption, int byte, bool fiveWay,
                            const FieldCodec &codec, const std::vector<int> &choices, int defaultChoice);

} // namespace detail

// Bits 6..5 of block byte Byte: choices 0 to 2.
template <int Byte>
FieldSpec ThreeWayCheckDigit(std::string control, int defaultChoice = 0, std::string caption = "Check Digit")
{
    return detail::CheckDigitOptions(std::move(control), std::move(caption), Byte, false,
                                     detail::CheckDigitCodec<Byte, false>(), {0, 1, 2}, defaultChoice);
}

// Bits 6..4 of block byte Byte: the listed choices of 0 to 4, in button order.
template <int Byte>
FieldSpec FiveWayCheckDigit(std::string control, const std::vector<int> &choices, int defaultChoice,
                            std::string caption)
{
    return detail::CheckDigitOptions(std::move(control), std::move(caption), Byte, true,
                                     detail::CheckDigitCodec<Byte, true>(), choices, defaultChoice);
}

} // namespace q51
