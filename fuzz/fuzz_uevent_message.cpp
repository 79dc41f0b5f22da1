// Device events of any content and length, as a netlink socket may deliver
// them: no read outside the message, and what is accepted names an action
// and a subsystem; only a tty event counts as a port change.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "link/uevent_message.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto event = q51::ParseUevent(std::span(data, size));
    if (!event)
        return 0;
    if (event->action.empty() || event->subsystem.empty() || event->action.size() >= size)
        __builtin_trap();
    const std::string_view message(reinterpret_cast<const char *>(data), size);
    if (message.find(event->subsystem) == std::string_view::npos)
        __builtin_trap();
    if (q51::AnnouncesPortChange(*event) && event->subsystem != "tty")
        __builtin_trap();
    return 0;
}
