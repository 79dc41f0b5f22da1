// report and diff: configurations by name, from files or the decoder.

#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "cli/file_arguments.h"
#include "cli/json_output.h"
#include "cli/verbs.h"
#include "schema/config_report.h"

namespace q51::cli {

namespace {

// A file's configuration, or the decoder's with --device.
int load(const CommandLine &line, const QString *path, Configuration &config)
{
    config = StartUpConfiguration();
    if (!path)
        return UploadInto(line, config, true);
    return LoadConfigurationArgument(*path, config);
}

void printText(const std::string &text)
{
    PrintBytes(QByteArray::fromStdString(text));
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

} // namespace

int RunReport(const CommandLine &line)
{
    const bool fromFile = line.arguments.size() == 1 && !line.device;
    if (!fromFile && !(line.arguments.isEmpty() && line.device))
        return Usage(QStringLiteral("report takes one FILE or --device"));
    Configuration config;
    if (const int code = load(line, fromFile ? &line.arguments.first() : nullptr, config); code != Success)
        return code;
    // A decoder holds no header strings: only a file's are worth telling.
    if (line.json)
        PrintJson(reportJson(config, fromFile));
    else
        printText(ReportConfiguration(config, fromFile));
    return Success;
}

int RunDiff(const CommandLine &line)
{
    const bool twoFiles = line.arguments.size() == 2 && !line.device;
    if (!twoFiles && !(line.arguments.size() == 1 && line.device))
        return Usage(QStringLiteral("diff takes two FILEs, or one FILE and --device"));
    Configuration before;
    Configuration after;
    if (const int code = load(line, &line.arguments[0], before); code != Success)
        return code;
    if (const int code = load(line, twoFiles ? &line.arguments[1] : nullptr, after); code != Success)
        return code;
    const DiffScope scope{twoFiles, line.allBytes};
    const std::vector<DiffLine> lines = DiffLines(before, after, scope);
    if (line.json)
        PrintJson(diffJson(lines));
    else
        printText(DiffConfigurations(before, after, scope));
    return lines.empty() ? Success : Differences;
}

} // namespace q51::cli
