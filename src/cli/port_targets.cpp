#include "cli/port_targets.h"

#include <algorithm>

#include <QFileInfo>
#include <QSet>

#include "link/com_port_mapping.h"
#include "link/port_names.h"

namespace q51::cli {

namespace {

const DetectedPort *findDetected(const QString &device, const QList<DetectedPort> &detected)
{
    for (const DetectedPort &port : detected) {
        if (port.device == device || (!port.byIdName.isEmpty() && port.byIdName == device))
            return &port;
    }
    return nullptr;
}

// The device behind the port: the one named, or the one Com n stands for
// among the ports detected.
QString deviceOf(const PortTarget &target, const QList<DetectedPort> &detected)
{
    return target.choice.device.isEmpty() ? ComDeviceFor(target.choice.number, detected).device : target.choice.device;
}

// The same device named twice would be opened twice; a link and its
// target, or Com n and its device, are one device.
QString identity(const PortTarget &target, const QList<DetectedPort> &detected)
{
    const QString device = deviceOf(target, detected);
    const QString real = QFileInfo(device).canonicalFilePath();
    return real.isEmpty() ? device : real;
}

} // namespace

std::optional<PortTargets> ResolvePortTargets(const CommandLine &line, int defaultPort, const PortCatalogue &catalogue,
                                              QString *problem, bool adaptersFirst)
{
    PortTargets targets;
    if (line.portSet && !line.ports.isEmpty()) {
        *problem = QStringLiteral("--ports and --port do not go together");
        return std::nullopt;
    }
    if (line.portSet && *line.portSet != QLatin1String("all")) {
        *problem = QStringLiteral("--ports takes \"all\", not \"%1\"").arg(Echoed(*line.portSet));
        return std::nullopt;
    }
    targets.several = line.portSet.has_value() || line.ports.size() > 1;
    // Detecting takes tens of milliseconds: done first only where the
    // ports, a Com n's device or a serial number for a file name depend on it.
    const bool comNumbers = std::any_of(line.ports.begin(), line.ports.end(), [](const QString &text) {
        const auto choice = ParsePortChoice(text);
        return choice && choice->device.isEmpty();
    });
    targets.described = targets.several && (line.portSet || comNumbers || adaptersFirst);
    const QList<DetectedPort> detected = targets.described ? catalogue.detect() : QList<DetectedPort>{};
    if (line.portSet) {
        for (const DetectedPort &adapter : AdaptersInOrder(detected))
            targets.ports.push_back({PortChoice{1, adapter.device}, adapter.device, {}, {}, 0});
        if (targets.ports.empty()) {
            *problem = QStringLiteral("--ports all: no serial adapter detected (q51ctl ports lists what there is)");
            return std::nullopt;
        }
    }
    for (const QString &text : line.ports) {
        const auto choice = ParsePortChoice(text);
        if (!choice) {
            *problem = QStringLiteral("--port takes Com 1 to 4 or a device, not \"%1\"").arg(Echoed(text));
            return std::nullopt;
        }
        const QString name = choice->device.isEmpty() ? QStringLiteral("COM %1").arg(choice->number) : choice->device;
        targets.ports.push_back({*choice, name, {}, {}, 0});
    }
    if (targets.ports.empty()) {
        // A file may hold any number; Com 1 is the start-up port.
        const int number = defaultPort < 1 || defaultPort > 4 ? 1 : defaultPort;
        targets.ports.push_back({PortChoice{number, {}}, QStringLiteral("COM %1").arg(number), {}, {}, 0});
    }
    QSet<QString> seen;
    for (std::size_t i = 0; i < targets.ports.size(); ++i) {
        PortTarget &target = targets.ports[i];
        target.n = int(i) + 1;
        if (targets.described)
            DescribePort(target, detected);
        const QString id = identity(target, detected);
        if (seen.contains(id)) {
            *problem = QStringLiteral("%1 is named twice").arg(target.name);
            return std::nullopt;
        }
        seen.insert(id);
    }
    return targets;
}

void DescribePort(PortTarget &target, const QList<DetectedPort> &detected)
{
    if (const DetectedPort *port = findDetected(deviceOf(target, detected), detected)) {
        target.adapter = port->description.isEmpty() ? port->manufacturer : port->description;
        target.serial = port->serialNumber;
    }
}

QString PortFileName(const PortTarget &target)
{
    if (target.choice.device.isEmpty())
        return QStringLiteral("COM%1").arg(target.choice.number);
    QString name = target.choice.device;
    if (name.startsWith(QLatin1String("/dev/")))
        name = name.mid(5);
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    return name.startsWith(QLatin1Char('-')) ? name.mid(1) : name;
}

QString ExpandOutputPattern(const QString &pattern, const PortTarget &target)
{
    const QString port = PortFileName(target);
    QString path = pattern;
    path.replace(QLatin1String("{port}"), port);
    path.replace(QLatin1String("{n}"), QString::number(target.n));
    QString serial = target.serial;
    serial.replace(QLatin1Char('/'), QLatin1Char('-'));
    path.replace(QLatin1String("{serial}"), serial.isEmpty() ? port : serial);
    return path;
}

} // namespace q51::cli
