#pragma once
// Hears of serial ports from the kernel's device events: a datagram socket
// (NETLINK_KOBJECT_UEVENT, the kernel's and udev's groups) read when the
// event loop says it is readable, so waiting for a change costs nothing.
// Only add, remove and move of a tty device count; udev's copy of an event
// comes after it made the /dev/serial/by-id links, so those are seen too.

#include <functional>

#include "link/port_event_source.h"
#include "link/watched_descriptor.h"

namespace q51 {

class UeventPortEvents final : public PortEventSource {
    Q_OBJECT
public:
    // openSocket gives a non-blocking datagram socket, or -1 when there is
    // none; the source closes it when it stops. Tests hand in one end of a
    // socket pair and write events into the other.
    explicit UeventPortEvents(std::function<int()> openSocket = OpenKernelUeventSocket, QObject *parent = nullptr);

    bool start() override;
    void stop() override;
    [[nodiscard]] const char *name() const override { return "kernel device events"; }

    // The kernel's and udev's device events, or -1 (errno says why) where
    // netlink is refused, as in some sandboxes.
    static int OpenKernelUeventSocket();

private:
    void readEvents();

    std::function<int()> openSocket_;
    WatchedDescriptor socket_;
};

} // namespace q51
