#include "schema/value_notation.h"

#include <cctype>

#include "schema/caption_text.h"

namespace q51 {

std::optional<int> ParseSettingNumber(std::string_view text, int low, int high)
{
    text = Trimmed(text);
    bool negative = false;
    int base = 10;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 8)
        return std::nullopt;
    long value = 0;
    for (const char c : text) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
            : (base == 16 && std::isxdigit(static_cast<unsigned char>(c)))
            ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
            : -1;
        if (digit < 0)
            return std::nullopt;
        value = value * base + digit;
    }
    if (negative)
        value = -value;
    if (value < low || value > high)
        return std::nullopt;
    return int(value);
}

std::optional<std::vector<int>> ParseSettingNumbers(std::string_view text, std::size_t most, int low, int high)
{
    std::vector<int> numbers;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ',' || std::isspace(static_cast<unsigned char>(text[i]))))
            ++i;
        std::size_t end = i;
        while (end < text.size() && text[end] != ',' && !std::isspace(static_cast<unsigned char>(text[end])))
            ++end;
        if (end == i)
            break;
        const auto number = ParseSettingNumber(text.substr(i, end - i), low, high);
        if (!number || numbers.size() == most)
            return std::nullopt;
        numbers.push_back(*number);
        i = end;
    }
    return numbers;
}

std::optional<std::string_view> QuotedText(std::string_view text)
{
    text = Trimmed(text);
    if (text.size() < 2 || text.front() != '"' || text.back() != '"')
        return std::nullopt;
    return text.substr(1, text.size() - 2);
}

std::string Quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

bool PrintableAscii(std::string_view text)
{
    for (const char c : text) {
        if (c < 32 || c > 126)
            return false;
    }
    return true;
}

} // namespace q51
