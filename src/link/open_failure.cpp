#include "link/open_failure.h"

namespace q51 {

namespace {

QString deviceName(const OpenFailure &failure)
{
    return failure.device.isEmpty() ? QStringLiteral("(none)") : failure.device;
}

} // namespace

QString describeOpenFailure(const OpenFailure &failure)
{
    const QString device = deviceName(failure);
    switch (failure.kind) {
    case OpenFailureKind::NoSuchDevice:
        return QStringLiteral("No such device: %1. Pick the device for Com %2 in the window's port "
                              "choice.")
            .arg(device)
            .arg(failure.portNumber);
    case OpenFailureKind::PermissionDenied:
        if (failure.group.isEmpty())
            return QStringLiteral("Permission denied on %1: ask for read and write access to it.").arg(device);
        return QStringLiteral("Permission denied on %1: add your user to the %2 group, then log in again.")
            .arg(device, failure.group);
    case OpenFailureKind::InUse:
        if (!failure.heldBy.isEmpty())
            return QStringLiteral("%1 is in use by the \"%2\" window of this program.").arg(device, failure.heldBy);
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

QString describeOpenFailureForCommandLine(const OpenFailure &failure)
{
    const QString device = deviceName(failure);
    switch (failure.kind) {
    case OpenFailureKind::NoSuchDevice:
        return QStringLiteral("No such device: %1. Name the decoder's device with --port, or set Q51_COM%2 to it.")
            .arg(device)
            .arg(failure.portNumber);
    case OpenFailureKind::PermissionDenied:
        // Joining the root group is no advice anyone should take.
        if (failure.group == QLatin1String("root"))
            return QStringLiteral("Permission denied on %1: only root may open it; run q51ctl as root, or have the "
                                  "device given to a group such as dialout.")
                .arg(device);
        break;
    default:
        break;
    }
    return describeOpenFailure(failure);
}

} // namespace q51
