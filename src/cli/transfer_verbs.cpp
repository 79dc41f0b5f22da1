// download, upload, version, status and trigger: the transfer window's and
// the command console's exchanges, run from the command line.

#include <QDate>
#include <QLocale>

#include "cli/config_report.h"
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

namespace q51::cli {

namespace {

namespace c = console_text;

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

void printReport(const TransferReport &report, int code)
{
    if (code == Success)
        PrintResult(report.text);
    else
        PrintFailure(report.text, report.detail);
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
int transfer(DeviceSession &session, TransferKind kind, Configuration &config, bool quietSuccess = false)
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
    if (code != Success || !quietSuccess)
        printReport(report, code);
    return code;
}

std::optional<Configuration> readFile(const QString &path)
{
    Configuration config = startUpConfiguration();
    if (!ReadConfigurationFile(path, config)) {
        PrintFailure(text(text::NotAConfigurationFile), path);
        return std::nullopt;
    }
    return config;
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
        failure = Usage();
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
    if (line.arguments.size() != 1)
        return Usage();
    auto config = readFile(line.arguments.first());
    if (!config)
        return BadFile;
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
                     QString::fromStdString(DiffConfigurations(config->block, readBack.block)).trimmed());
        return VerifyMismatch;
    }
    PrintResult(QStringLiteral("Verify OK!"));
    return Success;
}

int RunUpload(const CommandLine &line)
{
    if (line.arguments.size() != 1)
        return Usage();
    Configuration config = startUpConfiguration();
    int failure = Success;
    auto session = openSession(line, failure);
    if (!session)
        return failure;
    const int code = transfer(*session, TransferKind::Upload, config);
    if (code != Success)
        return code;
    config.PortNumber = std::int16_t(session->portNumber());
    const SaveResult saved = WriteConfigurationFile(line.arguments.first(), config);
    if (!saved.ok) {
        PrintFailure(saved.reason, line.arguments.first());
        return BadFile;
    }
    return Success;
}

int RunVersion(const CommandLine &line)
{
    if (!line.arguments.isEmpty())
        return Usage();
    Configuration config = startUpConfiguration();
    int failure = Success;
    auto session = openSession(line, failure);
    if (!session)
        return failure;
    return transfer(*session, TransferKind::Version, config);
}

int RunStatus(const CommandLine &line)
{
    if (!line.arguments.isEmpty())
        return Usage();
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
    for (const std::string &statusLine : protocol::DescribeStatusByte((*status)[protocol::StatusByteIndex]))
        PrintResult(QString::fromStdString(statusLine));
    PrintResult(resultText(ConsoleItem::Status, true));
    return Success;
}

int RunTrigger(const CommandLine &line)
{
    if (!line.arguments.isEmpty())
        return Usage();
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
    PrintResult(resultText(ConsoleItem::Trigger, true));
    return Success;
}

} // namespace q51::cli
