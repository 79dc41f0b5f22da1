#include "link/decoder_backups.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include "files/config_file_io.h"
#include "model/configuration.h"

namespace q51 {

namespace {

const QString TimeFormat = QStringLiteral("yyyy-MM-ddTHH-mm-ss");
const QString Suffix = QStringLiteral(".cfg");

} // namespace

QString DefaultBackupFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/q51setup/backups");
}

QString BackupPortLabel(int portNumber, const QString &device)
{
    return device.isEmpty() ? QStringLiteral("COM%1").arg(portNumber) : device;
}

QString BackupFileName(const QDateTime &taken, const QString &portLabel)
{
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9-]+"));
    QString port = QString(portLabel).replace(unsafe, QStringLiteral("-"));
    while (port.startsWith(QLatin1Char('-')))
        port.remove(0, 1);
    if (port.isEmpty())
        port = QStringLiteral("port");
    return taken.toString(TimeFormat) + QLatin1Char('_') + port + Suffix;
}

BackupSaved SaveBackup(const QString &folder, const Configuration &config, const QString &portLabel,
                       const QDateTime &taken)
{
    if (!QDir().mkpath(folder))
        return {{}, QStringLiteral("The backup folder %1 could not be made.").arg(QDir::toNativeSeparators(folder))};
    const QString name = BackupFileName(taken, portLabel);
    QString path = QDir(folder).filePath(name);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(folder).filePath(name.chopped(Suffix.size()) + QStringLiteral("-%1").arg(n) + Suffix);
    Configuration copy = config;
    const SaveResult saved = WriteConfigurationFile(path, copy);
    if (!saved.ok)
        return {{}, QDir::toNativeSeparators(path) + QStringLiteral(": ") + saved.reason};
    return {path, {}};
}

std::vector<BackupEntry> ListBackups(const QString &folder)
{
    std::vector<BackupEntry> backups;
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("*") + Suffix}, QDir::Files, QDir::Name);
    for (const QFileInfo &file : files) {
        const QString stem = file.completeBaseName();
        const qsizetype split = stem.indexOf(QLatin1Char('_'));
        BackupEntry entry{file.absoluteFilePath(), file.fileName(), {}, {}};
        if (split > 0) {
            entry.taken = QDateTime::fromString(stem.left(split), TimeFormat);
            entry.port = stem.mid(split + 1);
        }
        backups.push_back(std::move(entry));
    }
    return backups;
}

} // namespace q51
