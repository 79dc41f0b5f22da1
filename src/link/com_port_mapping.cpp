#include "link/com_port_mapping.h"

#include <algorithm>

namespace q51 {

namespace {

QString orderKey(const DetectedPort &port)
{
    return port.byIdName.isEmpty() ? port.device : port.byIdName;
}

} // namespace

QString PlatformDeviceName(int portNumber)
{
    if (portNumber < 1)
        return {};
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNumber);
#else
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
#endif
}

QList<DetectedPort> AdaptersInOrder(const QList<DetectedPort> &detected)
{
    QList<DetectedPort> adapters;
    std::copy_if(detected.begin(), detected.end(), std::back_inserter(adapters),
                 [](const DetectedPort &port) { return port.usbAdapter; });
    std::sort(adapters.begin(), adapters.end(),
              [](const DetectedPort &a, const DetectedPort &b) { return orderKey(a) < orderKey(b); });
    return adapters;
}

bool IsDetected(const QString &device, const QList<DetectedPort> &detected)
{
    return !device.isEmpty() && std::any_of(detected.begin(), detected.end(), [&](const DetectedPort &port) {
        return port.device == device || port.byIdName == device;
    });
}

ComDevice ResolveComDevice(int portNumber, const QString &picked, const QString &environment,
                           const QList<DetectedPort> &detected)
{
    if (portNumber < 1)
        return {};
    if (!picked.isEmpty())
        return {picked, ComSource::Picked};
    if (!environment.isEmpty())
        return {environment, ComSource::Environment};
    const QString platform = PlatformDeviceName(portNumber);
    if (!IsDetected(platform, detected)) {
        const QList<DetectedPort> adapters = AdaptersInOrder(detected);
        if (portNumber <= adapters.size())
            return {adapters[portNumber - 1].device, ComSource::Adapter};
    }
    return {platform, ComSource::Platform};
}

QString DescribeComDevice(int portNumber, const ComDevice &device, const QList<DetectedPort> &detected)
{
    QString why;
    switch (device.source) {
    case ComSource::Picked: why = QStringLiteral("picked"); break;
    case ComSource::Environment: why = QStringLiteral("set by Q51_COM%1").arg(portNumber); break;
    case ComSource::Adapter: why = QStringLiteral("USB adapter %1").arg(portNumber); break;
    case ComSource::Platform:
        if (!IsDetected(device.device, detected))
            why = QStringLiteral("not present");
        break;
    }
    return why.isEmpty() ? device.device : QStringLiteral("%1 (%2)").arg(device.device, why);
}

} // namespace q51
