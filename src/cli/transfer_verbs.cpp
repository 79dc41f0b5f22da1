// download, upload, version, status and trigger: the transfer window's and
// the command console's exchanges, run from the command line.

#include <QDate>
#include <QLocale>
#include <QSet>

#include "cli/console_output.h"
#include "cli/port_runner.h"
#include "cli/exit_codes.h"
#include "cli/link_options.h"
#include "cli/verbs.h"
#include "files/config_file_io.h"
#include "files/config_file_texts.h"
#include "model/config_file_format.h"
#include "link/console_command.h"
#include "link/console_texts.h"
#include "link/protocol/console_requests.h"
#include "link/protocol/status_byte.h"
#include "link/protocol/status_reply.h"
#include "link/transmit_exchanges.h"
#include "model/factory_defaults.h"
#include "schema/config_report.h"
#include "schema/config_text.h"
#include "cli/file_arguments.h"
#include "cli/json_output.h"
#include "link/link_settings_choices.h"

namespace q51::cli {

namespace {

namespace c = console_text;

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// A version is data; "Download OK!" and its kin are outcomes.
void printReport(PortVoice &voice, const TransferReport &report, int code, bool isData)
{
    if (code != Success)
        voice.failure(report.text, report.detail);
    else if (isData)
        voice.result(report.text);
    else
        voice.outcome(report.text);
}

// The configuration a fresh start holds: factory block, start-up header.
Configuration startUpConfiguration()
{
    Configuration config;
    LoadFactoryDefaults(config);
    config.TakeSavedCopy();
    ResetHeaderStrings(config, HeaderPreset::StartUp,
                       QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString());
    return config;
}

// Runs one transfer of the transfer window over an open session.
// heldSuccess: the success text is handed back instead of told, for a
// caller with more to do before it may say so.
Task<int> transfer(PortJob job, TransferKind kind, Configuration &config, bool quietSuccess = false,
                   QString *heldSuccess = nullptr)
{
    std::function<void(qsizetype)> progress;
    if (kind == TransferKind::Upload) {
        progress = [&voice = job.voice](qsizetype n) {
            voice.progress(QStringLiteral("upload"), n, qint64(protocol::UploadLimits.receiveThreshold));
        };
    }
    const ExchangeResult result = co_await job.session.exchange(PrepareTransfer(kind, config), progress);
    job.voice.progressEnd();
    const TransferReport report = CompleteTransfer(kind, result, config);
    const int code = ExitCodeFor(result, kind == TransferKind::Download);
    if (code == Success && heldSuccess)
        *heldSuccess = report.text;
    else if (code != Success || !quietSuccess)
        printReport(job.voice, report, code, kind == TransferKind::Version);
    co_return code;
}

QString resultText(ConsoleItem item, bool succeeded)
{
    return text(c::SendPrefix) + text(item == ConsoleItem::Status ? c::StatusWord : c::TriggerWord) +
           text(succeeded ? c::CommandOk : c::CommandFailed);
}

Task<int> downloadTo(PortJob job, Configuration config, bool verify)
{
    const int code = co_await transfer(job, TransferKind::Download, config);
    if (code != Success || !verify)
        co_return code;

    Configuration readBack = config;
    const int readCode = co_await transfer(job, TransferKind::Upload, readBack, true);
    if (readCode != Success)
        co_return readCode;
    if (readBack.block != config.block) {
        job.voice.failure(QStringLiteral("Verify failed: the decoder holds a different configuration."),
                          QString::fromStdString(DiffConfigurations(config, readBack, {false, true})).trimmed());
        co_return VerifyMismatch;
    }
    job.voice.outcome(QStringLiteral("Verify OK!"));
    co_return Success;
}

// "Upload OK!" only once the block is safe in its file, written whole or
// not at all.
Task<int> uploadFrom(PortJob job, QString out)
{
    Configuration config = startUpConfiguration();
    QString uploaded;
    if (const int code = co_await transfer(job, TransferKind::Upload, config, false, &uploaded); code != Success)
        co_return code;
    config.PortNumber = std::int16_t(job.session.portNumber());
    if (IsStandardStream(out)) {
        job.voice.bytes(QByteArray::fromStdString(FormatConfigurationFile(config)));
    } else {
        const SaveResult saved = WriteConfigurationFile(out, config);
        if (!saved.ok) {
            job.voice.failure(out + QStringLiteral(": ") + saved.reason);
            co_return BadFile;
        }
        job.voice.wrote(out);
    }
    job.voice.outcome(uploaded);
    co_return Success;
}

Task<int> versionOf(PortJob job, bool json)
{
    Configuration config = startUpConfiguration();
    if (!json)
        co_return co_await transfer(job, TransferKind::Version, config);
    const ExchangeResult result = co_await job.session.exchange(PrepareTransfer(TransferKind::Version, config));
    const TransferReport report = CompleteTransfer(TransferKind::Version, result, config);
    const int code = ExitCodeFor(result);
    if (code != Success) {
        job.voice.failure(report.text, report.detail);
        co_return code;
    }
    job.voice.json(QJsonObject{{QStringLiteral("version"), TerminalText(report.text).trimmed()}});
    co_return Success;
}

Task<int> statusOf(PortJob job, bool json)
{
    // The console's serial Status exchange, with the reply state kept so
    // the exit code can tell a silent decoder from a refusal.
    const protocol::Bytes request = protocol::StatusRequest();
    Exchange::Request exchange;
    exchange.bytes = QByteArray(reinterpret_cast<const char *>(request.data()), qsizetype(request.size()));
    exchange.threshold = int(protocol::StatusLimits.receiveThreshold);
    exchange.timeout = Interval::StatusReply;
    auto judge = [](const QByteArray &reply) {
        return protocol::JudgeStatusReply(
            protocol::AsBytes(std::string_view(reply.constData(), std::size_t(reply.size()))));
    };
    exchange.judge = [judge](const QByteArray &reply) { return int(judge(reply).state); };
    const ExchangeResult result = co_await job.session.exchange(std::move(exchange));

    int code = ExitCodeFor(result);
    std::optional<protocol::StatusBytes> status;
    if (code == Success) {
        status = judge(result.reply).bytes;
        if (!status || !protocol::CarriesStatus(*status))
            code = BadReply; // checks out, yet no status reply
    }
    if (code != Success) {
        job.voice.failure(resultText(ConsoleItem::Status, false));
        co_return code;
    }
    const int statusByte = (*status)[protocol::StatusByteIndex];
    QJsonArray described;
    for (const std::string &statusLine : protocol::DescribeStatusByte(std::uint8_t(statusByte))) {
        if (json)
            described.append(QString::fromStdString(statusLine));
        else
            job.voice.result(QString::fromStdString(statusLine));
    }
    if (json)
        job.voice.json(QJsonObject{{QStringLiteral("status_byte"), statusByte}, {QStringLiteral("status"), described}});
    job.voice.outcome(resultText(ConsoleItem::Status, true));
    co_return Success;
}

Task<int> triggerOn(PortJob job)
{
    ConsoleCommand command(ConsoleItem::Trigger, job.session.port());
    const bool succeeded = co_await WhenGiven<bool>([&command](auto give) {
        command.onFinished = [give](const ConsoleOutcome &outcome) { give(outcome.succeeded); };
        command.start();
    });
    if (!succeeded) {
        // No reply is awaited: only a write the port refused fails it.
        job.voice.failure(resultText(ConsoleItem::Trigger, false));
        co_return PortLost;
    }
    job.voice.outcome(resultText(ConsoleItem::Trigger, true));
    co_return Success;
}

// The output file for each port: several ports need a pattern that names
// each its own, and every file must be writable before any decoder is asked.
int checkOutputs(const RunPlan &plan, const QString &pattern)
{
    QSet<QString> outputs;
    for (const PortTarget &target : plan.targets.ports) {
        const QString out = ExpandOutputPattern(pattern, target);
        if (plan.targets.several && (IsStandardStream(out) || outputs.contains(out)))
            return Usage(QStringLiteral("with several ports, upload needs a file per port: --output 'dec-{port}.cfg'"));
        outputs.insert(out);
        if (const int code = CheckWritable(out); code != Success)
            return code;
    }
    return Success;
}

} // namespace

// Shared with report and diff: the decoder's block, read as an upload.
Task<int> UploadInto(PortJob job, Configuration &config)
{
    co_return co_await transfer(job, TransferKind::Upload, config, true);
}

int CheckStoredPort(const CommandLine &line, const Configuration &config)
{
    // Like the window after File > Open: the port the file names, unless
    // it names none the window offers. --port picks one all the same.
    const int stored = config.PortNumber;
    if (line.ports.isEmpty() && !line.portSet && !IsOfferedPortNumber(stored)) {
        PrintFailure(QStringLiteral("%1: the stored port number %2 is not Com 1 to 4; give the port with --port")
                         .arg(line.arguments.first())
                         .arg(stored));
        return BadFile;
    }
    return Success;
}

Configuration StartUpConfiguration()
{
    return startUpConfiguration();
}

int RunDownload(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 1, 1, "one FILE"))
        return *usage;
    Configuration config = startUpConfiguration();
    if (const int code = LoadConfigurationArgument(line.arguments.first(), config, DamagedFilesOf(line)); code != Success)
        return code;
    if (const int code = CheckStoredPort(line, config); code != Success)
        return code;
    if (line.backup)
        return RunOnNamedPorts(line, [&](PortJob job) { return DownloadWithBackup(job, config, *line.backup); },
                               config.PortNumber);
    return RunOnNamedPorts(line, [&](PortJob job) { return downloadTo(job, config, line.verify); }, config.PortNumber);
}

