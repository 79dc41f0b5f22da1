#pragma once
// The serial ports this machine has right now, as data. The system's
// catalogue asks QSerialPortInfo; tests hand in a fixed list, so nothing
// that reads the catalogue depends on the machine's own ports.

#include <QList>
#include <QString>

namespace q51 {

struct DetectedPort {
    QString device;       // what is opened, e.g. /dev/ttyUSB0
    QString description;  // e.g. "FT232R USB UART"
    QString manufacturer;
    QString serialNumber;
    QString byIdName;     // /dev/serial/by-id/... when the system names it so
    bool usbAdapter = false;

    bool operator==(const DetectedPort &) const = default;
};

class PortCatalogue {
public:
    virtual ~PortCatalogue() = default;
    [[nodiscard]] virtual QList<DetectedPort> detect() const = 0;
};

// QSerialPortInfo, with the names /dev/serial/by-id gives each adapter.
class SystemPortCatalogue final : public PortCatalogue {
public:
    [[nodiscard]] QList<DetectedPort> detect() const override;
};

// A list set by its owner: for tests and for anything that knows better.
class FixedPortCatalogue final : public PortCatalogue {
public:
    explicit FixedPortCatalogue(QList<DetectedPort> ports = {}) : ports_(std::move(ports)) {}
    void setPorts(QList<DetectedPort> ports) { ports_ = std::move(ports); }
    [[nodiscard]] QList<DetectedPort> detect() const override { return ports_; }

private:
    QList<DetectedPort> ports_;
};

// One line that tells the port apart from the others: the device, then
// what the system knows of it, e.g.
// "/dev/ttyUSB0 - FT232R USB UART, FTDI, serial A50285BI, usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0".
[[nodiscard]] QString DescribeDetectedPort(const DetectedPort &port);

} // namespace q51
