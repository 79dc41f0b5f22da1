// q51ctl ports: the serial ports this machine has, each with the Com n it
// stands for, then what each Com n stands for, by the rules the windows use.

#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "cli/json_output.h"
#include "cli/verbs.h"
#include "link/port_names.h"

namespace q51::cli {

namespace {

constexpr int ComPorts = 4;

const char *sourceName(ComSource source)
{
    switch (source) {
    case ComSource::Picked: return "picked";
    case ComSource::Environment: return "environment";
    case ComSource::Platform: return "platform";
    case ComSource::Adapter: return "adapter";
    }
    return "platform";
}

void printJson(const QList<DetectedPort> &detected, const QList<ComDevice> &coms)
{
    QJsonArray ports;
    for (const DetectedPort &port : detected)
        ports.append(QJsonObject{{QStringLiteral("device"), port.device},
                                 {QStringLiteral("description"), port.description},
                                 {QStringLiteral("manufacturer"), port.manufacturer},
                                 {QStringLiteral("serial_number"), port.serialNumber},
                                 {QStringLiteral("by_id"), port.byIdName},
                                 {QStringLiteral("usb_adapter"), port.usbAdapter}});
    QJsonArray comList;
    for (int n = 1; n <= ComPorts; ++n)
        comList.append(QJsonObject{{QStringLiteral("com"), n},
                                   {QStringLiteral("device"), coms[n - 1].device},
                                   {QStringLiteral("source"), QString::fromLatin1(sourceName(coms[n - 1].source))}});
    PrintJson(QJsonObject{{QStringLiteral("detected"), ports}, {QStringLiteral("coms"), comList}});
}

} // namespace

int RunPorts(const CommandLine &line)
{
    if (!line.arguments.isEmpty() || !line.ports.isEmpty() || line.settings)
        return Usage(QStringLiteral("ports takes no arguments, --port or --settings"));
    const QList<DetectedPort> detected = CurrentPortCatalogue().detect();
    QList<ComDevice> coms;
    for (int n = 1; n <= ComPorts; ++n)
        coms << ComDeviceFor(n, detected);

    if (line.json) {
        printJson(detected, coms);
        return Success;
    }
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
