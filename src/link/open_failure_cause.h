#pragma once
// Finding out why QSerialPort refused a device: Qt reports missing devices,
// missing rights and busy ports alike in some cases, so the device itself
// is looked at.

#include <QSerialPort>
#include <QString>

#include "link/open_failure.h"

namespace q51 {

struct DeviceAccess {
    bool exists = true;
    bool mayReadAndWrite = true;
};

// What the file system says of the device for this user.
[[nodiscard]] DeviceAccess CheckDeviceAccess(const QString &device);

// The reason behind Qt's error, given what the device looks like.
[[nodiscard]] OpenFailureKind ClassifyOpenError(QSerialPort::SerialPortError error, const DeviceAccess &access);

// The group that owns the device, whose members may use it; empty when
// unknown (no such device, no group name, not a Unix system).
[[nodiscard]] QString DeviceGroupName(const QString &device);

} // namespace q51
