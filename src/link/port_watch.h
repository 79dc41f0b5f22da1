#pragma once
// One watch for the process that says when serial ports came or went, so
// that whoever shows the ports detects them again then and only then,
// instead of asking the system on a timer. It listens only while someone
// subscribes, through the first source that works here (see
// SystemSources), and says changed() once per burst of events: plugging an
// adapter in makes several.

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include <QPointer>
#include <QTimer>

#include "link/port_event_source.h"

namespace q51 {

class PortWatch final : public QObject {
    Q_OBJECT
public:
    // Long enough for udev to name a new port in /dev/serial/by-id, short
    // enough that a plugged adapter shows well within a second.
    static constexpr std::chrono::milliseconds DefaultSettle{100};

    // Sources in order of preference; the first that starts is used.
    explicit PortWatch(std::vector<std::unique_ptr<PortEventSource>> sources,
                       std::chrono::milliseconds settle = DefaultSettle, QObject *parent = nullptr);

    // The kernel's device events; where netlink is refused, a watch on /dev;
    // where that fails too, asking again every second.
    [[nodiscard]] static std::vector<std::unique_ptr<PortEventSource>> SystemSources();

    // The source listening now; nullptr while nobody subscribes.
    [[nodiscard]] const PortEventSource *activeSource() const { return active_; }

signals:
    void changed();

private:
    friend class PortWatchSubscription;
    void hold();
    void release();
    void startSource();

    std::vector<std::unique_ptr<PortEventSource>> sources_;
    PortEventSource *active_ = nullptr;
    QTimer settle_;
    int holders_ = 0;
};

// While it lives the watch listens, and onChange runs in context's thread
// after every change (never after context is gone).
class PortWatchSubscription final {
public:
    PortWatchSubscription(PortWatch &watch, QObject *context, std::function<void()> onChange);
    ~PortWatchSubscription();
    PortWatchSubscription(const PortWatchSubscription &) = delete;
    PortWatchSubscription &operator=(const PortWatchSubscription &) = delete;

private:
    QPointer<PortWatch> watch_;
    QMetaObject::Connection connection_;
};

// The watch everything subscribes to: the system's, unless a test set another.
[[nodiscard]] PortWatch &CurrentPortWatch();
// nullptr puts the system's back (made when next asked for).
void SetPortWatch(std::shared_ptr<PortWatch> watch);

} // namespace q51
