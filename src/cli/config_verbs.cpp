// report and diff: configurations in words, from files or the decoder.

#include "cli/config_report.h"
#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "cli/verbs.h"
#include "files/config_file_io.h"
#include "files/config_file_texts.h"

namespace q51::cli {

namespace {

// A file's configuration, or the decoder's with --device.
int load(const CommandLine &line, const QString *path, Configuration &config)
{
    config = StartUpConfiguration();
    if (!path)
        return UploadInto(line, config, true);
    if (!ReadConfigurationFile(*path, config)) {
        PrintFailure(QString::fromUtf8(text::NotAConfigurationFile), *path);
        return BadFile;
    }
    return Success;
}

void printText(const std::string &text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

} // namespace

int RunReport(const CommandLine &line)
{
    const bool fromFile = line.arguments.size() == 1 && !line.device;
    if (!fromFile && !(line.arguments.isEmpty() && line.device))
        return Usage();
    Configuration config;
    if (const int code = load(line, fromFile ? &line.arguments.first() : nullptr, config); code != Success)
        return code;
    printText(ReportConfiguration(config.block));
    return Success;
}

int RunDiff(const CommandLine &line)
{
    const bool twoFiles = line.arguments.size() == 2 && !line.device;
    if (!twoFiles && !(line.arguments.size() == 1 && line.device))
        return Usage();
    Configuration before;
    Configuration after;
    if (const int code = load(line, &line.arguments[0], before); code != Success)
        return code;
    if (const int code = load(line, twoFiles ? &line.arguments[1] : nullptr, after); code != Success)
        return code;
    const std::string differences = DiffConfigurations(before.block, after.block);
    printText(differences);
    return differences.empty() ? Success : Differences;
}

} // namespace q51::cli
