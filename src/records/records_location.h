#pragma once
// Where the station's records are kept, from the --records value: empty for
// the SQLite file in the program's data folder, "sqlite:PATH" or a plain path
// for another SQLite file, "postgresql://[user[:password]@][host][:port]/dbname
// [?host=/socket/dir&port=N]" for a plant's PostgreSQL server (a host that
// begins with '/' is the folder of the server's Unix socket).

#include <optional>

#include <QString>

namespace q51 {

struct RecordsLocation {
    enum class Kind { Sqlite, Postgres };
    Kind kind = Kind::Sqlite;
    QString path;     // SQLite: the database file
    QString host;     // PostgreSQL: empty for libpq's default socket
    int port = -1;    // PostgreSQL: -1 for the default
    QString user;
    QString password;
    QString database;

    // For messages and the spool's name: never the password.
    [[nodiscard]] QString described() const;

    friend bool operator==(const RecordsLocation &, const RecordsLocation &) = default;
};

// The program's data folder (where the backups live too).
[[nodiscard]] QString RecordsDataFolder();
[[nodiscard]] QString DefaultRecordsPath();

// Nothing, with *problem set, for a value that names no database.
[[nodiscard]] std::optional<RecordsLocation> ParseRecordsLocation(const QString &text, QString *problem);

} // namespace q51
