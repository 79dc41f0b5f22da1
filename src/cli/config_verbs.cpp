// report and diff: configurations by name, from files or the decoder.

#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "cli/file_arguments.h"
#include "cli/json_output.h"
#include "cli/port_runner.h"
#include "cli/verbs.h"
#include "schema/config_report.h"

namespace q51::cli {

namespace {

QByteArray bytes(const std::string &text)
{
    return QByteArray::fromStdString(text);
}

QString utf8(const std::string &text)
{
    return QString::fromStdString(text);
}

QJsonObject reportJson(const Configuration &config, bool withHeader)
{
    QJsonArray settings;
    for (const ReportLine &line : ReportLines(config, withHeader)) {
        settings.append(QJsonObject{{QStringLiteral("key"), utf8(line.key)},
                                    {QStringLiteral("page"), utf8(line.page)},
                                    {QStringLiteral("panel"), utf8(line.panel)},
                                    {QStringLiteral("caption"), utf8(line.caption)},
                                    {QStringLiteral("value"), utf8(line.value)},
                                    {QStringLiteral("bits"), utf8(line.bits)}});
    }
    return {{QStringLiteral("settings"), settings}};
}

QJsonObject diffJson(const std::vector<DiffLine> &lines)
{
    QJsonArray differences;
    for (const DiffLine &line : lines) {
        differences.append(QJsonObject{{QStringLiteral("key"), utf8(line.key)},
                                       {QStringLiteral("name"), utf8(line.name)},
                                       {QStringLiteral("from"), utf8(line.from)},
                                       {QStringLiteral("to"), utf8(line.to)},
                                       {QStringLiteral("header"), line.header}});
    }
    return {{QStringLiteral("differences"), differences}};
}

// A decoder holds no header strings: only a file's are worth telling.
void tellReport(PortVoice &voice, const Configuration &config, bool withHeader, bool json)
{
    if (json)
        voice.json(reportJson(config, withHeader));
    else
        voice.bytes(bytes(ReportConfiguration(config, withHeader)));
}

int tellDiff(PortVoice &voice, const Configuration &before, const Configuration &after, DiffScope scope, bool json)
{
    const std::vector<DiffLine> lines = DiffLines(before, after, scope);
    if (json)
        voice.json(diffJson(lines));
    else
        voice.bytes(bytes(DiffConfigurations(before, after, scope)));
    return lines.empty() ? Success : Differences;
}

Task<int> reportDevice(PortJob job, bool json)
{
    Configuration config = StartUpConfiguration();
    if (const int code = co_await UploadInto(job, config); code != Success)
        co_return code;
    tellReport(job.voice, config, false, json);
    co_return Success;
}

Task<int> diffDevice(PortJob job, Configuration before, DiffScope scope, bool json)
{
    Configuration after = StartUpConfiguration();
    if (const int code = co_await UploadInto(job, after); code != Success)
        co_return code;
    co_return tellDiff(job.voice, before, after, scope, json);
}

int loadFile(const QString &path, Configuration &config, const CommandLine &line)
{
    config = StartUpConfiguration();
    return LoadConfigurationArgument(path, config, DamagedFilesOf(line));
}

} // namespace

int RunReport(const CommandLine &line)
{
    const bool fromFile = line.arguments.size() == 1 && !line.device;
    if (!fromFile && !(line.arguments.isEmpty() && line.device))
        return Usage(QStringLiteral("report takes one FILE or --device"));
    if (!fromFile)
        return RunOnNamedPorts(line, [&line](PortJob job) { return reportDevice(job, line.json); });
    Configuration config;
    if (const int code = loadFile(line.arguments.first(), config, line); code != Success)
        return code;
    PrintingVoice voice;
    tellReport(voice, config, true, line.json);
    return Success;
}

int RunDiff(const CommandLine &line)
{
    const bool twoFiles = line.arguments.size() == 2 && !line.device;
    if (!twoFiles && !(line.arguments.size() == 1 && line.device))
        return Usage(QStringLiteral("diff takes two FILEs, or one FILE and --device"));
    Configuration before;
    if (const int code = loadFile(line.arguments[0], before, line); code != Success)
        return code;
    const DiffScope scope{twoFiles, line.allBytes};
    if (!twoFiles)
        return RunOnNamedPorts(line, [&](PortJob job) { return diffDevice(job, before, scope, line.json); });
    Configuration after;
    if (const int code = loadFile(line.arguments[1], after, line); code != Success)
        return code;
    PrintingVoice voice;
    return tellDiff(voice, before, after, scope, line.json);
}

} // namespace q51::cli
