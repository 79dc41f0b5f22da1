#pragma once
// Device events as the kernel and udev multicast them, for tests that feed
// the port watch through a socket instead of the system's netlink.

#include <QByteArray>
#include <QtEndian>

#include <cstring>

namespace q51::test {

inline QByteArray devPathOf(const QByteArray &devName)
{
    return "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/" + devName + "/tty/" + devName;
}

// "add@/devices/...", then ACTION, DEVPATH, SUBSYSTEM, DEVNAME and SEQNUM.
inline QByteArray KernelUevent(const QByteArray &action, const QByteArray &subsystem, const QByteArray &devName)
{
    const QByteArray path = devPathOf(devName);
    QByteArray message = action + '@' + path + '\0';
    for (const QByteArray &field : {"ACTION=" + action, "DEVPATH=" + path, "SUBSYSTEM=" + subsystem,
                                    "DEVNAME=" + devName, QByteArray("SEQNUM=4711")})
        message += field + '\0';
    return message;
}

// udev's header (magic big-endian, the rest in the host's order), then its fields.
inline QByteArray UdevUevent(const QByteArray &action, const QByteArray &subsystem, const QByteArray &devName,
                             quint32 magic = 0xfeedcafe)
{
    QByteArray fields;
    for (const QByteArray &field : {"ACTION=" + action, "DEVPATH=" + devPathOf(devName), "SUBSYSTEM=" + subsystem,
                                    "DEVNAME=/dev/" + devName, QByteArray("DEVLINKS=/dev/serial/by-id/usb-Maker_A1")})
        fields += field + '\0';
    constexpr quint32 HeaderSize = 40;
    const quint32 header[] = {HeaderSize, HeaderSize, quint32(fields.size()), 0, 0, 0, 0};
    QByteArray message("libudev\0", 8);
    const quint32 wireMagic = qToBigEndian(magic);
    message.append(reinterpret_cast<const char *>(&wireMagic), 4);
    message.append(reinterpret_cast<const char *>(header), sizeof header);
    return message + fields;
}

// Overwrites one of udev's header fields (byte offset 12 size, 16 offset, 20 length).
inline QByteArray withHeaderField(QByteArray message, int at, quint32 value)
{
    std::memcpy(message.data() + at, &value, sizeof value);
    return message;
}

} // namespace q51::test
