#pragma once
// Brings a window's port back by itself after its adapter was unplugged and
// plugged in again. It hears of the loss from the port itself (a hang-up)
// or from the port watch (the adapter is gone), and of the return only from
// the port watch: no timer asks the system in between. The same adapter
// means the same /dev/serial/by-id name when the system gives one (the tty
// number may change on replugging), else the same device path.

#include <functional>
#include <memory>
#include <optional>

#include <QObject>
#include <QTimer>

#include "link/port_catalogue.h"
#include "link/serial_settings.h"

namespace q51 {

class PortWatch;
class PortWatchSubscription;

// The lines a window writes into its log when its port goes and returns.
inline constexpr const char *PortLostLine = "Port lost";
inline constexpr const char *PortBackLine = "Port back";
class Transport;

struct AdapterIdentity {
    QString device;   // the path opened, e.g. /dev/ttyUSB0 or a simulator's link
    QString byIdName; // its /dev/serial/by-id name; empty when it has none

    bool operator==(const AdapterIdentity &) const = default;
};

// Who device is among the detected ports.
[[nodiscard]] AdapterIdentity IdentifyAdapter(const QString &device, const QList<DetectedPort> &detected);

// Whether that adapter is plugged in now: its by-id name among the detected
// ports, or, for a plain path, deviceExists(path).
[[nodiscard]] bool AdapterPresent(const AdapterIdentity &adapter, const QList<DetectedPort> &detected,
                                  const std::function<bool(const QString &)> &deviceExists);

class PortRecovery final : public QObject {
    Q_OBJECT
public:
    // Both must outlive the recovery.
    PortRecovery(Transport &port, PortWatch &watch, QObject *parent = nullptr);
    ~PortRecovery() override;

    // After a successful opening of Com portNumber: follow its adapter from
    // now on. keepOpen: open the port again with settings when the adapter
    // returns (a window that holds its port); otherwise only say it is back
    // (a window that opens its port for each exchange).
    void follow(const SerialSettings &settings, int portNumber, bool keepOpen);
    void stop();

    [[nodiscard]] bool isFollowing() const { return adapter_.has_value(); }
    [[nodiscard]] bool isLost() const { return lost_; }
    [[nodiscard]] const AdapterIdentity *adapter() const { return adapter_ ? &*adapter_ : nullptr; }

    // How a plain path is checked; tests stand in for the file system.
    void setDeviceExists(std::function<bool(const QString &)> deviceExists);

signals:
    void lost();
    void back();

private:
    void onPortsChanged();
    void markLost();
    void tryToReturn();
    [[nodiscard]] bool present() const;

    Transport &port_;
    PortWatch &watch_;
    std::function<bool(const QString &)> deviceExists_;
    std::optional<AdapterIdentity> adapter_;
    SerialSettings settings_;
    int portNumber_ = 0;
    bool keepOpen_ = false;
    bool lost_ = false;
    int attemptsLeft_ = 0;
    QTimer retry_; // udev gives a new node its owner a moment after it appears
    std::unique_ptr<PortWatchSubscription> subscription_;
    // A device outside /dev (a simulator's link) is heard of through a watch
    // on its own directory, beside the shared one.
    std::unique_ptr<PortWatch> ownWatch_;
    std::unique_ptr<PortWatchSubscription> ownSubscription_;
};

} // namespace q51
