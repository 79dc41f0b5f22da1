#pragma once
// Bytes as text on the keyboard line. The host types each byte as two
// upper-case hexadecimal digits; the decoder's typed answers are read back
// digit by digit, in either case.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "link/protocol/bytes.h"

namespace q51::protocol {

// Any digit value above this marks a character that is not a hex digit.
inline constexpr int MaxHexDigitValue = 15;
inline constexpr int InvalidHexDigit = 16;

// "0A" for 0x0A: high nibble first, digits "0".."9" and "A".."F".
std::array<char, 2> HexPair(std::uint8_t byte);

// The hex pairs of every byte in order: 02 85 03 84 becomes "02850384".
std::string HexText(ByteView bytes);

// 0..15 for "0".."9", "A".."F" and "a".."f"; InvalidHexDigit for every other
// character code, so that a garbled keystroke never passes as a digit.
int HexDigitValue(std::uint8_t code);

// The byte two typed characters stand for, high digit first; nothing when
// either is not a hex digit.
std::optional<std::uint8_t> HexPairValue(char high, char low);

} // namespace q51::protocol
