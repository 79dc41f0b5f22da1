#pragma once
// The small grammar every setting's text shares: numbers in decimal or hex,
// lists of them, double-quoted text. Plain functions, so each codec parses
// the same way.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace q51 {

// Decimal ("-12", "200") or hex ("0x7B") within [low, high]; nothing else.
std::optional<int> ParseSettingNumber(std::string_view text, int low, int high);

// Whitespace- or comma-separated numbers, at most `most` of them.
std::optional<std::vector<int>> ParseSettingNumbers(std::string_view text, std::size_t most, int low, int high);

// The text between the outer double quotes, or nothing without them.
std::optional<std::string_view> QuotedText(std::string_view text);
std::string Quoted(std::string_view text);

bool PrintableAscii(std::string_view text);

} // namespace q51
