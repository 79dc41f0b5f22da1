#include "model/windows1252.h"

#include <array>
#include <cstddef>
#include <cstdio>

namespace q51 {

namespace {

// Code points of bytes 0x80..0x9F. The five undefined bytes stand for
// themselves, so the table also serves the reverse direction.
constexpr std::array<char32_t, 32> HighRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char Unrepresentable = '?';

struct DecodedChar {
    char32_t codePoint = 0;
    std::size_t length = 1; // bytes consumed, at least one
    bool valid = false;
};

// Decodes the UTF-8 sequence at text[pos]. A malformed sequence consumes its
// longest well-formed prefix (at least the lead byte), so one bad sequence
// yields one replacement character and the next character is not swallowed.
DecodedChar decodeUtf8(std::string_view text, std::size_t pos)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80)
        return {lead, 1, true};

    std::size_t trailing = 0;
    char32_t codePoint = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the first trailing byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        trailing = 1;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trailing = 2;
        codePoint = lead & 0x0Fu;
        if (lead == 0xE0)
            low = 0xA0; // overlong
        if (lead == 0xED)
            high = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trailing = 3;
        codePoint = lead & 0x07u;
        if (lead == 0xF0)
            low = 0x90; // overlong
        if (lead == 0xF4)
            high = 0x8F; // beyond U+10FFFF
    } else {
        return {};
    }

    std::size_t length = 1;
    for (std::size_t k = 0; k < trailing; ++k) {
        if (pos + length >= text.size())
            return {0, length, false};
        const auto next = static_cast<unsigned char>(text[pos + length]);
        if (next < low || next > high)
            return {0, length, false};
        low = 0x80;
        high = 0xBF;
        codePoint = (codePoint << 6) | (next & 0x3Fu);
        ++length;
    }
    return {codePoint, length, true};
}

char toWindows1252(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<char>(codePoint);
    for (std::size_t i = 0; i < HighRange.size(); ++i) {
        if (HighRange[i] == codePoint)
            return static_cast<char>(0x80 + i);
    }
    return Unrepresentable;
}

void appendUtf8(std::string &out, char32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

} // namespace

std::string Utf8ToWindows1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const DecodedChar c = decodeUtf8(utf8, pos);
        out += c.valid ? toWindows1252(c.codePoint) : Unrepresentable;
        pos += c.length;
    }
    return out;
}

std::optional<char32_t> FirstOutsideWindows1252(std::string_view utf8)
{
    for (std::size_t pos = 0; pos < utf8.size();) {
        const DecodedChar c = decodeUtf8(utf8, pos);
        if (!c.valid)
            return U'\uFFFD';
        if (c.codePoint != U'?' && toWindows1252(c.codePoint) == Unrepresentable)
            return c.codePoint;
        pos += c.length;
    }
    return std::nullopt;
}

std::string Windows1252RefusalText(char32_t codePoint)
{
    std::string shown = "\"";
    appendUtf8(shown, codePoint);
    char number[16];
    std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(codePoint));
    return shown + "\" (" + number +
           ") cannot be stored: configuration files hold this text in the Windows-1252 code page; use other "
           "characters";
}

std::string Windows1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        appendUtf8(out, b >= 0x80 && b <= 0x9F ? HighRange[b - 0x80u] : char32_t{b});
    }
    return out;
}

} // namespace q51
