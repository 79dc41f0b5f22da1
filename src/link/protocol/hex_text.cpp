#include "link/protocol/hex_text.h"

namespace q51::protocol {

namespace {

char HexDigit(unsigned nibble)
{
    return static_cast<char>(nibble < 10 ? '0' + nibble : 'A' + (nibble - 10));
}

} // namespace

std::array<char, 2> HexPair(std::uint8_t byte)
{
    return {HexDigit(byte >> 4), HexDigit(byte & 0x0Fu)};
}

std::string HexText(ByteView bytes)
{
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const std::uint8_t byte : bytes) {
        const auto pair = HexPair(byte);
        text.append(pair.begin(), pair.end());
    }
    return text;
}

int HexDigitValue(std::uint8_t code)
{
    if (code >= '0' && code <= '9')
        return code - '0';
    if (code >= 'A' && code <= 'F')
        return code - 'A' + 10;
    if (code >= 'a' && code <= 'f')
        return code - 'a' + 10;
    return InvalidHexDigit;
}

std::optional<std::uint8_t> HexPairValue(char high, char low)
{
    const int h = HexDigitValue(static_cast<std::uint8_t>(high));
    const int l = HexDigitValue(static_cast<std::uint8_t>(low));
    if (h > MaxHexDigitValue || l > MaxHexDigitValue)
        return std::nullopt;
    return static_cast<std::uint8_t>(16 * h + l);
}

} // namespace q51::protocol
