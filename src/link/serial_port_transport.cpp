#include "link/serial_port_transport.h"

#include "link/open_failure_cause.h"
#include "link/port_holders.h"
#include "link/port_names.h"

namespace q51 {

namespace {

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
    ForgetHolder(this);
}

bool SerialPortTransport::open(const SerialSettings &settings, int portNumber, OpenFailure *failure)
{
    close();
    const QString device = device_.isEmpty() ? deviceNameForPort(portNumber) : device_;
    auto fail = [&](OpenFailureKind kind, const QString &systemText) {
        port_->close();
        if (failure) {
            *failure = OpenFailure{kind, portNumber, device, systemText, {}, {}};
            if (kind == OpenFailureKind::PermissionDenied)
                failure->group = DeviceGroupName(device);
            if (kind == OpenFailureKind::InUse)
                failure->heldBy = HolderOf(device, this);
        }
        return false;
    };
    if (device.isEmpty())
        return fail(OpenFailureKind::NoSuchDevice, {});
    // Another window of ours has it: say so at once, whatever the system
    // would let a second opening do.
    if (!HolderOf(device, this).isEmpty())
        return fail(OpenFailureKind::InUse, {});

    port_->setPortName(device);
    if (!applySerialSettings(settings, *port_))
        return fail(OpenFailureKind::UnsupportedSettings, port_->errorString());
    if (!port_->open(QIODevice::ReadWrite))
        return fail(ClassifyOpenError(port_->error(), CheckDeviceAccess(device)), port_->errorString());
    port_->clearError();
    ++openCount_;
    NoteHolder(this, device, holderName());
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
    ForgetHolder(this);
}

bool SerialPortTransport::write(const QByteArray &bytes)
{
    if (!port_->isOpen())
        return false;
    if (port_->write(bytes) != bytes.size())
        return false;
    // On the line now rather than on the next pass of the event loop, so a
    // request leaves before a program opening many ports opens the next.
    // Whatever the line does not take at once follows as usual.
    port_->flush();
    return true;
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
    ForgetHolder(this);
    QMetaObject::invokeMethod(
        this,
        [this, opening = openCount_] {
            if (opening == openCount_ && !port_->isOpen())
                emit portLost();
        },
        Qt::QueuedConnection);
}

} // namespace q51
