#include "link/open_failure_cause.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace q51 {

DeviceAccess CheckDeviceAccess(const QString &device)
{
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(device);
    return {QFileInfo::exists(device), ::access(path.constData(), R_OK | W_OK) == 0};
#else
    // COM names are not files and Windows has no per-user device rights:
    // Qt says DeviceNotFoundError itself, and a refusal means busy.
    Q_UNUSED(device);
    return {};
#endif
}

OpenFailureKind ClassifyOpenError(QSerialPort::SerialPortError error, const DeviceAccess &access)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return OpenFailureKind::NoSuchDevice;
    case QSerialPort::PermissionError:
        // Both "no access rights" and "someone else holds the port". A
        // device we may read and write can only have been refused as taken.
        if (!access.exists)
            return OpenFailureKind::NoSuchDevice;
        return access.mayReadAndWrite ? OpenFailureKind::InUse : OpenFailureKind::PermissionDenied;
    case QSerialPort::OpenError: // this object already had it open: not possible here
        return OpenFailureKind::InUse;
    case QSerialPort::UnsupportedOperationError:
        return OpenFailureKind::UnsupportedSettings;
    default:
        return access.exists ? OpenFailureKind::Other : OpenFailureKind::NoSuchDevice;
    }
}

QString DeviceGroupName(const QString &device)
{
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::stat(QFile::encodeName(device).constData(), &info) != 0)
        return {};
    const struct group *owner = ::getgrgid(info.st_gid);
    return owner && owner->gr_name ? QString::fromLocal8Bit(owner->gr_name) : QString();
#else
    Q_UNUSED(device);
    return {};
#endif
}

} // namespace q51
