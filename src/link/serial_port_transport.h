#pragma once
// Transport over QSerialPort: real COM ports, USB adapters, pseudo-terminals.

#include <QSerialPort>

#include "link/transport.h"

namespace q51 {

class SerialPortTransport final : public Transport {
    Q_OBJECT
public:
    explicit SerialPortTransport(QObject *parent = nullptr);
    ~SerialPortTransport() override;

    // A device this port opens in place of the one Com n stands for, so
    // several ports of one process each have their own; empty: Com n's.
    void setDevice(const QString &device) { device_ = device; }

    bool open(const SerialSettings &settings, int portNumber, OpenFailure *failure = nullptr) override;
    [[nodiscard]] bool isOpen() const override;
    void close() override;
    bool write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    bool discardTransmit() override;
    bool discardReceive() override;

private:
    void onError(QSerialPort::SerialPortError error);

    QSerialPort *port_;
    QString device_;
    quint64 openCount_ = 0; // a loss reported late must not hit a later opening
};

} // namespace q51
