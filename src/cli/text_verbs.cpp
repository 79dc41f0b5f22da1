// export, import, get and set: configurations as "key = value" text.

#include <QStringList>

#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "cli/file_arguments.h"
#include "cli/json_output.h"
#include "cli/verbs.h"
#include "schema/caption_text.h"
#include "schema/config_text.h"
#include "schema/setting_catalog.h"
#include "schema/setting_values.h"

namespace q51::cli {

namespace {

QString utf8(const std::string &text)
{
    return QString::fromStdString(text);
}

// The one setting a typed key names; Usage() when it names none or many.
const Setting *resolveKey(const QString &typed, int &code)
{
    const auto matches = MatchSettings(typed.toStdString());
    if (matches.size() == 1)
        return matches.front();
    if (matches.empty()) {
        code = Usage(QStringLiteral("unknown key '%1' (q51ctl keys lists every key)").arg(typed));
        return nullptr;
    }
    QStringList keys;
    for (const Setting *setting : matches)
        keys << utf8(setting->key);
    code = Usage(QStringLiteral("'%1' is ambiguous: %2").arg(typed, keys.join(QStringLiteral(", "))));
    return nullptr;
}

} // namespace

int RunExport(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 1, 2, "FILE [OUT]"))
        return *usage;
    Configuration config = StartUpConfiguration();
    if (const int code = LoadConfigurationArgument(line.arguments[0], config, DamagedFilesOf(line)); code != Success)
        return code;
    const QString out = line.arguments.value(1, QStringLiteral("-"));
    return WriteArgument(out, QByteArray::fromStdString(ExportConfigurationText(config)));
}

int RunImport(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 1, 2, "TEXT [OUT]"))
        return *usage;
    const QString out = line.arguments.value(1, QStringLiteral("-"));
    if (const int code = CheckWritable(out); code != Success)
        return code;
    QByteArray text;
    if (const int code = ReadArgument(line.arguments[0], text); code != Success)
        return code;
    // A text may hold only what a site changes: the rest is the factory's.
    Configuration config = StartUpConfiguration();
    if (const auto problem = ImportConfigurationText(text.toStdString(), config)) {
        PrintFailure(line.arguments[0] + QStringLiteral(": ") + utf8(problem->message));
        return BadFile;
    }
    return SaveConfigurationArgument(out, config);
}

int RunGet(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 2, 1000, "FILE KEY..."))
        return *usage;
    std::vector<const Setting *> settings;
    for (const QString &typed : line.arguments.mid(1)) {
        int code = Success;
        const Setting *setting = resolveKey(typed, code);
        if (!setting)
            return code;
        settings.push_back(setting);
    }
    Configuration config = StartUpConfiguration();
    if (const int code = LoadConfigurationArgument(line.arguments[0], config, DamagedFilesOf(line)); code != Success)
        return code;
    QJsonObject values;
    for (const Setting *setting : settings) {
        const std::string value = SettingValue(*setting, config, ValueForm::Exact);
        if (line.json)
            values.insert(utf8(setting->key), utf8(value));
        else
            PrintResult(utf8(value));
    }
    if (line.json)
        PrintJson(values);
    return Success;
}

int RunKeys(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 0, 1, "at most one PREFIX"))
        return *usage;
    const std::string prefix = line.arguments.value(0).toStdString();
    for (const Setting &setting : AllSettings()) {
        if (StartsWithWords(setting.key, prefix))
            PrintResult(utf8(setting.key));
    }
    return Success;
}

int RunSet(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 2, 1000, "FILE KEY=VALUE..."))
        return *usage;
    const QString path = line.arguments[0];
    if (IsStandardStream(path))
        return Usage(QStringLiteral("set changes a file in place, not '-'"));
    Configuration config = StartUpConfiguration();
    if (const int code = LoadConfigurationArgument(path, config, DamagedFilesOf(line)); code != Success)
        return code;
    // Every change is checked before the file is touched: all or none.
    for (const QString &assignment : line.arguments.mid(1)) {
        const qsizetype equals = assignment.indexOf(QLatin1Char('='));
        if (equals < 0)
            return Usage(QStringLiteral("'%1' is not KEY=VALUE").arg(assignment));
        int code = Success;
        const Setting *setting = resolveKey(assignment.left(equals).trimmed(), code);
        if (!setting)
            return code;
        const QString value = assignment.mid(equals + 1);
        if (const auto allowed = WriteSettingValue(*setting, config, value.toStdString(), ValueSource::User))
            return Usage(QStringLiteral("%1: '%2' is not allowed; allowed: %3")
                             .arg(utf8(setting->key), value.trimmed(), utf8(*allowed)));
        ApplyPageRules(*setting, config);
    }
    return SaveConfigurationArgument(path, config);
}

} // namespace q51::cli
