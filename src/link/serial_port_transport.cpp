#include "link/serial_port_transport.h"

#include <QFileInfo>

#include "link/port_names.h"

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace q51 {

namespace {

// Qt reports both "no access rights" and "someone else holds the port" as
// PermissionError. A device we are allowed to read and write can only have
// been refused because it is taken.
bool mayReadAndWrite(const QString &device)
{
#ifdef Q_OS_UNIX
    return ::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0;
#else
    Q_UNUSED(device);
    return true; // Windows has no per-user device rights: a refusal means busy
#endif
}

bool deviceExists(const QString &device)
{
#ifdef Q_OS_UNIX
    return QFileInfo::exists(device);
#else
    Q_UNUSED(device);
    return true; // COM names are not files; Qt says DeviceNotFoundError itself
#endif
}

OpenFailureKind classifyOpenError(QSerialPort::SerialPortError error, const QString &device)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return OpenFailureKind::NoSuchDevice;
    case QSerialPort::PermissionError:
        if (!deviceExists(device))
            return OpenFailureKind::NoSuchDevice;
        return mayReadAndWrite(device) ? OpenFailureKind::InUse : OpenFailureKind::PermissionDenied;
    case QSerialPort::OpenError: // this object already had it open: not possible here
        return OpenFailureKind::InUse;
    case QSerialPort::UnsupportedOperationError:
        return OpenFailureKind::UnsupportedSettings;
    default:
        return deviceExists(device) ? OpenFailureKind::Other : OpenFailureKind::NoSuchDevice;
    }
}

bool meansPortLost(QSerialPort::SerialPortError error)
{
    // On Qt 6.4 an unplugged adapter or a hung-up pseudo-terminal shows as
    // ReadError, raised again on every pass of the event loop until the port
    // is closed; other systems say ResourceError. A failed write means the
    // request never left, so no reply can come either.
    return error == QSerialPort::ReadError || error == QSerialPort::ResourceError
           || error == QSerialPort::WriteError;
}

} // namespace

SerialPortTransport::SerialPortTransport(QObject *parent)
    : Transport(parent), port_(new QSerialPort(this))
{
    connect(port_, &QSerialPort::readyRead, this, &Transport::bytesArrived);
    connect(port_, &QSerialPort::errorOccurred, this, &SerialPortTransport::onError);
}

SerialPortTransport::~SerialPortTransport()
{
    // Closing here rather than in QSerialPort's destructor keeps errors raised
    // while closing away from a half-destroyed transport.
    disconnect(port_, nullptr, this, nullptr);
    port_->close();
}

bool SerialPortTransport::open(const SerialSettings &settings, int portNumber, OpenFailure *failure)
{
    close();
    const QString device = deviceNameForPort(portNumber);
    auto fail = [&](OpenFailureKind kind, const QString &systemText) {
        port_->close();
        if (failure)
            *failure = OpenFailure{kind, portNumber, device, systemText};
        return false;
    };
    if (device.isEmpty())
        return fail(OpenFailureKind::NoSuchDevice, {});

    port_->setPortName(device);
    if (!applySerialSettings(settings, *port_))
        return fail(OpenFailureKind::UnsupportedSettings, port_->errorString());
    if (!port_->open(QIODevice::ReadWrite))
        return fail(classifyOpenError(port_->error(), device), port_->errorString());
    port_->clearError();
    ++openCount_;
    return true;
}

bool SerialPortTransport::isOpen() const
{
    return port_->isOpen();
}

void SerialPortTransport::close()
{
    if (port_->isOpen())
        port_->close();
}

bool SerialPortTransport::write(const QByteArray &bytes)
{
    if (!port_->isOpen())
        return false;
    return port_->write(bytes) == bytes.size();
}

QByteArray SerialPortTransport::readAll()
{
    return port_->isOpen() ? port_->readAll() : QByteArray();
}

bool SerialPortTransport::discardTransmit()
{
    return !port_->isOpen() || port_->clear(QSerialPort::Output);
}

bool SerialPortTransport::discardReceive()
{
    return !port_->isOpen() || port_->clear(QSerialPort::Input);
}

void SerialPortTransport::onError(QSerialPort::SerialPortError error)
{
    if (!meansPortLost(error) || !port_->isOpen())
        return;
    // Close at once: that removes the read notifier and ends the storm of
    // repeated errors. Tell the owner from the event loop, outside
    // QSerialPort's own notification code.
    port_->close();
    QMetaObject::invokeMethod(
        this,
        [this, opening = openCount_] {
            if (opening == openCount_ && !port_->isOpen())
                emit portLost();
        },
        Qt::QueuedConnection);
}

} // namespace q51
