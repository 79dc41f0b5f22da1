// download, upload, version, status and trigger: the transfer window's and
// the command console's exchanges, run from the command line.

#include <QDate>
#include <QLocale>

#include "cli/console_output.h"
#include "cli/device_session.h"
#include "cli/exit_codes.h"
#include "cli/link_options.h"
#include "cli/progress_meter.h"
#include "cli/verbs.h"
#include "files/config_file_io.h"
#include "files/config_file_texts.h"
#include "link/console_command.h"
#include "link/console_texts.h"
#include "link/protocol/console_requests.h"
#include "link/protocol/status_byte.h"
#include "link/protocol/status_reply.h"
#include "link/transmit_exchanges.h"
#include "model/factory_defaults.h"
#include "schema/config_report.h"
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
void printReport(const TransferReport &report, int code, bool isData)
{
    if (code != Success)
        PrintFailure(report.text, report.detail);
    else if (isData)
        PrintResult(report.text);
    else
        PrintOutcome(report.text);
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
// heldSuccess: the success text is handed back instead of printed, for a
// caller with more to do before it may say so.
int transfer(DeviceSession &session, TransferKind kind, Configuration &config, bool quietSuccess = false,
             QString *heldSuccess = nullptr)
{
    std::unique_ptr<ProgressMeter> meter;
    std::function<void(qsizetype)> progress;
    if (kind == TransferKind::Upload) {
        meter = std::make_unique<ProgressMeter>(QStringLiteral("upload"),
                                                qint64(protocol::UploadLimits.receiveThreshold));
        progress = [&meter](qsizetype n) { meter->update(n); };
    }
    const ExchangeResult result = session.run(PrepareTransfer(kind, config), progress);
    meter.reset();
    const TransferReport report = CompleteTransfer(kind, result, config);
    const int code = ExitCodeFor(result, kind == TransferKind::Download);
    if (code == Success && heldSuccess)
        *heldSuccess = report.text;
    else if (code != Success || !quietSuccess)
        printReport(report, code, kind == TransferKind::Version);
    return code;
}

QString resultText(ConsoleItem item, bool succeeded)
{
    return text(c::SendPrefix) + text(item == ConsoleItem::Status ? c::StatusWord : c::TriggerWord) +
           text(succeeded ? c::CommandOk : c::CommandFailed);
}

// The session on an open port; null, with the exit code in `failure`, for
// bad link options or a port that cannot be opened.
std::unique_ptr<DeviceSession> openSession(const CommandLine &line, int &failure, int defaultPort = 1)
{
    const auto options = ResolveLinkOptions(line, defaultPort);
    if (!options) {
        failure = UsageError;
        return nullptr;
    }
    auto session = std::make_unique<DeviceSession>(options->port, options->settings);
    if (!session->open()) {
        failure = PortUnavailable;
        return nullptr;
    }
    return session;
}

} // namespace

// Shared with report and diff: the decoder's block, read as an upload.
int UploadInto(const CommandLine &line, Configuration &config, bool quietSuccess)
{
    int failure = Success;
    auto session = openSession(line, failure);
    if (!session)
        return failure;
    return transfer(*session, TransferKind::Upload, config, quietSuccess);
}

Configuration StartUpConfiguration()
{
    return startUpConfiguration();
}

int RunDownload(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 1, 1, "one FILE"))
        return *usage;
    auto config = std::make_optional(startUpConfiguration());
    if (const int code = LoadConfigurationArgument(line.arguments.first(), *config); code != Success)
        return code;
    // Like the window after File > Open: the port the file names.
    int failure = Success;
    auto session = openSession(line, failure, config->PortNumber);
    if (!session)
        return failure;
    const int code = transfer(*session, TransferKind::Download, *config);
    if (code != Success || !line.verify)
        return code;

    Configuration readBack = *config;
    const int readCode = transfer(*session, TransferKind::Upload, readBack, true);
    if (readCode != Success)
        return readCode;
    if (readBack.block != config->block) {
        PrintFailure(QStringLiteral("Verify failed: the decoder holds a different configuration."),
                     QString::fromStdString(DiffConfigurations(*config, readBack, {false, true})).trimmed());
        return VerifyMismatch;
    }
    PrintOutcome(QStringLiteral("Verify OK!"));
    return Success;
}

