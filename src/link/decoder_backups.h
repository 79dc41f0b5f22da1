#pragma once
// Backups of a decoder's block, taken before anything is sent to it: one
// .cfg per backup in a folder, named by the time it was taken and the port
// it came from, so a listing sorted by name is in time order.

#include <vector>

#include <QDateTime>
#include <QString>

namespace q51 {

struct Configuration;

// The window's data folder plus "backups". q51ctl uses the same folder, so
// both list the same backups.
[[nodiscard]] QString DefaultBackupFolder();

// "2026-12-09T08-31-05_COM1.cfg": the port label keeps letters, digits and
// '-' only, so a device path ("/dev/pts/3") makes a plain name ("dev-pts-3").
[[nodiscard]] QString BackupFileName(const QDateTime &taken, const QString &portLabel);

// "COM1" for a Com port; the device's path when one stands in for it.
[[nodiscard]] QString BackupPortLabel(int portNumber, const QString &device = {});

struct BackupSaved {
    QString path;    // empty when the backup could not be written
    QString problem; // why, in plain words
};

// Writes config as a .cfg in folder (made when missing), whole or not at
// all; a name already taken gets "-2", "-3", ... so no backup is replaced.
BackupSaved SaveBackup(const QString &folder, const Configuration &config, const QString &portLabel,
                       const QDateTime &taken = QDateTime::currentDateTime());

struct BackupEntry {
    QString path;
    QString fileName;
    QDateTime taken; // invalid when the name does not carry a time
    QString port;
};

// The .cfg files of the folder, oldest first; none when it does not exist.
[[nodiscard]] std::vector<BackupEntry> ListBackups(const QString &folder);

} // namespace q51
