#include "link/uevent_port_events.h"

#include <array>
#include <cerrno>
#include <cstring>

#include <linux/netlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include "link/uevent_message.h"

namespace q51 {

namespace {

constexpr unsigned KernelGroup = 1;
constexpr unsigned UdevGroup = 2;
// Larger than any event the kernel (2 KiB at most) or udev sends.
constexpr std::size_t ReadSize = 16 * 1024;

} // namespace

UeventPortEvents::UeventPortEvents(std::function<int()> openSocket, QObject *parent)
    : PortEventSource(parent), openSocket_(std::move(openSocket))
{
}

int UeventPortEvents::OpenKernelUeventSocket()
{
    const int fd = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, NETLINK_KOBJECT_UEVENT);
    if (fd < 0)
        return -1;
    sockaddr_nl address{};
    address.nl_family = AF_NETLINK;
    address.nl_groups = KernelGroup | UdevGroup;
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

bool UeventPortEvents::start()
{
    if (socket_.isOpen())
        return true;
    const int fd = openSocket_();
    if (fd < 0) {
        qCDebug(portWatchLog) << "no device events:" << std::strerror(errno);
        return false;
    }
    socket_.watch(fd, this, [this] { readEvents(); });
    return true;
}

void UeventPortEvents::stop()
{
    socket_.close();
}

void UeventPortEvents::readEvents()
{
    std::array<std::uint8_t, ReadSize> buffer{};
    bool portChanged = false;
    for (;;) {
        const ssize_t got = ::recv(socket_.fd(), buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (got < 0) {
            // Events were dropped while the buffer was full: one of them may
            // have been a port.
            portChanged = portChanged || errno == ENOBUFS;
            if (errno == EINTR || errno == ENOBUFS)
                continue;
            break;
        }
        if (got == 0)
            break;
        const auto event = ParseUevent(std::span(buffer.data(), std::size_t(got)));
        portChanged = portChanged || (event && AnnouncesPortChange(*event));
    }
    if (portChanged)
        emit portsMayHaveChanged();
}

} // namespace q51
