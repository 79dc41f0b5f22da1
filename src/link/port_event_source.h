#pragma once
// Where the port watch hears that serial ports may have come or gone. Each
// way of hearing is one source; the watch starts the first that works here.

#include <chrono>

#include <QLoggingCategory>
#include <QObject>
#include <QTimer>

namespace q51 {

// Which source the watch uses, and why it fell back (debug level).
Q_DECLARE_LOGGING_CATEGORY(portWatchLog)

class PortEventSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Begins listening; false when this way of hearing is not available here.
    virtual bool start() = 0;
    virtual void stop() = 0;
    [[nodiscard]] virtual const char *name() const = 0;

signals:
    void portsMayHaveChanged();
};

// The last resort: says "may have changed" on every tick, so readers
// detect the ports again as they did before there were events.
class PolledPortEvents final : public PortEventSource {
    Q_OBJECT
public:
    explicit PolledPortEvents(std::chrono::milliseconds interval, QObject *parent = nullptr);
    bool start() override;
    void stop() override { timer_.stop(); }
    [[nodiscard]] const char *name() const override { return "polling"; }

private:
    QTimer timer_;
};

} // namespace q51
