#include "schema/caption_text.h"

#include <cctype>
#include <cstdio>

namespace q51 {

namespace {

char lower(char c)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

} // namespace

std::string PlainCaption(std::string_view caption)
{
    std::string out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&')
                out += caption[++i];
            continue;
        }
        out += caption[i];
    }
    return out;
}

std::string KeyPart(std::string_view caption)
{
    std::string out;
    bool gap = false;
    for (const char c : PlainCaption(caption)) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            if (gap && !out.empty())
                out += '_';
            out += lower(c);
            gap = false;
        } else {
            gap = true;
        }
    }
    return out;
}

std::string HexByte(int value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value & 0xFF);
    return text;
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

bool StartsWithWords(std::string_view text, std::string_view prefix)
{
    if (prefix.size() > text.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (lower(text[i]) != lower(prefix[i]))
            return false;
    }
    return true;
}

bool SameWords(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && StartsWithWords(a, b);
}

} // namespace q51
