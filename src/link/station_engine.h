#pragma once
// The production station: every port watched at once on the one event loop.
// An idle port is asked for a decoder's version every StationPoll; when a
// unit answers, its cycle runs (station_unit.h), its record is kept, and
// the port shows PASS or FAIL until the unit stops answering, then waits
// for the next one. q51ctl's station verb and the Station window are both
// views of this engine.

#include <functional>
#include <memory>
#include <vector>

#include <QDateTime>
#include <QObject>
#include <QString>

#include "link/station_plan.h"
#include "link/station_record.h"
#include "link/task.h"

namespace q51 {

class Transport;

struct StationPortTarget {
    int number = 1;        // Com n
    QString device;        // opened in place of Com n's device; empty: Com n's
    QString name;          // as shown: the device, or "COM 2"
    QString adapterSerial; // empty when the adapter reports none
};

enum class StationPortState {
    NoPort,  // the port cannot be opened (problem says why); tried again each poll
    Waiting, // open, no decoder answering
    Working, // a unit's cycle runs (step says which)
    Passed,  // the unit passed and is still plugged in
    Failed,  // the unit failed (step and problem say where) and is still plugged in
    Stopped, // the station stopped
};

struct StationPortStatus {
    StationPortTarget target;
    StationPortState state = StationPortState::Waiting;
    UnitStep step = UnitStep::Identify; // Working: the step running; Failed: the one that failed
    QString version;                    // the unit's, once known
    QString problem;                    // NoPort and Failed: why
    qsizetype done = 0;                 // the step's progress
    qsizetype total = 0;
    int passed = 0;
    int failed = 0;
};

// Where a record went. Nowhere: neither the database nor the spool took it,
// so the unit is shown as failed at the Record step.
struct RecordKept {
    enum class Where { Database, Spool, Nowhere };
    Where where = Where::Nowhere;
    QString problem; // Nowhere: why; Spool: why the database did not take it
};
using RecordKeeper = std::function<RecordKept(const StationRecord &record)>;

// How a port is reached; the station's own opens the serial device.
using StationTransportFactory = std::function<std::unique_ptr<Transport>(const StationPortTarget &target)>;

class StationEngine final : public QObject {
    Q_OBJECT
public:
    StationEngine(StationPlan plan, RecordKeeper keeper, QObject *parent = nullptr);
    ~StationEngine() override;

    void setTransportFactory(StationTransportFactory factory); // before start()
    void addPort(const StationPortTarget &target);             // before start()
    void start();
    // Ports stop where they wait; a unit in hand is recorded as failed at
    // the step it was in (it was not verified), its port closed. stopped()
    // follows from the event loop. A second call does nothing.
    void stop();

    [[nodiscard]] const StationPlan &plan() const { return plan_; }
    [[nodiscard]] const std::vector<StationPortStatus> &ports() const { return status_; }
    [[nodiscard]] int passed() const;
    [[nodiscard]] int failed() const;
    [[nodiscard]] QDateTime startedAt() const { return startedAt_; }
    // Units finished per hour since the start; nothing before the first.
    [[nodiscard]] double unitsPerHour(const QDateTime &now) const;
    [[nodiscard]] bool running() const { return running_; }

signals:
    void portChanged(int index);
    // After the record was offered to the keeper; the status already shows it.
    // Never delete the engine from a handler: use deleteLater().
    void unitFinished(int index, const q51::StationRecord &record, const q51::RecordKept &kept);
    void stopped();

private:
    struct Slot;
    Task<bool> watch(Slot &slot);
    Task<bool> watchRound(Slot &slot);
    Task<bool> runUnit(Slot &slot, std::optional<QString> version);
    void finishUnit(Slot &slot, bool passed);
    void setState(Slot &slot, StationPortState state, const QString &problem = {});
    // Signals leave from the event loop, never from inside a port's task,
    // so a handler may stop the station.
    void notifyPort(int index);

    StationPlan plan_;
    RecordKeeper keeper_;
    StationTransportFactory factory_;
    std::vector<StationPortStatus> status_;
    std::vector<std::unique_ptr<Slot>> slots_;
    QDateTime startedAt_;
    bool running_ = false;
    bool stopping_ = false;
};

} // namespace q51
