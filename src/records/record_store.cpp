#include "record_store.h"

#include <atomic>

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include "record_fields.h"
#include "record_schema.h"

namespace q51 {

namespace {

// Two stations on one SQLite file wait for each other this long.
constexpr int BusyTimeoutMs = 10000;
// A plant's server that does not answer is given up on after this, so the
// station spools instead of hanging.
constexpr int ConnectTimeoutSeconds = 5;

QString newConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("q51records-%1").arg(++counter);
}

QString columnList()
{
    QStringList columns;
    for (const RecordField &field : RecordFields())
        columns << QLatin1String(field.column);
    return columns.join(QStringLiteral(", "));
}

QString insertStatement()
{
    QStringList marks;
    for (std::size_t i = 0; i < RecordFields().size(); ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("INSERT INTO station_records (%1) VALUES (%2) ON CONFLICT (unit_id) DO NOTHING")
        .arg(columnList(), marks.join(QStringLiteral(", ")));
}

QString databaseProblem(const QString &what, const RecordsLocation &location, const QSqlError &error)
{
    return QStringLiteral("Could not %1 the records database %2: %3")
        .arg(what, QDir::toNativeSeparators(location.described()), error.text().trimmed());
}

} // namespace

QString SpoolPathFor(const RecordsLocation &location, const QString &folder)
{
    const QByteArray digest =
        QCryptographicHash::hash(location.described().toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    const QString kind = location.kind == RecordsLocation::Kind::Sqlite ? QStringLiteral("sqlite")
                                                                        : QStringLiteral("postgresql");
    return folder + QStringLiteral("/records-spool-%1-%2.jsonl").arg(kind, QString::fromLatin1(digest));
}

RecordStore::RecordStore(RecordsLocation location, const QString &spoolFolder, Missing missing)
    : location_(std::move(location)), missing_(missing), connection_(newConnectionName()),
      spool_(SpoolPathFor(location_, spoolFolder))
{
}

RecordStore::~RecordStore()
{
    drop();
}

void RecordStore::drop()
{
    current_ = false;
    if (!db_.isValid())
        return;
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
}

bool RecordStore::open(QString *problem)
{
    const auto failed = [&](const QString &text) {
        if (problem)
            *problem = text;
        drop();
        return false;
    };
    if (!refusal_.isEmpty()) {
        if (problem)
            *problem = refusal_;
        return false;
    }
    if (current_ && db_.isOpen())
        return true;
    drop();
    const bool sqlite = location_.kind == RecordsLocation::Kind::Sqlite;
    const QString driver = sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL");
    if (!QSqlDatabase::isDriverAvailable(driver))
        return failed(QStringLiteral("The database driver %1 is not installed: install Qt's SQL driver for %2.")
                          .arg(driver, sqlite ? QStringLiteral("SQLite") : QStringLiteral("PostgreSQL")));
    if (sqlite) {
        const QFileInfo file(location_.path);
        if (missing_ == Missing::Refuse && !file.exists())
            return failed(QStringLiteral("There is no records database at %1: the station makes it with its first "
                                         "record, or name another with --records.")
                              .arg(QDir::toNativeSeparators(location_.path)));
        if (!QDir().mkpath(file.absolutePath()))
            return failed(QStringLiteral("Could not make the folder %1 for the records database: check its rights.")
                              .arg(QDir::toNativeSeparators(file.absolutePath())));
    }
    db_ = QSqlDatabase::addDatabase(driver, connection_);
    db_.setDatabaseName(sqlite ? location_.path : location_.database);
    if (sqlite) {
        db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    } else {
        db_.setHostName(location_.host);
        if (location_.port > 0)
            db_.setPort(location_.port);
        db_.setUserName(location_.user);
        db_.setPassword(location_.password);
        db_.setConnectOptions(QStringLiteral("connect_timeout=%1").arg(ConnectTimeoutSeconds));
    }
    if (!db_.open())
        return failed(databaseProblem(QStringLiteral("open"), location_, db_.lastError()));
    if (sqlite) {
        // WAL lets a query read while a station writes; FULL makes each
        // commit survive a power cut, which a PASS promises.
        QSqlQuery pragma(db_);
        if (!pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !pragma.next() ||
            pragma.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
            return failed(databaseProblem(QStringLiteral("switch to write-ahead logging"), location_,
                                          pragma.lastError()));
        if (!pragma.exec(QStringLiteral("PRAGMA synchronous=FULL")))
            return failed(databaseProblem(QStringLiteral("make the commits durable in"), location_,
                                          pragma.lastError()));
    }
    const SchemaCheck schema = BringSchemaUpToDate(db_, QDir::toNativeSeparators(location_.described()));
    if (schema.state == SchemaState::Refused)
        refusal_ = schema.problem;
    if (schema.state != SchemaState::Current)
        return failed(schema.problem);
    current_ = true;
    return true;
}

bool RecordStore::insertOnce(const std::vector<StationRecord> &records, QString *problem)
{
    if (!open(problem))
        return false;
    if (!db_.transaction()) {
        *problem = databaseProblem(QStringLiteral("start writing to"), location_, db_.lastError());
        return false;
    }
    QSqlQuery insert(db_);
    bool ok = insert.prepare(insertStatement());
    for (const StationRecord &record : records) {
        if (!ok)
            break;
        for (const RecordField &field : RecordFields())
            insert.addBindValue(StoredValue(field, record));
        ok = insert.exec();
    }
    if (ok && db_.commit())
        return true;
    *problem = databaseProblem(QStringLiteral("write to"), location_, ok ? db_.lastError() : insert.lastError());
    insert.finish();
    db_.rollback();
    return false;
}

bool RecordStore::insert(const std::vector<StationRecord> &records, QString *problem)
{
    // A connection left open may have lost its server since (a restart):
    // one more try on a fresh connection tells that from a server away.
    const bool wasOpen = current_;
    if (insertOnce(records, problem))
        return true;
    drop();
    return wasOpen && refusal_.isEmpty() && insertOnce(records, problem);
}

SpoolSend RecordStore::sendSpooled()
{
    return spool_.send([this](const std::vector<StationRecord> &records, QString *problem) {
        const bool stored = insert(records, problem);
        if (!stored)
            drop();
        return stored;
    });
}

int RecordStore::spooledCount() const
{
    return spool_.count();
}

Kept RecordStore::keep(const StationRecord &record)
{
    QString problem;
    // A server that let the last attempt wait for its time-out is left alone
    // for a while, so a station on an unreachable network does not stop for
    // seconds at every unit; one that refuses at once is asked every time.
    bool databaseAway = !slowRetry_.hasExpired();
    if (databaseAway)
        problem = slowProblem_;
    QElapsedTimer attempt;
    attempt.start();
    if (!databaseAway && !spool_.empty()) {
        const SpoolSend sent = spool_.send([&](const std::vector<StationRecord> &records, QString *why) {
            databaseAway = !insert(records, why);
            return !databaseAway;
        });
        if (databaseAway)
            problem = sent.problem;
    }
    // Not asked twice in one keep(): a server that does not answer costs
    // its time-out once.
    if (!databaseAway && insert({record}, &problem))
        return {KeptWhere::Database, {}};
    if (!databaseAway && attempt.elapsed() >= SlowFailureMs) {
        slowRetry_.setRemainingTime(SlowRetryMs);
        slowProblem_ = problem;
    }
    drop();
    QString spoolProblem;
    if (spool_.append(record, &spoolProblem))
        return {KeptWhere::Spool, problem};
    return {KeptWhere::Nowhere, problem + QLatin1Char('\n') + spoolProblem};
}

FoundRecords RecordStore::query(const RecordFilter &filter)
{
    FoundRecords found;
    if (!open(&found.problem))
        return found;
    QStringList conditions;
    QVariantList values;
    if (filter.since) {
        conditions << QStringLiteral("time >= ?");
        values << StoredTime(*filter.since);
    }
    if (filter.passed) {
        conditions << QStringLiteral("passed = ?");
        values << (*filter.passed ? 1 : 0);
    }
    if (!filter.ports.isEmpty()) {
        QStringList marks;
        for (const QString &port : filter.ports) {
            marks << QStringLiteral("?");
            values << port;
        }
        conditions << QStringLiteral("port IN (%1)").arg(marks.join(QStringLiteral(", ")));
    }
    QString statement = QStringLiteral("SELECT %1 FROM station_records").arg(columnList());
    if (!conditions.isEmpty())
        statement += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    statement += QStringLiteral(" ORDER BY time, unit_id");
    QSqlQuery select(db_);
    select.setForwardOnly(true);
    bool ok = select.prepare(statement);
    for (const QVariant &value : values)
        select.addBindValue(value);
    if (!ok || !select.exec()) {
        found.problem = databaseProblem(QStringLiteral("read"), location_, select.lastError());
        drop();
        return found;
    }
    const auto fields = RecordFields();
    while (select.next()) {
        StationRecord record;
        bool readable = true;
        for (std::size_t i = 0; i < fields.size(); ++i)
            readable = TakeStoredValue(fields[i], select.value(int(i)), record) && readable;
        if (readable)
            found.records.push_back(std::move(record));
        else
            ++found.unreadable;
    }
    return found;
}

} // namespace q51
