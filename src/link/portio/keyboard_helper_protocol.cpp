#include "link/portio/keyboard_helper_protocol.h"

#include <charconv>
#include <cstdio>

#include "link/portio/port_io.h"

namespace q51::keyboard_helper {

namespace {

// Exactly two hex digits, either case.
std::optional<unsigned> HexPair(std::string_view text)
{
    if (text.size() != 2)
        return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string Hex(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02x", value & 0xFFu);
    return text;
}

} // namespace

bool IsKeyboardLineByte(std::uint8_t value)
{
    return (value >= '0' && value <= '9') || (value >= 'A' && value <= 'F') || value == 'U';
}

Verdict JudgeRequest(std::string_view line)
{
    // "out PP VV"
    if (line.size() != 9 || line.substr(0, 4) != "out " || line[6] != ' ')
        return {std::nullopt, "not a request (expected \"out 60 XX\")"};
    const auto port = HexPair(line.substr(4, 2));
    const auto value = HexPair(line.substr(7, 2));
    if (!port || !value)
        return {std::nullopt, "not a request (expected \"out 60 XX\")"};
    if (*port != KeyboardDataPort)
        return {std::nullopt, "port " + Hex(*port) + " is not the keyboard data port"};
    if (!IsKeyboardLineByte(std::uint8_t(*value)))
        return {std::nullopt, "byte " + Hex(*value) + " is not one the keyboard line sends"};
    return {PortWrite{std::uint16_t(*port), std::uint8_t(*value)}, {}};
}

std::string RequestLine(std::uint16_t port, std::uint8_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "out %02x %02x\n", unsigned(port & 0xFFu), unsigned(value));
    // A port above 0xFF cannot be named in two digits: send it as a request
    // the helper refuses rather than as a different port.
    if (port > 0xFF)
        std::snprintf(text, sizeof text, "out ?? %02x\n", unsigned(value));
    return text;
}

std::optional<RequestLineReader::Line> RequestLineReader::feed(char byte)
{
    if (byte == '\n') {
        Line line{std::move(pending_), overlong_};
        pending_.clear();
        overlong_ = false;
        if (line.overlong)
            line.text.clear();
        return line;
    }
    if (overlong_)
        return std::nullopt;
    if (pending_.size() == MaxRequestLength) {
        overlong_ = true;
        pending_.clear();
        return std::nullopt;
    }
    pending_.push_back(byte);
    return std::nullopt;
}

} // namespace q51::keyboard_helper
