// q51ctl: the configuration tool's exchanges, reports and diffs from the
// command line, for scripts and for many decoders. No display needed.

#include <QCoreApplication>

#include "cli/command_line.h"
#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "cli/verbs.h"
#include "link/intervals.h"

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("q51ctl"));

    // For test runs against the simulator: every interval times this.
    bool scaled = false;
    const double scale = qEnvironmentVariable("Q51_INTERVAL_SCALE").toDouble(&scaled);
    if (scaled)
        q51::setIntervalScale(scale);

    QString problem;
    const auto line = q51::cli::ParseCommandLine(QCoreApplication::arguments().mid(1), &problem);
    if (!line) {
        return q51::cli::Usage(problem);
    }
    return q51::cli::FinishStandardOutput(q51::cli::RunVerb(*line));
}
