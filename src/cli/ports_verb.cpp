// q51ctl ports: the serial ports this machine has, each with the Com n it
// stands for, then what each Com n stands for, by the rules the windows use.

#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "cli/verbs.h"
#include "link/port_names.h"

namespace q51::cli {

namespace {

constexpr int ComPorts = 4;

} // namespace

int RunPorts(const CommandLine &line)
{
    if (!line.arguments.isEmpty() || line.port || line.settings)
        return Usage();
    const QList<DetectedPort> detected = CurrentPortCatalogue().detect();
    QList<ComDevice> coms;
    for (int n = 1; n <= ComPorts; ++n)
        coms << ComDeviceFor(n, detected);

    QStringList lines{QStringLiteral("Detected serial ports:")};
    for (const DetectedPort &port : detected) {
        QStringList standsFor;
        for (int n = 1; n <= ComPorts; ++n)
            if (coms[n - 1].device == port.device || coms[n - 1].device == port.byIdName)
                standsFor << QStringLiteral("Com %1").arg(n);
        lines << QStringLiteral("  ") + DescribeDetectedPort(port)
                     + (standsFor.isEmpty() ? QString() : QStringLiteral(": ") + standsFor.join(QStringLiteral(", ")));
    }
    if (detected.isEmpty())
        lines << QStringLiteral("  none");
    lines << QStringLiteral("Ports:");
    for (int n = 1; n <= ComPorts; ++n)
        lines << QStringLiteral("  Com %1: %2").arg(n).arg(DescribeComDevice(n, coms[n - 1], detected));
    PrintResult(lines.join(QLatin1Char('\n')));
    return Success;
}

} // namespace q51::cli