int RunUpload(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 1, 1, "one FILE"))
        return *usage;
    // Checked before the decoder is asked, so a long upload is not lost.
    const QString out = line.arguments.first();
    if (const int code = CheckWritable(out); code != Success)
        return code;
    Configuration config = startUpConfiguration();
    if (const int code = CheckParityAllowsReplies(line); code != Success)
        return code;
    int failure = Success;
    auto session = openSession(line, failure);
    if (!session)
        return failure;
    // "Upload OK!" only once the block is safe in its file.
    QString uploaded;
    if (const int code = transfer(*session, TransferKind::Upload, config, false, &uploaded); code != Success)
        return code;
    config.PortNumber = std::int16_t(session->portNumber());
    if (const int code = SaveConfigurationArgument(out, config); code != Success)
        return code;
    PrintOutcome(uploaded);
    return Success;
}

int RunVersion(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 0, 0, "no arguments"))
        return *usage;
    if (const int code = CheckParityAllowsReplies(line); code != Success)
        return code;
    Configuration config = startUpConfiguration();
    int failure = Success;
    auto session = openSession(line, failure);
    if (!session)
        return failure;
    if (!line.json)
        return transfer(*session, TransferKind::Version, config);
    const ExchangeResult result = session->run(PrepareTransfer(TransferKind::Version, config));
    const TransferReport report = CompleteTransfer(TransferKind::Version, result, config);
    const int code = ExitCodeFor(result);
    if (code != Success) {
        PrintFailure(report.text, report.detail);
        return code;
    }
    PrintJson(QJsonObject{{QStringLiteral("version"), TerminalText(report.text).trimmed()}});
    return Success;
}

int RunStatus(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 0, 0, "no arguments"))
        return *usage;
    int failure = Success;
    auto session = openSession(line, failure);
    if (!session)
        return failure;

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
    const ExchangeResult result = session->run(std::move(exchange));

    int code = ExitCodeFor(result);
    std::optional<protocol::StatusBytes> status;
    if (code == Success) {
        status = judge(result.reply).bytes;
        if (!status || !protocol::CarriesStatus(*status))
            code = BadReply; // checks out, yet no status reply
    }
    if (code != Success) {
        PrintFailure(resultText(ConsoleItem::Status, false));
        return code;
    }
    const int statusByte = (*status)[protocol::StatusByteIndex];
    QJsonArray described;
    for (const std::string &statusLine : protocol::DescribeStatusByte(std::uint8_t(statusByte))) {
        if (line.json)
            described.append(QString::fromStdString(statusLine));
        else
            PrintResult(QString::fromStdString(statusLine));
    }
    if (line.json)
        PrintJson(QJsonObject{{QStringLiteral("status_byte"), statusByte}, {QStringLiteral("status"), described}});
    PrintOutcome(resultText(ConsoleItem::Status, true));
    return Success;
}

int RunTrigger(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 0, 0, "no arguments"))
        return *usage;
    int failure = Success;
    auto session = openSession(line, failure);
    if (!session)
        return failure;
    ConsoleCommand command(ConsoleItem::Trigger, session->port());
    bool succeeded = false;
    DeviceSession::waitFor([&](std::function<void()> done) {
        command.onFinished = [&succeeded, done](const ConsoleOutcome &outcome) {
            succeeded = outcome.succeeded;
            done();
        };
        command.start();
    });
    if (!succeeded) {
        // No reply is awaited: only a write the port refused fails it.
        PrintFailure(resultText(ConsoleItem::Trigger, false));
        return PortLost;
    }
    PrintOutcome(resultText(ConsoleItem::Trigger, true));
    return Success;
}

} // namespace q51::cli
