#include "link/port_names.h"

#include <array>

#include <QtGlobal>

namespace q51 {

namespace {

constexpr int Ports = 4;

struct PortNaming {
    std::shared_ptr<const PortCatalogue> catalogue = std::make_shared<SystemPortCatalogue>();
    std::array<QString, Ports> picked;
};

PortNaming &naming()
{
    static PortNaming state;
    return state;
}

bool isComNumber(int portNumber)
{
    return portNumber >= 1 && portNumber <= Ports;
}

QString environmentDevice(int portNumber)
{
    return qEnvironmentVariable(QStringLiteral("Q51_COM%1").arg(portNumber).toLatin1().constData());
}

} // namespace

const PortCatalogue &CurrentPortCatalogue()
{
    return *naming().catalogue;
}

void SetPortCatalogue(std::shared_ptr<const PortCatalogue> catalogue)
{
    naming().catalogue = catalogue ? std::move(catalogue) : std::make_shared<SystemPortCatalogue>();
}

void PickDeviceForPort(int portNumber, const QString &device)
{
    if (isComNumber(portNumber))
        naming().picked[portNumber - 1] = device.trimmed();
}

QString PickedDeviceForPort(int portNumber)
{
    return isComNumber(portNumber) ? naming().picked[portNumber - 1] : QString();
}

void ForgetPickedDevices()
{
    naming().picked = {};
}

ComDevice UsualComDeviceFor(int portNumber, const QList<DetectedPort> &detected)
{
    return ResolveComDevice(portNumber, {}, environmentDevice(portNumber), detected);
}

ComDevice ComDeviceFor(int portNumber, const QList<DetectedPort> &detected)
{
    return ResolveComDevice(portNumber, PickedDeviceForPort(portNumber), environmentDevice(portNumber), detected);
}

QString deviceNameForPort(int portNumber)
{
    if (portNumber < 1)
        return {};
    // Asking the system costs a walk through its devices: only when needed.
    const bool named = !PickedDeviceForPort(portNumber).isEmpty() || !environmentDevice(portNumber).isEmpty();
    return ComDeviceFor(portNumber, named ? QList<DetectedPort>() : CurrentPortCatalogue().detect()).device;
}

} // namespace q51
