#pragma once
// Codes of the packed check-digit fields. The three-way field uses bits 6..5
// (calculate, transmit), the five-way field bits 6..4 (calculate, transmit,
// one digit rather than two). Both decoders look at bit 6 first.

#include <array>
#include <cstdint>
#include <optional>

namespace q51 {

inline constexpr std::uint8_t ThreeWayCheckDigitMask = 0x60;
inline constexpr std::uint8_t FiveWayCheckDigitMask = 0x70;

inline constexpr std::array<std::uint8_t, 3> ThreeWayCheckDigitValues{0x20, 0x40, 0x60};
inline constexpr std::array<std::uint8_t, 5> FiveWayCheckDigitValues{0x30, 0x70, 0x50, 0x60, 0x40};

// Value under the field's mask for a choice, or nothing for a choice outside the table.
std::optional<std::uint8_t> EncodeCheckDigitChoice(int choice, bool fiveWay);
// Choice index decoded from a whole block byte.
std::uint8_t DecodeCheckDigitChoice(std::uint8_t byte, bool fiveWay);

} // namespace q51
