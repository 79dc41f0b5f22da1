#include "files/config_file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <string>

#include "model/config_file_format.h"

namespace q51 {

namespace {

// A real file is about 1.5 KiB; anything this large is not one, and reading
// it whole would only waste memory.
constexpr qint64 MaxConfigurationFileSize = 1024 * 1024;

} // namespace

bool ReadConfigurationFile(const QString &path, Configuration &config)
{
    // Devices and pipes could block or never end; only regular files qualify.
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.read(MaxConfigurationFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > MaxConfigurationFileSize)
        return false;
    file.close();

    if (!ParseConfigurationFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), config))
        return false;
    config.FileName = QDir::toNativeSeparators(path).toStdString();
    return true;
}

SaveResult WriteConfigurationFile(const QString &path, Configuration &config)
{
    // A name taken by something other than a plain file (a folder, a pipe,
    // a device) is another program's: saving would replace it.
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return {false, QStringLiteral("\"%1\" is not a file.").arg(QDir::toNativeSeparators(path))};

    const std::string bytes = FormatConfigurationFile(config);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, file.errorString()};

    // A full disk may surface at write() or only at flush(); either way the
    // temporary file must be dropped, or commit() could still put a truncated
    // file in place of the old one.
    const bool written = file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size())
        && file.flush();
    if (!written) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return {false, reason.isEmpty() ? QStringLiteral("The file could not be written completely.") : reason};
    }
    if (!file.commit())
        return {false, file.errorString()};

    config.TakeSavedCopy();
    return {true, {}};
}

} // namespace q51
