#include "record_schema.h"

#include <QSqlError>
#include <QSqlQuery>

namespace q51 {

namespace {

// The column names are those of record_fields.cpp. Times are fixed-width
// UTC text, so text order is time order in both databases.
constexpr const char *Version1[]{
    "CREATE TABLE station_records ("
    " unit_id TEXT NOT NULL PRIMARY KEY,"
    " time TEXT NOT NULL,"
    " station TEXT NOT NULL,"
    " operator TEXT NOT NULL,"
    " port TEXT NOT NULL,"
    " adapter_serial TEXT NOT NULL,"
    " decoder_version TEXT NOT NULL,"
    " found_digest TEXT NOT NULL,"
    " golden_digest TEXT NOT NULL,"
    " firmware_before TEXT NOT NULL,"
    " firmware_after TEXT NOT NULL,"
    " passed INTEGER NOT NULL CHECK (passed IN (0, 1)),"
    " failed_step TEXT,"
    " problem TEXT NOT NULL,"
    " seconds DOUBLE PRECISION NOT NULL)",
    "CREATE INDEX station_records_time ON station_records (time)",
    "CREATE INDEX station_records_passed_time ON station_records (passed, time)",
    "CREATE INDEX station_records_port_time ON station_records (port, time)",
};

constexpr Migration Migrations[]{
    {1, Version1},
};

constexpr const char *VersionTable = "schema_version";

QString failure(const QString &what, const QString &described, const QSqlError &error)
{
    return QStringLiteral("Could not %1 the records database %2: %3").arg(what, described, error.text());
}

// -1 when it cannot be read.
int storedVersion(QSqlDatabase &db, QString *problem, const QString &described)
{
    if (!db.tables().contains(QLatin1String(VersionTable)))
        return 0;
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT version FROM schema_version"))) {
        *problem = failure(QStringLiteral("read the version of"), described, query.lastError());
        return -1;
    }
    int version = 0;
    while (query.next())
        version = std::max(version, query.value(0).toInt());
    return version;
}

bool run(QSqlDatabase &db, const QString &statement, QString *problem, const QString &described)
{
    QSqlQuery query(db);
    if (query.exec(statement))
        return true;
    *problem = failure(QStringLiteral("update the tables of"), described, query.lastError());
    return false;
}

bool migrate(QSqlDatabase &db, int from, QString *problem, const QString &described)
{
    if (!db.transaction()) {
        *problem = failure(QStringLiteral("start updating"), described, db.lastError());
        return false;
    }
    bool ok = run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)"), problem,
                  described);
    for (const Migration &step : Migrations) {
        if (!ok || step.version <= from)
            continue;
        for (const char *statement : step.statements) {
            ok = ok && run(db, QString::fromLatin1(statement), problem, described);
        }
    }
    ok = ok && run(db, QStringLiteral("DELETE FROM schema_version"), problem, described) &&
         run(db, QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)").arg(RecordSchemaVersion()),
             problem, described);
    if (ok && db.commit())
        return true;
    if (ok)
        *problem = failure(QStringLiteral("commit the new tables of"), described, db.lastError());
    db.rollback();
    return false;
}

} // namespace

std::span<const Migration> RecordMigrations()
{
    return Migrations;
}

int RecordSchemaVersion()
{
    return std::end(Migrations)[-1].version;
}

SchemaCheck BringSchemaUpToDate(QSqlDatabase &db, const QString &described)
{
    // Two stations may meet an empty database at once: the one that loses
    // the race finds the tables made when it looks again.
    for (int attempt = 0; attempt < 2; ++attempt) {
        QString problem;
        const int version = storedVersion(db, &problem, described);
        if (version < 0)
            return {SchemaState::Failed, problem};
        if (version == RecordSchemaVersion())
            return {SchemaState::Current, {}};
        if (version > RecordSchemaVersion())
            return {SchemaState::Refused,
                    QStringLiteral("The records database %1 is of version %2, newer than this program knows (%3): "
                                   "it is left untouched. Update the program to use it.")
                        .arg(described)
                        .arg(version)
                        .arg(RecordSchemaVersion())};
        if (migrate(db, version, &problem, described))
            return {SchemaState::Current, {}};
        if (attempt == 1)
            return {SchemaState::Failed, problem};
    }
    return {SchemaState::Failed, {}};
}

} // namespace q51
