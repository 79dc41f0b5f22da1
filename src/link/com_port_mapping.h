#pragma once
// The rules that say which device Com n stands for, as a pure function of
// what is known: the user's pick for this run, Q51_COM<n>, and the ports
// detected. Files keep only the number 1 to 4; the device is found anew.

#include <QList>
#include <QString>

#include "link/port_catalogue.h"

namespace q51 {

enum class ComSource {
    Picked,      // pointed at it in a window's port choice, for this run
    Environment, // Q51_COM<n>
    Platform,    // /dev/ttyS<n-1> (COM<n> on Windows)
    Adapter,     // the n-th USB adapter, the platform name being no real port
};

struct ComDevice {
    QString device; // empty for a number below 1
    ComSource source = ComSource::Platform;

    bool operator==(const ComDevice &) const = default;
};

// /dev/ttyS<n-1> on Linux, COM<n> on Windows; empty below 1.
[[nodiscard]] QString PlatformDeviceName(int portNumber);

// The USB adapters among the ports, in an order that survives replugging
// and rebooting: by their by-id name, else by device.
[[nodiscard]] QList<DetectedPort> AdaptersInOrder(const QList<DetectedPort> &detected);

// Whether the device (by its path or its by-id name) is among the ports.
[[nodiscard]] bool IsDetected(const QString &device, const QList<DetectedPort> &detected);

// A pick wins, then a non-empty Q51_COM<n>, then the platform name when it
// is a real port; when it is not and there are at least n adapters, the
// n-th adapter; else the platform name, which then fails to open and says
// so.
[[nodiscard]] ComDevice ResolveComDevice(int portNumber, const QString &picked, const QString &environment,
                                         const QList<DetectedPort> &detected);

// The device with why Com n stands for it, for the windows and q51ctl
// ports: "/dev/ttyUSB0 (USB adapter 2)", "/dev/pts/3 (set by Q51_COM1)",
// "/dev/ttyS3 (not present)", or the device alone for a real platform port.
[[nodiscard]] QString DescribeComDevice(int portNumber, const ComDevice &device,
                                        const QList<DetectedPort> &detected);

} // namespace q51
