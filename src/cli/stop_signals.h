#pragma once
// Ctrl+C (SIGINT) and SIGTERM turned into a Qt signal on the event loop
// (through a pipe the handler writes to), so a run stops its exchanges
// cleanly instead of dying with ports open and files half-written. A
// second Ctrl+C ends the process at once, for a run that will not stop.

#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace q51::cli {

class StopSignals final : public QObject {
    Q_OBJECT
public:
    // Only one at a time; the default handling comes back on destruction.
    StopSignals();
    ~StopSignals() override;

signals:
    void stopRequested();

private:
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace q51::cli
