#pragma once
// A device event as the kernel (or udev after it) multicasts it on a
// NETLINK_KOBJECT_UEVENT socket. The kernel sends "add@/devices/..." then
// KEY=VALUE fields, each ended by a NUL; udev sends a binary header starting
// "libudev" that says where its KEY=VALUE fields lie. Anything may arrive on
// such a socket, so every length and offset is checked before use.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace q51 {

struct UeventMessage {
    std::string action;    // add, remove, move, change, bind, ...
    std::string subsystem; // tty, usb, block, ...
    std::string devName;   // ttyUSB0 from the kernel, /dev/ttyUSB0 from udev
};

// nullopt for a message of neither form, or one without ACTION or SUBSYSTEM.
[[nodiscard]] std::optional<UeventMessage> ParseUevent(std::span<const std::uint8_t> message);

// Whether the event says a serial device node came, went or was renamed.
[[nodiscard]] bool AnnouncesPortChange(const UeventMessage &event);

} // namespace q51