int RunUpload(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, line.output ? 0 : 1, line.output ? 0 : 1,
                                              "one FILE, or --output PATTERN"))
        return *usage;
    const QString pattern = line.output.value_or(line.arguments.value(0));
    if (const int code = CheckParityAllowsReplies(line); code != Success)
        return code;
    RunPlan plan;
    const bool serialNamed = pattern.contains(QLatin1String("{serial}"));
    if (const int code = PlanRun(line, 1, DefaultSettings, plan, serialNamed); code != Success)
        return code;
    // Checked before the decoder is asked, so a long upload is not lost.
    if (const int code = checkOutputs(plan, pattern); code != Success)
        return code;
    return RunOnPorts(plan, [&](PortJob job) { return uploadFrom(job, ExpandOutputPattern(pattern, job.target)); });
}

int RunVersion(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 0, 0, "no arguments"))
        return *usage;
    if (const int code = CheckParityAllowsReplies(line); code != Success)
        return code;
    return RunOnNamedPorts(line, [&](PortJob job) { return versionOf(job, line.json); });
}

int RunStatus(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 0, 0, "no arguments"))
        return *usage;
    return RunOnNamedPorts(line, [&](PortJob job) { return statusOf(job, line.json); });
}

int RunTrigger(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 0, 0, "no arguments"))
        return *usage;
    return RunOnNamedPorts(line, [](PortJob job) { return triggerOn(job); });
}

} // namespace q51::cli
