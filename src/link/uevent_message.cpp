#include "link/uevent_message.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace q51 {

namespace {

constexpr std::string_view UdevPrefix{"libudev\0", 8};
constexpr std::uint32_t UdevMagic = 0xfeedcafe; // big-endian on the wire
// prefix, magic, header size, then the properties' offset and length
constexpr std::size_t UdevHeaderFields = 8 + 4 * 4;

std::string_view text(std::span<const std::uint8_t> bytes)
{
    return {reinterpret_cast<const char *>(bytes.data()), bytes.size()};
}

std::uint32_t bigEndian(std::string_view at)
{
    return std::uint32_t(std::uint8_t(at[0])) << 24 | std::uint32_t(std::uint8_t(at[1])) << 16 |
           std::uint32_t(std::uint8_t(at[2])) << 8 | std::uint32_t(std::uint8_t(at[3]));
}

// udev writes the rest of its header in the sender's own byte order.
std::uint32_t nativeEndian(std::string_view at)
{
    std::uint32_t value = 0;
    std::memcpy(&value, at.data(), sizeof value);
    return value;
}

// The KEY=VALUE fields of either form.
std::optional<std::string_view> properties(std::string_view message)
{
    if (message.starts_with(UdevPrefix)) {
        if (message.size() < UdevHeaderFields || bigEndian(message.substr(8)) != UdevMagic)
            return std::nullopt;
        const std::uint64_t offset = nativeEndian(message.substr(16));
        const std::uint64_t length = nativeEndian(message.substr(20));
        if (offset < UdevHeaderFields || offset + length > message.size())
            return std::nullopt;
        return message.substr(std::size_t(offset), std::size_t(length));
    }
    // The kernel's: "action@devpath" first.
    const std::size_t end = message.find('\0');
    if (end == std::string_view::npos || message.substr(0, end).find('@') == std::string_view::npos)
        return std::nullopt;
    return message.substr(end + 1);
}

} // namespace

std::optional<UeventMessage> ParseUevent(std::span<const std::uint8_t> bytes)
{
    const std::optional<std::string_view> fields = properties(text(bytes));
    if (!fields)
        return std::nullopt;
    UeventMessage event;
    std::string_view rest = *fields;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\0'), rest.size());
        const std::string_view field = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        const std::size_t equals = field.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view key = field.substr(0, equals);
        const std::string_view value = field.substr(equals + 1);
        if (key == "ACTION")
            event.action = value;
        else if (key == "SUBSYSTEM")
            event.subsystem = value;
        else if (key == "DEVNAME")
            event.devName = value;
    }
    if (event.action.empty() || event.subsystem.empty())
        return std::nullopt;
    return event;
}

bool AnnouncesPortChange(const UeventMessage &event)
{
    if (event.subsystem != "tty")
        return false;
    return event.action == "add" || event.action == "remove" || event.action == "move";
}

} // namespace q51
