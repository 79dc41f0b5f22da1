#pragma once
// Header strings are held as UTF-8 but stored in configuration files as
// single-byte Windows-1252 text, the code page existing installations use.

#include <optional>
#include <string>
#include <string_view>

namespace q51 {

// Characters the code page cannot hold, and each malformed UTF-8 sequence,
// become '?'.
std::string Utf8ToWindows1252(std::string_view utf8);

// The first character the code page cannot hold, or nothing when every one
// fits. A malformed UTF-8 sequence counts as U+FFFD, which it cannot hold.
// Checked where text is typed or imported, so nothing becomes '?' unseen.
std::optional<char32_t> FirstOutsideWindows1252(std::string_view utf8);

// Why such a character is refused and what to do, naming it as
// "\"日\" (U+65E5)"; one text for the window and the command line.
std::string Windows1252RefusalText(char32_t codePoint);

// Every byte has a character: the five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 control of the same value, so
// they survive a round trip through UTF-8.
std::string Windows1252ToUtf8(std::string_view bytes);

} // namespace q51
