#pragma once
// Where a record waits while its database cannot be written: a file of one
// JSON line per record, every append on the disk before it counts. Damaged
// lines go to a file beside it (PATH.damaged), never lost.

#include <functional>
#include <vector>

#include <QString>

#include "link/station_record.h"

namespace q51 {

struct SpoolSend {
    int sent = 0;     // stored and removed from the spool
    int left = 0;     // still spooled
    int setAside = 0; // damaged lines moved to the damaged file
    QString problem;  // why some were not sent, or the spool could not be rewritten
};

class RecordSpool {
public:
    explicit RecordSpool(QString path);

    const QString &path() const { return path_; }
    QString damagedPath() const;

    bool append(const StationRecord &record, QString *problem);
    // Records waiting (damaged lines not counted); reads the whole spool.
    [[nodiscard]] int count() const;
    // Nothing at all in it: the cheap look before every keep.
    [[nodiscard]] bool empty() const;

    // Hands every spooled record to store (all or none: true when they are
    // stored), then removes those it stored and sets damaged lines aside.
    // Records another process appends meanwhile stay.
    using Store = std::function<bool(const std::vector<StationRecord> &, QString *problem)>;
    SpoolSend send(const Store &store);

private:
    QString path_;
};

} // namespace q51
