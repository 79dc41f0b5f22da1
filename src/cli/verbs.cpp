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
    bool talks = false;    // talks to decoders: takes --ports and --jobs, and --json for several ports
    bool output = false;   // takes --output
};

const std::map<QString, VerbSpec> &verbTable()
{
    static const std::map<QString, VerbSpec> verbs{
        {QStringLiteral("download"), {.run = &RunDownload, .verify = true, .talks = true}},
        {QStringLiteral("upload"), {.run = &RunUpload, .talks = true, .output = true}},
        {QStringLiteral("version"), {.run = &RunVersion, .json = true, .talks = true}},
        {QStringLiteral("status"), {.run = &RunStatus, .json = true, .talks = true}},
        {QStringLiteral("trigger"), {.run = &RunTrigger, .talks = true}},
        {QStringLiteral("report"), {.run = &RunReport, .json = true, .device = true, .talks = true}},
        {QStringLiteral("diff"), {.run = &RunDiff, .json = true, .device = true, .allBytes = true, .talks = true}},
        {QStringLiteral("export"), {.run = &RunExport}},
        {QStringLiteral("import"), {.run = &RunImport}},
        {QStringLiteral("get"), {.run = &RunGet, .json = true}},
        {QStringLiteral("set"), {.run = &RunSet}},
        {QStringLiteral("keys"), {.run = &RunKeys}},
        {QStringLiteral("isp"), {.run = &RunIsp, .talks = true}},
        {QStringLiteral("memory"), {.run = &RunMemory, .json = true, .talks = true}},
        {QStringLiteral("ports"), {.run = &RunPorts, .json = true}},
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
    const bool several = line.ports.size() > 1 || line.portSet;
    const std::pair<bool, const char *> options[]{{line.json && !spec.json && !(spec.talks && several), "--json"},
                                                  {line.device && !spec.device, "--device"},
                                                  {line.allBytes && !spec.allBytes, "--all-bytes"},
                                                  {line.verify && !spec.verify, "--verify"},
                                                  {line.portSet && !spec.talks, "--ports"},
                                                  {line.jobs && !spec.talks, "--jobs"},
                                                  {line.output && !spec.output, "--output"}};
    for (const auto &[misplaced, option] : options) {
        if (misplaced)
            return Usage(QStringLiteral("%1 does not take %2").arg(line.verb, QString::fromUtf8(option)));
    }
    SetQuiet(line.quiet);
    return spec.run(line);
}

} // namespace q51::cli
