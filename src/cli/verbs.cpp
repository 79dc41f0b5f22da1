#include "cli/verbs.h"

#include <algorithm>
#include <map>

#include "cli/console_output.h"
#include "cli/exit_codes.h"

namespace q51::cli {

namespace {

struct VerbSpec {
    int (*run)(const CommandLine &);
    ArgumentWords arguments = ArgumentWords::None;
    bool json = false;     // takes --json
    bool device = false;   // takes --device
    bool allBytes = false; // takes --all-bytes
    bool verify = false;   // takes --verify
    bool talks = false;    // talks to decoders: takes --ports and --jobs, and --json for several ports
    bool output = false;   // takes --output
    bool readsConfig = false; // reads a .cfg: takes --accept-damaged
    bool backup = false;   // takes --backup
    bool only = false;     // takes --only
    bool station = false;  // takes --golden, --firmware, --firmware-version and --operator
    bool records = false;  // takes --records
    bool query = false;    // takes --since, --result and --csv
};

const std::map<QString, VerbSpec> &verbTable()
{
    static const std::map<QString, VerbSpec> verbs{
        {QStringLiteral("download"), {.run = &RunDownload, .arguments = ArgumentWords::ConfigFile, .verify = true,
                                      .talks = true, .readsConfig = true, .backup = true}},
        {QStringLiteral("apply"), {.run = &RunApply, .arguments = ArgumentWords::ConfigFile, .talks = true,
                                   .readsConfig = true, .backup = true, .only = true}},
        {QStringLiteral("backups"), {.run = &RunBackups, .backup = true}},
        {QStringLiteral("upload"), {.run = &RunUpload, .arguments = ArgumentWords::ConfigFile, .talks = true, .output = true}},
        {QStringLiteral("version"), {.run = &RunVersion, .json = true, .talks = true}},
        {QStringLiteral("status"), {.run = &RunStatus, .json = true, .talks = true}},
        {QStringLiteral("trigger"), {.run = &RunTrigger, .talks = true}},
        {QStringLiteral("report"), {.run = &RunReport, .arguments = ArgumentWords::ConfigFile, .json = true,
                                    .device = true, .talks = true, .readsConfig = true}},
        {QStringLiteral("diff"), {.run = &RunDiff, .arguments = ArgumentWords::ConfigFile, .json = true, .device = true,
                                  .allBytes = true, .talks = true, .readsConfig = true}},
        {QStringLiteral("export"), {.run = &RunExport, .arguments = ArgumentWords::ConfigFile, .readsConfig = true}},
        {QStringLiteral("import"), {.run = &RunImport, .arguments = ArgumentWords::Files}},
        {QStringLiteral("get"), {.run = &RunGet, .arguments = ArgumentWords::ConfigThenKeys, .json = true,
                                 .readsConfig = true}},
        {QStringLiteral("set"), {.run = &RunSet, .arguments = ArgumentWords::ConfigThenAssignments,
                                 .readsConfig = true}},
        {QStringLiteral("keys"), {.run = &RunKeys, .arguments = ArgumentWords::Keys}},
        {QStringLiteral("isp"), {.run = &RunIsp, .arguments = ArgumentWords::Image, .talks = true}},
        {QStringLiteral("memory"), {.run = &RunMemory, .arguments = ArgumentWords::MemoryRequest, .json = true,
                                    .talks = true}},
        {QStringLiteral("ports"), {.run = &RunPorts, .json = true}},
        {QStringLiteral("doctor"), {.run = &RunDoctor, .arguments = ArgumentWords::Port}},
        {QStringLiteral("detect"), {.run = &RunDetect, .json = true, .talks = true}},
        {QStringLiteral("station"), {.run = &RunStation, .json = true, .talks = true, .readsConfig = true,
                                     .backup = true, .station = true, .records = true}},
        {QStringLiteral("records"), {.run = &RunRecords, .json = true, .records = true, .query = true}},
    };
    return verbs;
}

// The options only some verbs take. Those without a check are offered to
// the verbs that take them and ignored by the rest.
struct VerbOption {
    const char *name;
    bool VerbSpec::*taken;
    bool (*given)(const CommandLine &) = nullptr;
};

const VerbOption VerbOptions[]{
    {"--json", &VerbSpec::json, [](const CommandLine &l) { return l.json; }},
    {"--device", &VerbSpec::device, [](const CommandLine &l) { return l.device; }},
    {"--all-bytes", &VerbSpec::allBytes, [](const CommandLine &l) { return l.allBytes; }},
    {"--verify", &VerbSpec::verify, [](const CommandLine &l) { return l.verify; }},
    {"--accept-damaged", &VerbSpec::readsConfig, [](const CommandLine &l) { return l.acceptDamaged; }},
    {"--ports", &VerbSpec::talks, [](const CommandLine &l) { return l.portSet.has_value(); }},
    {"--jobs", &VerbSpec::talks, [](const CommandLine &l) { return l.jobs.has_value(); }},
    {"--output", &VerbSpec::output, [](const CommandLine &l) { return l.output.has_value(); }},
    {"--backup", &VerbSpec::backup, [](const CommandLine &l) { return l.backup.has_value(); }},
    {"--only", &VerbSpec::only, [](const CommandLine &l) { return !l.only.isEmpty(); }},
    {"--golden", &VerbSpec::station, [](const CommandLine &l) { return l.golden.has_value(); }},
    {"--firmware", &VerbSpec::station, [](const CommandLine &l) { return l.firmware.has_value(); }},
    {"--firmware-version", &VerbSpec::station, [](const CommandLine &l) { return l.firmwareVersion.has_value(); }},
    {"--operator", &VerbSpec::station, [](const CommandLine &l) { return l.operatorName.has_value(); }},
    {"--records", &VerbSpec::records, [](const CommandLine &l) { return l.records.has_value(); }},
    {"--since", &VerbSpec::query, [](const CommandLine &l) { return l.since.has_value(); }},
    {"--result", &VerbSpec::query, [](const CommandLine &l) { return l.result.has_value(); }},
    {"--csv", &VerbSpec::query, [](const CommandLine &l) { return l.csv; }},
    {"--port", &VerbSpec::talks},
    {"--settings", &VerbSpec::talks},
};

} // namespace

std::vector<VerbWords> VerbWordsTable()
{
    std::vector<VerbWords> table;
    for (const auto &[name, spec] : verbTable()) {
        VerbWords words{name, spec.arguments, {}};
        for (const OptionSpec &option : OptionTable()) {
            const auto limited = std::find_if(std::begin(VerbOptions), std::end(VerbOptions),
                                              [&](const VerbOption &v) { return qstrcmp(v.name, option.name) == 0; });
            // With several ports every talking verb takes --json.
            const bool json = limited != std::end(VerbOptions) && limited->taken == &VerbSpec::json && spec.talks;
            if (limited == std::end(VerbOptions) || spec.*(limited->taken) || json)
                words.options << QString::fromLatin1(option.name);
        }
        table.push_back(std::move(words));
    }
    return table;
}

int Usage(const QString &problem)
{
    PrintFailure(problem);
    std::fputs("Try 'q51ctl --help'.\n", stderr);
    return UsageError;
}

std::optional<int> CheckArgumentCount(const CommandLine &line, int least, int most, const char *expected)
{
    const auto count = line.arguments.size();
    if (count >= least && count <= most)
        return std::nullopt;
    return Usage(QStringLiteral("%1 takes %2").arg(line.verb, QString::fromUtf8(expected)));
}

int RunVerb(const CommandLine &line)
{
    if (line.help) {
        PrintResult(UsageText().trimmed());
        return Success;
    }
    if (line.version) {
        PrintResult(VersionText());
        return Success;
    }
    const auto verb = verbTable().find(line.verb);
    if (verb == verbTable().end())
        return Usage(QStringLiteral("unknown verb '%1'").arg(Echoed(line.verb)));
    const VerbSpec &spec = verb->second;
    const bool several = line.ports.size() > 1 || line.portSet;
    for (const VerbOption &option : VerbOptions) {
        const bool jsonForPorts = option.taken == &VerbSpec::json && spec.talks && several;
        if (option.given && option.given(line) && !(spec.*(option.taken)) && !jsonForPorts)
            return Usage(QStringLiteral("%1 does not take %2").arg(line.verb, QString::fromUtf8(option.name)));
    }
    SetQuiet(line.quiet);
    return spec.run(line);
}

} // namespace q51::cli
