#include "link/port_catalogue.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>

namespace q51 {

namespace {

// The by-id links, keyed by the device they lead to.
QHash<QString, QString> byIdNames()
{
    QHash<QString, QString> names;
    const QDir dir(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo &link : dir.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        const QString target = link.canonicalFilePath();
        if (!target.isEmpty())
            names.insert(target, link.absoluteFilePath());
    }
    return names;
}

} // namespace

QList<DetectedPort> SystemPortCatalogue::detect() const
{
    const QHash<QString, QString> byId = byIdNames();
    QList<DetectedPort> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        DetectedPort port;
        port.device = info.systemLocation();
        port.description = info.description();
        port.manufacturer = info.manufacturer();
        port.serialNumber = info.serialNumber();
        const QString canonical = QFileInfo(port.device).canonicalFilePath();
        port.byIdName = byId.value(canonical.isEmpty() ? port.device : canonical);
        // Only USB devices carry vendor numbers or by-id names.
        port.usbAdapter = info.hasVendorIdentifier() || !port.byIdName.isEmpty();
        ports << port;
    }
    return ports;
}

QString DescribeDetectedPort(const DetectedPort &port)
{
    QStringList known;
    for (const QString &part : {port.description, port.manufacturer})
        if (!part.isEmpty())
            known << part;
    if (!port.serialNumber.isEmpty())
        known << QStringLiteral("serial %1").arg(port.serialNumber);
    if (!port.byIdName.isEmpty())
        known << QFileInfo(port.byIdName).fileName();
    return known.isEmpty() ? port.device : port.device + QStringLiteral(" - ") + known.join(QStringLiteral(", "));
}

} // namespace q51
