#include "link/open_failure.h"

namespace q51 {

QString describeOpenFailure(const OpenFailure &failure)
{
    const QString device = failure.device.isEmpty() ? QStringLiteral("(none)") : failure.device;
    switch (failure.kind) {
    case OpenFailureKind::NoSuchDevice:
        return QStringLiteral("No such device: %1. To use another device as Com %2, set Q51_COM%2 "
                              "to its path.")
            .arg(device)
            .arg(failure.portNumber);
    case OpenFailureKind::PermissionDenied:
        return QStringLiteral("Permission denied on %1: add your user to the dialout group, then "
                              "log in again.")
            .arg(device);
    case OpenFailureKind::InUse:
        return QStringLiteral("%1 is in use by another program.").arg(device);
    case OpenFailureKind::UnsupportedSettings:
        return QStringLiteral("%1 does not support the chosen baud rate, parity, data bits or "
                              "stop bits.")
            .arg(device);
    case OpenFailureKind::Other:
        break;
    }
    return failure.systemText.isEmpty()
               ? QStringLiteral("%1 could not be opened.").arg(device)
               : QStringLiteral("%1 could not be opened: %2.").arg(device, failure.systemText);
}

} // namespace q51
