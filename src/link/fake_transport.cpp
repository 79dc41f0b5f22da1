#include "link/fake_transport.h"

#include "link/port_names.h"

namespace q51 {

bool FakeTransport::open(const SerialSettings &settings, int portNumber, OpenFailure *failure)
{
    close();
    lastSettings_ = settings;
    lastPortNumber_ = portNumber;
    if (refusal_) {
        if (failure)
            *failure = OpenFailure{*refusal_, portNumber, deviceNameForPort(portNumber), {}};
        return false;
    }
    open_ = true;
    ++session_;
    ++openCount_;
    return true;
}

void FakeTransport::close()
{
    if (!open_)
        return;
    open_ = false;
    ++session_;
    received_.clear();
}

bool FakeTransport::write(const QByteArray &bytes)
{
    if (!open_)
        return false;
    writes_.append(bytes);
    emit requestWritten(bytes);
    return true;
}

QByteArray FakeTransport::readAll()
{
    return std::exchange(received_, QByteArray());
}

bool FakeTransport::discardTransmit()
{
    ++transmitDiscards_; // writes leave at once: nothing is ever pending
    return true;
}

bool FakeTransport::discardReceive()
{
    ++receiveDiscards_;
    received_.clear();
    return true;
}

void FakeTransport::refuseOpen(OpenFailureKind kind)
{
    refusal_ = kind;
}

void FakeTransport::pushReply(const QByteArray &chunk)
{
    QMetaObject::invokeMethod(
        this,
        [this, chunk, session = session_] {
            if (!open_ || session != session_ || chunk.isEmpty())
                return;
            received_ += chunk;
            emit bytesArrived();
        },
        Qt::QueuedConnection);
}

void FakeTransport::loseConnection()
{
    if (!open_)
        return;
    close();
    QMetaObject::invokeMethod(
        this,
        [this, session = session_] {
            if (session == session_)
                emit portLost();
        },
        Qt::QueuedConnection);
}

} // namespace q51
