// export, import, get and set: configurations as "key = value" text.

#include <map>

#include <QFileInfo>
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

} // namespace

const Setting *ResolveKey(const QString &typed, int &code)
{
    const auto matches = MatchSettings(typed.toStdString());
    if (matches.size() == 1)
        return matches.front();
    if (matches.empty()) {
        code = Usage(QStringLiteral("unknown key '%1' (q51ctl keys lists every key)").arg(Echoed(typed)));
        return nullptr;
    }
    QStringList keys;
    for (const Setting *setting : matches)
        keys << utf8(setting->key);
    code = Usage(QStringLiteral("'%1' is ambiguous: %2").arg(Echoed(typed), keys.join(QStringLiteral(", "))));
    return nullptr;
}

namespace {

// Writing the file being read would destroy it before it is read whole
// (or, for a .cfg, replace it with its own conversion).
std::optional<int> refuseOutputOverInput(const QString &in, const QString &out)
{
    if (IsStandardStream(in) || IsStandardStream(out))
        return std::nullopt;
    const QString input = QFileInfo(in).canonicalFilePath();
    if (input.isEmpty() || input != QFileInfo(out).canonicalFilePath())
        return std::nullopt;
    return Usage(QStringLiteral("'%1' is both the input and the output; name another output file").arg(Echoed(out)));
}

} // namespace

int RunExport(const CommandLine &line)
{
    if (const auto usage = CheckArgumentCount(line, 1, 2, "FILE [OUT]"))
        return *usage;
    if (const auto same = refuseOutputOverInput(line.arguments[0], line.arguments.value(1, QStringLiteral("-"))))
        return *same;
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
    if (const auto same = refuseOutputOverInput(line.arguments[0], out))
        return *same;
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
        const Setting *setting = ResolveKey(typed, code);
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
    std::map<const Setting *, QString> given;
    for (const QString &assignment : line.arguments.mid(1)) {
        const qsizetype equals = assignment.indexOf(QLatin1Char('='));
        if (equals < 0)
            return Usage(QStringLiteral("'%1' is not KEY=VALUE").arg(Echoed(assignment)));
        int code = Success;
        const Setting *setting = ResolveKey(assignment.left(equals).trimmed(), code);
        if (!setting)
            return code;
        if (const auto first = given.find(setting); first != given.end())
            return Usage(QStringLiteral("%1: already set by '%2'; give each key once")
                             .arg(utf8(setting->key), Echoed(first->second)));
        given.emplace(setting, assignment);
        const QString value = assignment.mid(equals + 1);
        if (const auto allowed = WriteSettingValue(*setting, config, value.toStdString(), ValueSource::User))
            return Usage(QStringLiteral("%1: '%2' is not allowed; allowed: %3")
                             .arg(utf8(setting->key), Echoed(value.trimmed()), utf8(*allowed)));
        if (const auto refused = RefusedHeaderValue(*setting, config, value.toStdString()))
            return Usage(utf8(setting->key + ": " + *refused));
        ApplyPageRules(*setting, config);
    }
    return SaveConfigurationArgument(path, config);
}

} // namespace q51::cli
