#include "durable_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace q51 {

namespace {

bool fail(QString *problem, const QString &what, const QString &path, const QString &why)
{
    if (problem)
        *problem = QStringLiteral("Could not %1 %2: %3").arg(what, QDir::toNativeSeparators(path), why);
    return false;
}

// A new file's name is only safe once its folder is on the disk too.
bool syncFolder(const QString &folder)
{
    const int descriptor = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const bool synced = ::fsync(descriptor) == 0;
    return ::close(descriptor) == 0 && synced;
}

} // namespace

bool AppendDurably(const QString &path, const QByteArray &bytes, QString *problem)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(problem, QStringLiteral("make the folder"), folder, QStringLiteral("check its rights"));
    QFile file(path);
    const bool fresh = !file.exists();
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append))
        return fail(problem, QStringLiteral("open"), path, file.errorString());
    QByteArray data = bytes;
    if (file.size() > 0) {
        char last = '\n';
        if (!file.seek(file.size() - 1) || !file.getChar(&last))
            return fail(problem, QStringLiteral("read"), path, file.errorString());
        if (last != '\n')
            data.prepend('\n');
    }
    if (file.write(data) != data.size() || !file.flush())
        return fail(problem, QStringLiteral("write"), path, file.errorString());
    if (::fsync(file.handle()) != 0)
        return fail(problem, QStringLiteral("write to the disk"), path, QString::fromLocal8Bit(strerror(errno)));
    file.close();
    if (file.error() != QFileDevice::NoError)
        return fail(problem, QStringLiteral("close"), path, file.errorString());
    if (fresh && !syncFolder(folder))
        return fail(problem, QStringLiteral("write to the disk the folder"), folder,
                    QString::fromLocal8Bit(strerror(errno)));
    return true;
}

bool ReplaceDurably(const QString &path, const QByteArray &bytes, QString *problem)
{
    if (bytes.isEmpty()) {
        if (QFile::exists(path) && !QFile::remove(path))
            return fail(problem, QStringLiteral("remove"), path, QStringLiteral("check the folder's rights"));
        return true;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(problem, QStringLiteral("open"), path, file.errorString());
    if (file.write(bytes) != bytes.size())
        return fail(problem, QStringLiteral("write"), path, file.errorString());
    if (!file.commit())
        return fail(problem, QStringLiteral("save"), path, file.errorString());
    return true;
}

} // namespace q51
