// A --records value and a --since time of any content and length, as a
// command line or a station's settings may bring them: no read outside the
// text, and what is accepted names a database or a time that can be used.

#include <cstddef>
#include <cstdint>

#include <QDateTime>
#include <QString>

#include "records/records_location.h"
#include "records/since_time.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QString problem;
    const auto location = q51::ParseRecordsLocation(text, &problem);
    if (!location && problem.isEmpty())
        __builtin_trap();
    if (location && location->kind == q51::RecordsLocation::Kind::Postgres) {
        if (location->database.isEmpty() || location->port == 0 || location->port > 65535)
            __builtin_trap();
        (void)location->described();
    }
    if (location && location->kind == q51::RecordsLocation::Kind::Sqlite && location->path.isEmpty())
        __builtin_trap();

    const QDateTime now(QDate(2026, 12, 9), QTime(12, 0), Qt::UTC);
    const auto since = q51::ParseSinceTime(text, now);
    if (since && !since->isValid())
        __builtin_trap();
    return 0;
}
