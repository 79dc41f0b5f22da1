// q51ctl doctor [PORT]: why a port cannot be used, and the one command that
// fixes each cause. Without a port, every Com n and every adapter detected.

#include <vector>

#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "cli/verbs.h"
#include "link/port_doctor.h"
#include "link/port_names.h"

namespace q51::cli {

namespace {

constexpr int ComPorts = 4;

struct Examined {
    QString heading; // how the device came to be asked about; empty for a device named outright
    QString device;
};

Examined comPort(int n, const QList<DetectedPort> &detected)
{
    const ComDevice com = ComDeviceFor(n, detected);
    return {QStringLiteral("Com %1: %2").arg(n).arg(DescribeComDevice(n, com, detected)), com.device};
}

std::vector<Examined> everyPort(const QList<DetectedPort> &detected)
{
    const PortDoctorSystem &system = LiveDoctorSystem();
    std::vector<Examined> ports;
    QStringList seen;
    auto realPath = [&system](const QString &device) {
        const std::string real = system.resolve(device.toStdString());
        return real.empty() ? device : QString::fromStdString(real);
    };
    for (int n = 1; n <= ComPorts; ++n) {
        ports.push_back(comPort(n, detected));
        seen << realPath(ports.back().device);
    }
    for (const DetectedPort &adapter : AdaptersInOrder(detected)) {
        if (seen.contains(realPath(adapter.device)))
            continue;
        ports.push_back({QStringLiteral("Adapter: ") + DescribeDetectedPort(adapter), adapter.device});
        seen << realPath(adapter.device);
    }
    return ports;
}

} // namespace

int RunDoctor(const CommandLine &line)
{
    QStringList given = line.arguments + line.ports;
    // "doctor Com 1" unquoted is one port in two words.
    if (given.size() == 2 && given.first().compare(QLatin1String("com"), Qt::CaseInsensitive) == 0)
        given = QStringList{given.join(QLatin1Char(' '))};
    if (given.size() > 1 || line.portSet || line.settings)
        return Usage(QStringLiteral("doctor takes one port at most: q51ctl doctor [PORT]"));

    std::vector<Examined> ports;
    if (given.isEmpty()) {
        ports = everyPort(CurrentPortCatalogue().detect());
    } else {
        const auto choice = ParsePortChoice(given.first());
        if (!choice)
            return Usage(QStringLiteral("doctor takes Com 1 to 4 or a device, not \"%1\"").arg(Echoed(given.first())));
        ports.push_back(choice->device.isEmpty() ? comPort(choice->number, CurrentPortCatalogue().detect())
                                                 : Examined{{}, choice->device});
    }

    std::vector<std::string> devices;
    for (const Examined &port : ports)
        devices.push_back(port.device.toStdString());
    const std::vector<PortDiagnosis> diagnoses = DiagnosePorts(LiveDoctorSystem(), devices);

    bool allUsable = true;
    QStringList lines;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const Examined &port = ports[i];
        const PortDiagnosis &diagnosis = diagnoses[i];
        allUsable = allUsable && diagnosis.usable();
        if (!lines.isEmpty())
            lines << QString();
        const std::vector<std::string> report = DescribeDiagnosis(diagnosis);
        // The heading names the device the report starts with, and how it came to be asked about.
        lines << (port.heading.isEmpty() ? QString::fromStdString(report.front()) : port.heading);
        for (auto text = report.begin() + 1; text != report.end(); ++text)
            lines << QString::fromStdString(*text);
    }
    PrintResult(lines.join(QLatin1Char('\n')));
    return allUsable ? Success : PortUnavailable;
}

} // namespace q51::cli
