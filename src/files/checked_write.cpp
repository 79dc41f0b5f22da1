#include "files/checked_write.h"

#include <cerrno>
#include <cstring>

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <unistd.h>

namespace q51 {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Qt has no reason for a write the system took only in part (a file size
// limit, a full disk); "Unknown error" would tell the user nothing.
QString orDefault(const QString &reason)
{
    if (reason.isEmpty() || reason == QLatin1String("Unknown error"))
        return QStringLiteral("the file could not be written completely (is the disk full?)");
    return reason;
}

} // namespace

QString SaveWholeFile(const QString &path, const std::function<bool(QFileDevice &)> &fill)
{
    // A name taken by something other than a plain file is another
    // program's: replacing it would destroy it.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return QStringLiteral("\"%1\" is not a file").arg(QDir::toNativeSeparators(path));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return orDefault(file.errorString());
    // QSaveFile::commit() closes the file and loses an error of that last
    // flush, so a full disk could still put a short file in place of the
    // old one: flush first and look at the device's error ourselves.
    const bool filled = fill(file);
    if (!filled || !file.flush() || file.error() != QFileDevice::NoError) {
        const QString reason = orDefault(file.error() != QFileDevice::NoError ? file.errorString() : QString());
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return orDefault(file.errorString());
    return {};
}

QString SaveWholeFile(const QString &path, const QByteArray &bytes)
{
    // Straight to the temporary file's descriptor, past Qt's buffer, so a
    // failure comes back with the system's own reason.
    QString reason;
    const QString failure = SaveWholeFile(path, [&](QFileDevice &device) {
        reason = WriteAllToDescriptor(device.handle(), bytes);
        return reason.isEmpty();
    });
    return reason.isEmpty() ? failure : reason;
}

QString WriteAllToDescriptor(int descriptor, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor, data, std::size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return systemReason(errno);
        }
        if (written == 0)
            return systemReason(ENOSPC);
        data += written;
        left -= written;
    }
    return {};
}

} // namespace q51
