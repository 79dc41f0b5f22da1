#pragma once
// What a window needs from a serial port. The QSerialPort implementation
// talks to real devices and pseudo-terminals; the fake one lets tests and
// in-process simulations play the decoder. Neither gathers replies: the
// exchange engine does, so every exchange waits the same way.

#include <QByteArray>
#include <QObject>

#include "link/open_failure.h"
#include "link/serial_settings.h"

namespace q51 {

class Transport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Opens the device behind Com portNumber with the given settings, closing
    // it first when open. On failure the port is closed and *failure (when
    // given) says why.
    virtual bool open(const SerialSettings &settings, int portNumber,
                      OpenFailure *failure = nullptr) = 0;
    [[nodiscard]] virtual bool isOpen() const = 0;
    virtual void close() = 0;

    // Queues the bytes for sending; false when the port is closed or refuses.
    virtual bool write(const QByteArray &bytes) = 0;
    // Every byte received and not yet read, possibly none.
    virtual QByteArray readAll() = 0;
    // Drop what waits to be sent or to be read. Harmless on a closed port.
    virtual bool discardTransmit() = 0;
    virtual bool discardReceive() = 0;

    // Who holds the device while this port is open, as a refused opening
    // of the same device elsewhere in this program names it: the owning
    // window's title.
    void setHolderName(const QString &name) { holderName_ = name; }
    [[nodiscard]] const QString &holderName() const { return holderName_; }

signals:
    // New bytes wait to be read.
    void bytesArrived();
    // The device went away (unplugged, hung up). The port is already closed
    // when this arrives, and it arrives once per loss, from the event loop,
    // so handlers may delete the transport's owner with deleteLater().
    void portLost();

private:
    QString holderName_;
};

} // namespace q51
