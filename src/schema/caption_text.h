#pragma once
// Captions as words and as keys: the access-key ampersands dropped for
// reports, and a stable lower-case key part for the text form.

#include <string>
#include <string_view>

namespace q51 {

// "&&" stands for a literal ampersand; a single "&" marks the access key.
std::string PlainCaption(std::string_view caption);

// "Code &39" -> "code_39", "MSI/PLESSEY" -> "msi_plessey": lower-case
// letters and digits, every other run of characters one "_".
std::string KeyPart(std::string_view caption);

// "0x0F"
std::string HexByte(int value);

// Without the blanks (and CR) at either end.
std::string_view Trimmed(std::string_view text);

// Case-insensitive equality and prefix test on ASCII.
bool SameWords(std::string_view a, std::string_view b);
bool StartsWithWords(std::string_view text, std::string_view prefix);

} // namespace q51
