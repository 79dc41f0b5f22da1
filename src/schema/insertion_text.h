#pragma once
// The characters a character-edit group inserts: up to eight stored codes,
// shown and typed as text in which special keys are brace names ({CR},
// {F10}, {Home}). Plain C++ on single-byte (Windows-1252) text; the text box
// converts to and from what the user sees.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace q51 {

inline constexpr std::size_t InsertionCodeCount = 8;
using InsertionCodes = std::array<std::uint8_t, InsertionCodeCount>;

// Codes 1 to 31 are control characters, 32 to 191 characters of their own,
// 192 to 213 the function and cursor keys; 0 ends the text and 214 to 255
// stand for nothing.
inline constexpr int LastCharacterCode = 191;
inline constexpr int FirstKeyCode = 192;
inline constexpr int LastKeyCode = 213;

// "NUL" to "US", indexed by the control code.
const std::array<const char *, 32> &ControlCodeNames();
// "F1" to "F12", "Ins", "Del", "Home", "PgUp", "PgDn", "End", "Left",
// "Right", "Up", "Down": the keys of codes 192 to 213, in code order.
const std::array<const char *, LastKeyCode - FirstKeyCode + 1> &KeyNames();

// The text of stored codes, read up to the first 0 or the eighth code.
std::string DecodeInsertionText(std::span<const std::uint8_t> codes);

// The codes a text stands for. Brace names are recognised whatever their
// case; anything else, a brace that starts no name included, is stored as
// its own code. Text after the eighth code is ignored; unused codes are 0.
// consumed, when given, receives how much of the text was used.
InsertionCodes EncodeInsertionText(std::string_view text, std::size_t *consumed = nullptr);

// Whether every character of the text is one a stored code shows as itself
// or as a control name (codes 1 to 191). Bytes 192 and above would be
// stored as key codes, so such characters cannot be inserted.
bool IsInsertableText(std::string_view text);

} // namespace q51
