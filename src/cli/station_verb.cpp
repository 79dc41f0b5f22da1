// q51ctl station: every named port watched for decoders; each unit given
// the golden configuration (and firmware), verified, and recorded, until
// Ctrl+C. One line per unit on standard output, as it finishes.

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSysInfo>
#include <QTimer>

#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "cli/file_arguments.h"
#include "cli/link_options.h"
#include "cli/port_runner.h"
#include "cli/stop_signals.h"
#include "cli/verbs.h"
#include "link/decoder_backups.h"
#include "link/firmware_image.h"
#include "link/station_engine.h"
#include "records/open_records.h"
#include "records/record_fields.h"
#include "records/record_listing.h"

namespace q51::cli {

namespace {

// How often the spool is offered to the database while no unit comes.
constexpr int SpoolRetryMs = 10000;

QString operatorOf(const CommandLine &line)
{
    if (line.operatorName)
        return *line.operatorName;
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? qEnvironmentVariable("LOGNAME") : user;
}

QString unitLine(const StationRecord &record, const RecordKept &kept)
{
    QString line = QString::fromUtf8(PlainListing(std::span(&record, 1))).trimmed();
    if (!record.passed)
        line += QStringLiteral("  ") + record.problem;
    if (kept.where == RecordKept::Where::Spool)
        line += QStringLiteral("  (kept in the spool: ") + kept.problem + QLatin1Char(')');
    else if (kept.where == RecordKept::Where::Nowhere)
        line += QStringLiteral("  (NOT RECORDED: ") + kept.problem + QLatin1Char(')');
    return line;
}

QString keptWord(RecordKept::Where where)
{
    switch (where) {
    case RecordKept::Where::Database: return QStringLiteral("database");
    case RecordKept::Where::Spool: return QStringLiteral("spool");
    case RecordKept::Where::Nowhere: break;
    }
    return QStringLiteral("nowhere");
}

// "PORT: no port: why": told on standard error when a port's state changes
// in a way the unit lines do not show.
void tellPortState(const StationPortStatus &status)
{
    if (status.state == StationPortState::NoPort)
        PrintFailure(status.target.name + QStringLiteral(": waiting for the port: ") + status.problem);
    else if (status.state == StationPortState::Waiting)
        PrintOutcome(status.target.name + QStringLiteral(": waiting for a decoder"));
}

} // namespace

int RunStation(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 0, 0, "no arguments"))
        return *usage;
    if (!line.golden)
        return Usage(QStringLiteral("station needs --golden FILE, the configuration every unit gets"));
    if (line.firmware.has_value() != line.firmwareVersion.has_value())
        return Usage(QStringLiteral("--firmware IMAGE and --firmware-version TEXT go together"));

    StationPlan plan;
    plan.golden = StartUpConfiguration();
    if (const int code = LoadConfigurationArgument(*line.golden, plan.golden, DamagedFilesOf(line)); code != Success)
        return code;
    plan.goldenName = QFileInfo(*line.golden).fileName();
    if (line.firmware) {
        FirmwareImage image;
        if (const int code = LoadImageArgument(*line.firmware, image); code != Success)
            return code;
        plan.firmware = std::move(image.bytes);
        plan.firmwareVersion = *line.firmwareVersion;
    }
    plan.operatorName = operatorOf(line);
    plan.stationName = QSysInfo::machineHostName();
    plan.backupFolder = line.backup.value_or(DefaultBackupFolder());

    RunPlan run;
    if (const int code = PlanRun(line, 1, DefaultSettings, run, true); code != Success)
        return code;
    plan.settings = run.settings;

    QString problem;
    const std::unique_ptr<RecordStore> store = OpenRecordStore(line.records, &problem);
    if (!store)
        return Usage(problem);
    if (!store->open(&problem))
        PrintFailure(QStringLiteral("The records database cannot be written now; records go to the spool (%1) "
                                    "until it can.")
                         .arg(store->spoolPath()),
                     problem);

    StationEngine engine(plan, [&store](const StationRecord &record) { return store->keep(record); });
    for (const PortTarget &target : run.targets.ports)
        engine.addPort({target.choice.number, target.choice.device, target.name, target.serial});

    QObject::connect(&engine, &StationEngine::unitFinished,
                     [json = line.json](int, const StationRecord &record, const RecordKept &kept) {
                         if (json) {
                             QJsonObject object = RecordToJson(record);
                             object.insert(QStringLiteral("kept"), keptWord(kept.where));
                             PrintResult(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
                         } else {
                             PrintResult(unitLine(record, kept));
                         }
                     });
    if (!line.quiet) {
        QObject::connect(&engine, &StationEngine::portChanged,
                         [&engine](int index) { tellPortState(engine.ports()[std::size_t(index)]); });
    }
    QTimer spoolRetry;
    QObject::connect(&spoolRetry, &QTimer::timeout, [&store] {
        if (store->spooledCount() > 0)
            store->sendSpooled();
    });
    spoolRetry.start(SpoolRetryMs);

    StopSignals stop;
    QObject::connect(&stop, &StopSignals::stopRequested, &engine, &StationEngine::stop);
    QObject::connect(&engine, &StationEngine::stopped, QCoreApplication::instance(), &QCoreApplication::quit);
    PrintOutcome(QStringLiteral("Station: %1 (%2) on %3 port(s); Ctrl+C stops.")
                     .arg(plan.goldenName, BlockDigest(GoldenBlock(plan)).left(12))
                     .arg(run.targets.ports.size()));
    engine.start();
    QCoreApplication::exec();

    if (store->spooledCount() > 0)
        store->sendSpooled();
    if (const int left = store->spooledCount(); left > 0)
        PrintFailure(QStringLiteral("%1 record(s) wait in the spool (%2); the next run sends them.")
                         .arg(left)
                         .arg(store->spoolPath()));
    PrintOutcome(QStringLiteral("Station stopped: %1 passed, %2 failed.").arg(engine.passed()).arg(engine.failed()));
    return Stopped;
}

} // namespace q51::cli
