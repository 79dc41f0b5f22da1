#pragma once
// Where the station's records are kept: a database (SQLite or PostgreSQL)
// and, while it cannot be written, a spool beside it that is sent on the
// next keep() or sendSpooled(). A record is "kept" only once it is committed
// to the database or on the disk in the spool.

#include <optional>
#include <vector>

#include <QDateTime>
#include <QDeadlineTimer>
#include <QSqlDatabase>
#include <QStringList>

#include "link/station_engine.h"
#include "link/station_record.h"
#include "records/record_spool.h"
#include "records/records_location.h"

namespace q51 {

// Where a record went: the station engine's own answer, so a store is its
// keeper as it stands.
using Kept = RecordKept;
using KeptWhere = RecordKept::Where;

struct RecordFilter {
    std::optional<QDateTime> since = {}; // from this time on
    std::optional<bool> passed = {};
    QStringList ports = {};              // any of these; none: every port
};

struct FoundRecords {
    std::vector<StationRecord> records; // by time
    int unreadable = 0;                 // rows that are no record of this program's
    QString problem;                    // set when the query could not be made
};

// Used from the thread that made it: a Qt SQL connection belongs to one.
class RecordStore {
public:
    // Reading only needs no empty database made where none is.
    enum class Missing { Create, Refuse };

    RecordStore(RecordsLocation location, const QString &spoolFolder, Missing missing = Missing::Create);
    ~RecordStore();
    RecordStore(const RecordStore &) = delete;
    RecordStore &operator=(const RecordStore &) = delete;

    const RecordsLocation &location() const { return location_; }
    const QString &spoolPath() const { return spool_.path(); }

    // Connects and brings the tables up to date; keep() and query() do it
    // too, again after every failure.
    bool open(QString *problem = nullptr);

    // Sends the spool first, then the record; to the spool when the
    // database cannot take it. A unit id already stored counts as stored.
    Kept keep(const StationRecord &record);
    SpoolSend sendSpooled();
    [[nodiscard]] int spooledCount() const;

    [[nodiscard]] FoundRecords query(const RecordFilter &filter);

private:
    bool insert(const std::vector<StationRecord> &records, QString *problem);
    bool insertOnce(const std::vector<StationRecord> &records, QString *problem);
    void drop();

    RecordsLocation location_;
    Missing missing_;
    QString connection_;
    QSqlDatabase db_;
    bool current_ = false;   // open with the tables up to date
    QString refusal_;        // a newer database: never written to
    RecordSpool spool_;
    // After an attempt that failed slowly (a time-out), the database is not
    // asked again before this.
    static constexpr int SlowFailureMs = 1000;
    static constexpr int SlowRetryMs = 30000;
    QDeadlineTimer slowRetry_{0};
    QString slowProblem_;
};

// The spool that goes with a database, in the given folder.
[[nodiscard]] QString SpoolPathFor(const RecordsLocation &location, const QString &folder);

} // namespace q51
