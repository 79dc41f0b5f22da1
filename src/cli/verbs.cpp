#include "cli/verbs.h"

#include <map>

#include "cli/console_output.h"
#include "cli/exit_codes.h"

namespace q51::cli {

int Usage()
{
    PrintFailure(UsageText().trimmed());
    return UsageError;
}

int RunVerb(const CommandLine &line)
{
    if (line.help) {
        PrintResult(UsageText().trimmed());
        return Success;
    }
    static const std::map<QString, int (*)(const CommandLine &)> verbs{
        {QStringLiteral("download"), &RunDownload}, {QStringLiteral("upload"), &RunUpload},
        {QStringLiteral("version"), &RunVersion},   {QStringLiteral("status"), &RunStatus},
        {QStringLiteral("trigger"), &RunTrigger},   {QStringLiteral("report"), &RunReport},
        {QStringLiteral("diff"), &RunDiff},         {QStringLiteral("isp"), &RunIsp},
        {QStringLiteral("memory"), &RunMemory},
        {QStringLiteral("ports"), &RunPorts},
    };
    const auto verb = verbs.find(line.verb);
    if (verb == verbs.end()) {
        PrintFailure(QStringLiteral("q51ctl: unknown verb \"%1\"").arg(line.verb));
        return Usage();
    }
    if (line.verify && line.verb != QLatin1String("download"))
        return Usage();
    if (line.device && line.verb != QLatin1String("report") && line.verb != QLatin1String("diff"))
        return Usage();
    return verb->second(line);
}

} // namespace q51::cli
