#include "cli/verbs.h"

#include <map>

#include "cli/console_output.h"
#include "cli/exit_codes.h"

namespace q51::cli {

namespace {

struct VerbSpec {
    int (*run)(const CommandLine &);
    bool json = false;     // takes --json
    bool device = false;   // takes --device
    bool allBytes = false; // takes --all-bytes
    bool verify = false;   // takes --verify
};

const std::map<QString, VerbSpec> &verbTable()
{
    static const std::map<QString, VerbSpec> verbs{
        {QStringLiteral("download"), {&RunDownload, false, false, false, true}},
        {QStringLiteral("upload"), {&RunUpload}},
        {QStringLiteral("version"), {&RunVersion, true}},
        {QStringLiteral("status"), {&RunStatus, true}},
        {QStringLiteral("trigger"), {&RunTrigger}},
        {QStringLiteral("report"), {&RunReport, true, true}},
        {QStringLiteral("diff"), {&RunDiff, true, true, true}},
        {QStringLiteral("export"), {&RunExport}},
        {QStringLiteral("import"), {&RunImport}},
        {QStringLiteral("get"), {&RunGet, true}},
        {QStringLiteral("set"), {&RunSet}},
        {QStringLiteral("keys"), {&RunKeys}},
        {QStringLiteral("isp"), {&RunIsp}},
        {QStringLiteral("memory"), {&RunMemory, true}},
        {QStringLiteral("ports"), {&RunPorts, true}},
    };
    return verbs;
}

} // namespace

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
        return Usage(QStringLiteral("unknown verb '%1'").arg(line.verb));
    const VerbSpec &spec = verb->second;
    const std::pair<bool, const char *> options[]{{line.json && !spec.json, "--json"},
                                                  {line.device && !spec.device, "--device"},
                                                  {line.allBytes && !spec.allBytes, "--all-bytes"},
                                                  {line.verify && !spec.verify, "--verify"}};
    for (const auto &[misplaced, option] : options) {
        if (misplaced)
            return Usage(QStringLiteral("%1 does not take %2").arg(line.verb, QString::fromUtf8(option)));
    }
    SetQuiet(line.quiet);
    return spec.run(line);
}

} // namespace q51::cli
