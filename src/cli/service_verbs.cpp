// isp and memory: the firmware update and the stored-data requests of the
// service windows, run from the command line. The verb itself is the
// confirmation the windows ask for.

#include <algorithm>

#include <QRegularExpression>

#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "cli/json_output.h"
#include "cli/link_options.h"
#include "cli/port_runner.h"
#include "cli/verbs.h"
#include "link/firmware_image.h"
#include "link/firmware_update.h"
#include "link/firmware_update_choices.h"
#include "link/firmware_update_texts.h"
#include "link/group_number_text.h"
#include "link/protocol/isp_frames.h"
#include "link/protocol/stored_data_status.h"
#include "link/stored_data_exchanges.h"
#include "link/stored_data_texts.h"

namespace q51::cli {

namespace {

namespace ft = firmware_update_text;
namespace st = stored_data_text;
using protocol::StoredDataStatus;

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// Every failure of the update is a bad reply but for these.
int updateExitCode(FirmwareUpdateEnd end, bool portLost)
{
    if (portLost)
        return PortLost;
    switch (end) {
    case FirmwareUpdateEnd::Succeeded: return Success;
    case FirmwareUpdateEnd::AccessTimedOut: return TimedOut;
    case FirmwareUpdateEnd::WrongVersion:
    case FirmwareUpdateEnd::AccessRefused: return Refused;
    default: return BadReply;
    }
}

int storedDataCode(const ExchangeResult &result)
{
    switch (result.end) {
    case ExchangeEnd::TimedOut: return TimedOut;
    case ExchangeEnd::PortLost: return PortLost;
    case ExchangeEnd::Judged: break;
    }
    switch (static_cast<StoredDataStatus>(result.verdict)) {
    case StoredDataStatus::Accepted:
    case StoredDataStatus::NoDataInRange: return Success;
    case StoredDataStatus::NothingReceived: return TimedOut;
    case StoredDataStatus::NotAcknowledged: return Refused;
    default: return BadReply;
    }
}

// The requests by the word that names them, as the help lists them.
const std::pair<const char *, StoredDataRequest> MemoryRequests[]{
    {"read", StoredDataRequest::Read},
    {"sizes", StoredDataRequest::Sizes},
    {"free", StoredDataRequest::FreeSpace},
    {"clear", StoredDataRequest::Clear},
};

// "memory read 3 9": both group numbers as the window takes them.
bool parseRange(const QStringList &arguments, std::optional<protocol::GroupRange> &range, QString &problem)
{
    range.reset();
    if (arguments.isEmpty())
        return true;
    if (arguments.size() != 2) {
        problem = QStringLiteral("a group range is START END");
        return false;
    }
    const auto first = ParseGroupNumber(arguments[0]);
    const auto last = ParseGroupNumber(arguments[1]);
    if (!first || !last) {
        problem = text(st::NumberOutOfRange);
        return false;
    }
    if (*last < *first) {
        problem = text(st::EndBeforeStart);
        return false;
    }
    range = protocol::GroupRange{*first, *last};
    return true;
}

Task<int> updateFirmware(PortJob job, protocol::Bytes image)
{
    const qint64 pages = qint64(protocol::IspPageCount(image.size()));
    FirmwareUpdate update(job.session.port(), image);
    QObject::connect(&update, &FirmwareUpdate::pagesAccepted,
                     [&voice = job.voice, pages](int count) { voice.progress(QStringLiteral("isp"), count, pages); });
    const auto [end, portLost] = co_await WhenGiven<std::pair<FirmwareUpdateEnd, bool>>([&update](auto give) {
        QObject::connect(&update, &FirmwareUpdate::finished,
                         [give](FirmwareUpdateEnd e, bool lost) { give(std::pair(e, lost)); });
        update.start();
    });
    job.voice.progressEnd(); // the bar's line ends before the outcome is told
    const int code = updateExitCode(end, portLost);
    if (code == Success)
        job.voice.outcome(text(FirmwareUpdateEndText(end)));
    else
        job.voice.failure(text(FirmwareUpdateEndText(end)), portLost ? text(transmit_text::PortLostDetail) : QString());
    co_return code;
}

Task<int> askStoredData(PortJob job, StoredDataRequest kind, std::optional<protocol::GroupRange> range, bool json)
{
    PortVoice &voice = job.voice;
    // Data lines as they come, or gathered for --json.
    QJsonArray gathered;
    const auto giveLine = [&](const QString &dataLine) {
        if (json)
            gathered.append(dataLine);
        else
            voice.result(dataLine);
    };
    std::shared_ptr<protocol::StoredReadParser> parser;
    Exchange::Request request;
    if (kind == StoredDataRequest::Read) {
        parser = std::make_shared<protocol::StoredReadParser>(range ? range->start : 0);
        GroupReadHandlers handlers;
        handlers.started = [] {};
        handlers.records = [&giveLine](const std::vector<protocol::GroupRecord> &records) {
            for (const protocol::GroupRecord &record : records)
                giveLine(GroupRecordText(record));
        };
        handlers.progressed = [&voice](std::size_t seen, std::size_t total) {
            voice.progress(QStringLiteral("memory"), qint64(seen), qint64(total));
        };
        request = PrepareGroupRead(range, parser, handlers);
    } else {
        request = PrepareStoredDataRequest(kind, range);
    }
    const ExchangeResult result = co_await job.session.exchange(std::move(request));
    voice.progressEnd();
    const StoredDataReport report = CompleteStoredDataRequest(kind, result, parser.get());
    const int code = storedDataCode(result);
    if (report.display) {
        // The window lists sizes side by side, five a line; a terminal and
        // --json want one a line.
        static const QRegularExpression entryEnd(QStringLiteral("[\t\r\n]"));
        for (const QString &entry : report.display->split(entryEnd)) {
            if (!entry.trimmed().isEmpty())
                giveLine(entry.trimmed());
        }
    }
    if (!report.text.isEmpty()) {
        if (code == Success)
            voice.outcome(report.text);
        else
            voice.failure(report.text, report.detail);
    }
    if (json && code == Success)
        voice.json(QJsonObject{{QStringLiteral("lines"), gathered}, {QStringLiteral("outcome"), TerminalText(report.text)}});
    co_return code;
}

} // namespace

QStringList MemoryRequestWords()
{
    QStringList words;
    for (const auto &[word, kind] : MemoryRequests)
        words << QString::fromLatin1(word);
    return words;
}

int LoadImageArgument(const QString &path, FirmwareImage &image)
{
    image = LoadFirmwareImage(path);
    switch (image.problem) {
    case FirmwareImage::Problem::None: return Success;
    case FirmwareImage::Problem::CannotOpen:
        PrintFailure(text(ft::CannotOpenBefore) + path + text(ft::CannotOpenAfter));
        return BadFile;
    case FirmwareImage::Problem::TooLarge: PrintFailure(text(ft::FileTooLarge)); return BadFile;
    }
    return BadFile;
}

int RunIsp(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 1, 1, "one IMAGE"))
        return *usage;
    FirmwareImage image;
    if (const int code = LoadImageArgument(line.arguments.first(), image); code != Success)
        return code;

    // Every update runs at its own settings, as the window's does.
    return RunOnNamedPorts(line, [&image](PortJob job) { return updateFirmware(job, image.bytes); }, 1,
                           FirmwareUpdateLink);
}

int RunMemory(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 1, 3, "read, sizes, free or clear"))
        return *usage;
    const QString what = line.arguments.first();
    const QStringList rest = line.arguments.mid(1);
    const auto request = std::find_if(std::begin(MemoryRequests), std::end(MemoryRequests),
                                      [&what](const auto &r) { return what == QLatin1String(r.first); });
    if (request == std::end(MemoryRequests))
        return Usage(QStringLiteral("memory takes read, sizes, free or clear, not '%1'").arg(Echoed(what)));
    const StoredDataRequest kind = request->second;

    std::optional<protocol::GroupRange> range;
    if (StoredDataRequestInfoFor(kind).takesRange) {
        if (QString problem; !parseRange(rest, range, problem))
            return Usage(problem);
    } else if (!rest.isEmpty()) {
        return Usage(QStringLiteral("memory %1 takes no group range").arg(what));
    }

    return RunOnNamedPorts(line, [&](PortJob job) { return askStoredData(job, kind, range, line.json); });
}

} // namespace q51::cli
