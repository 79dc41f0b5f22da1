#include "records_bench.h"

#include "bench_figures.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "records/record_listing.h"
#include "records/record_store.h"
#include "records/spool_lines.h"

namespace q51::bench {

namespace {

constexpr int Rows = 100000;
constexpr int Days = 100; // the rows spread over these, a thousand a day

StationRecord unit(int n, const QDateTime &now)
{
    StationRecord r;
    r.unitId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    r.time = now.addMSecs(-qint64(n) * Days * 24 * 3600 * 1000 / Rows);
    r.station = QStringLiteral("line-1");
    r.operatorName = QStringLiteral("Operator %1").arg(n % 7);
    r.port = QStringLiteral("/dev/ttyUSB%1").arg(n % 8);
    r.decoderVersion = QStringLiteral("V51 2.04");
    r.foundDigest = QString(64, u'a');
    r.goldenDigest = QString(64, u'b');
    r.passed = n % 20 != 0;
    if (!r.passed) {
        r.failedStep = UnitStep::Verify;
        r.problem = QStringLiteral("The configuration read back differs in 3 bytes.");
    }
    r.seconds = 9.5 + (n % 10) / 10.0;
    return r;
}

} // namespace

bool RecordsBench(const char *ctlPath)
{
    QTemporaryDir dir;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    std::printf("\n| records, SQLite (WAL, synchronous=FULL) | median ms | worst ms | goal ms | |\n"
                "|---|---|---|---|---|\n");

    RecordsLocation one;
    one.path = dir.filePath(QStringLiteral("one.sqlite"));
    RecordStore store(one, dir.filePath(QStringLiteral("spool")));
    store.open();
    std::vector<double> kept;
    for (int i = 0; i < 200; ++i) {
        const StationRecord record = unit(i, now);
        bool stored = false;
        kept.push_back(millisecondsOf([&] { stored = store.keep(record).where == KeptWhere::Database; }));
        if (!stored)
            kept.back() = 1e9;
    }
    bool met = printRow("keep(): one record committed, of 200", figuresOf(kept), 5);

    // 100,000 rows in one transaction: a spool of them, sent at once.
    RecordsLocation big;
    big.path = dir.filePath(QStringLiteral("big.sqlite"));
    RecordStore filling(big, dir.filePath(QStringLiteral("spool")));
    QByteArray lines;
    for (int i = 0; i < Rows; ++i)
        lines += SpoolLineOf(unit(i, now));
    QDir().mkpath(QFileInfo(filling.spoolPath()).absolutePath());
    QFile spool(filling.spoolPath());
    if (!spool.open(QIODevice::WriteOnly) || spool.write(lines) != lines.size() || !spool.flush()) {
        std::printf("| could not write the spool of 100,000 rows: %s | | | | |\n", qPrintable(spool.errorString()));
        return false;
    }
    spool.close();
    SpoolSend sent;
    const double filled = millisecondsOf([&] { sent = filling.sendSpooled(); });
    std::printf("| (100,000 rows sent from a spool in one transaction: %.0f ms, %d stored) | | | | |\n", filled,
                sent.sent);
    met = met && sent.sent == Rows;

    const QString since = now.addDays(-1).toLocalTime().toString(Qt::ISODate);
    std::vector<double> asked, listed;
    std::size_t found = 0;
    std::size_t failures = 0;
    for (int run = 0; run < 20; ++run) {
        // As q51ctl: a store of its own, the query, the listing.
        listed.push_back(millisecondsOf([&] {
            RecordStore reader(big, dir.filePath(QStringLiteral("spool")), RecordStore::Missing::Refuse);
            RecordFilter filter;
            filter.since = now.addDays(-1);
            const FoundRecords records = reader.query(filter);
            found = records.records.size();
            (void)PlainListing(records.records);
        }));
        RecordFilter failed;
        failed.since = now.addDays(-7);
        failed.passed = false;
        asked.push_back(millisecondsOf([&] { failures = filling.query(failed).records.size(); }));
    }
    char what[160];
    std::snprintf(what, sizeof what, "--since 1 day of 100,000 rows (%zu found): open, query, listing", found);
    met = printRow(what, figuresOf(listed), 100) && met;
    std::snprintf(what, sizeof what, "--since 7 days --result fail of 100,000 rows (%zu found): the query alone",
                  failures);
    met = printRow(what, figuresOf(asked), 100) && met;

    std::vector<double> processes;
    for (int run = 0; run < 10; ++run) {
        QProcess ctl;
        ctl.setStandardOutputFile(QProcess::nullDevice());
        const double ms = millisecondsOf([&] {
            ctl.start(QString::fromUtf8(ctlPath),
                      {QStringLiteral("records"), QStringLiteral("--since"), since, QStringLiteral("--records"),
                       big.path});
            ctl.waitForFinished(30000);
        });
        processes.push_back(ctl.exitStatus() == QProcess::NormalExit && ctl.exitCode() == 0 ? ms : 1e9);
    }
    met = printRow("q51ctl records --since (1 day of 100,000 rows), process start to exit", figuresOf(processes), 100) &&
          met;
    return met;
}

} // namespace q51::bench
