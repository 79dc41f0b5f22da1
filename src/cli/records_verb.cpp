// q51ctl records: the station's records, filtered, as aligned lines, CSV or
// JSON.

#include <QDateTime>

#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "cli/verbs.h"
#include "records/open_records.h"
#include "records/record_listing.h"
#include "records/since_time.h"

namespace q51::cli {

int RunRecords(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 0, 0, "no arguments"))
        return *usage;
    if (line.csv && line.json)
        return Usage(QStringLiteral("records takes --csv or --json, not both"));
    RecordFilter filter;
    if (line.since) {
        filter.since = ParseSinceTime(*line.since, QDateTime::currentDateTime());
        if (!filter.since)
            return Usage(QStringLiteral("--since takes a time such as 2026-12-09, 2026-12-09T10:00 or 2h, 30m, 7d, "
                                        "not '%1'")
                             .arg(Echoed(*line.since)));
    }
    if (line.result) {
        const QString result = line.result->trimmed().toLower();
        if (result != u"pass" && result != u"fail")
            return Usage(QStringLiteral("--result takes pass or fail, not '%1'").arg(Echoed(*line.result)));
        filter.passed = result == u"pass";
    }
    filter.ports = line.ports;
    QString problem;
    const auto store = OpenRecordStore(line.records, &problem, RecordStore::Missing::Refuse);
    if (!store)
        return Usage(problem);
    const FoundRecords found = store->query(filter);
    if (!found.problem.isEmpty()) {
        PrintFailure(found.problem);
        return BadFile;
    }
    if (found.unreadable > 0)
        PrintFailure(QStringLiteral("%1 of the records database's rows %2 no record this program can read: left "
                                    "out.")
                         .arg(found.unreadable)
                         .arg(found.unreadable == 1 ? QStringLiteral("is") : QStringLiteral("are")));
    const QByteArray text = line.csv    ? CsvListing(found.records)
                            : line.json ? JsonListing(found.records)
                                        : PlainListing(found.records);
    if (!PrintBytes(text))
        return BadFile;
    if (found.records.empty() && !line.csv && !line.json)
        PrintOutcome(QStringLiteral("No records match."));
    return Success;
}

} // namespace q51::cli
