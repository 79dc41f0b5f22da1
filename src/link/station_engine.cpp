#include "link/station_engine.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QUuid>

#include "link/awaited_exchange.h"
#include "link/decoder_backups.h"
#include "link/port_reopen.h"
#include "link/protocol/exchange_limits.h"
#include "link/serial_port_transport.h"
#include "link/station_unit.h"
#include "link/transmit_exchanges.h"

namespace q51 {

namespace {

enum class Heard { Version, Other, Nothing, Lost };

struct Polled {
    Heard heard = Heard::Nothing;
    QString version;
};

// A poll waits its period, or twice the wire time of the query and its
// reply where the line is too slow for that.
std::chrono::milliseconds pollWait(const SerialSettings &settings)
{
    const qsizetype bytes = VersionQuery().bytes.size() + qsizetype(protocol::VersionLimits.receiveThreshold);
    const auto wire = std::chrono::milliseconds(bytes * 10 * 1000 / std::max(settings.baudRate, 1));
    return std::max(nominalInterval(Interval::StationPoll), 2 * wire);
}

Task<Polled> poll(Transport &port, std::chrono::milliseconds wait)
{
    Exchange::Request request = VersionQuery();
    request.wait = wait;
    const ExchangeResult reply = co_await Exchanged(port, std::move(request));
    if (reply.end == ExchangeEnd::PortLost)
        co_return Polled{Heard::Lost, {}};
    if (reply.end == ExchangeEnd::Judged) {
        if (const std::optional<QString> version = AcceptedVersionText(reply.reply))
            co_return Polled{Heard::Version, *version};
    }
    co_return Polled{reply.reply.isEmpty() ? Heard::Nothing : Heard::Other, {}};
}

// wait is already scaled.
Task<bool> pause(QObject &context, std::chrono::milliseconds wait)
{
    co_return co_await WhenGiven<bool>([&context, wait](auto give) {
        QTimer::singleShot(wait, &context, [give] { give(true); });
    });
}

} // namespace

struct StationEngine::Slot {
    int index = 0;
    std::unique_ptr<Transport> port;
    QObject timers;        // owns the pauses' timers
    StationRecord record;  // the unit in hand
    bool inUnit = false;
    bool unitPlugged = false; // the last unit still answers
    QElapsedTimer cycle;
    std::optional<Task<bool>> task; // last: destroyed first, before what it uses
};

StationEngine::StationEngine(StationPlan plan, RecordKeeper keeper, QObject *parent)
    : QObject(parent), plan_(std::move(plan)), keeper_(std::move(keeper))
{
    factory_ = [](const StationPortTarget &target) {
        auto port = std::make_unique<SerialPortTransport>();
        port->setDevice(target.device);
        return port;
    };
}

StationEngine::~StationEngine()
{
    for (auto &slot : slots_)
        slot->task.reset();
}

void StationEngine::setTransportFactory(StationTransportFactory factory)
{
    factory_ = std::move(factory);
}

void StationEngine::addPort(const StationPortTarget &target)
{
    StationPortStatus status;
    status.target = target;
    status_.push_back(status);
}

void StationEngine::start()
{
    if (running_ || stopping_)
        return;
    running_ = true;
    startedAt_ = QDateTime::currentDateTimeUtc();
    for (std::size_t i = 0; i < status_.size(); ++i) {
        auto slot = std::make_unique<Slot>();
        slot->index = int(i);
        slot->port = factory_(status_[i].target);
        slot->port->setHolderName(QStringLiteral("Station"));
        slots_.push_back(std::move(slot));
    }
    for (auto &slot : slots_) {
        slot->task.emplace(watch(*slot));
        slot->task->start([] {});
    }
}

void StationEngine::stop()
{
    if (!running_ || stopping_)
        return;
    stopping_ = true;
    for (auto &slot : slots_) {
        if (slot->inUnit) {
            StationRecord &record = slot->record;
            record.passed = false;
            record.failedStep = status_[std::size_t(slot->index)].step;
            record.problem = QStringLiteral("Stopped before the unit was finished.");
            finishUnit(*slot, false);
        }
        slot->task.reset();
        slot->port->close();
        setState(*slot, StationPortState::Stopped);
    }
    running_ = false;
    QMetaObject::invokeMethod(this, [this] { emit stopped(); }, Qt::QueuedConnection);
}

int StationEngine::passed() const
{
    int count = 0;
    for (const StationPortStatus &status : status_)
        count += status.passed;
    return count;
}

int StationEngine::failed() const
{
    int count = 0;
    for (const StationPortStatus &status : status_)
        count += status.failed;
    return count;
}

double StationEngine::unitsPerHour(const QDateTime &now) const
{
    const int units = passed() + failed();
    const qint64 ms = startedAt_.isValid() ? startedAt_.msecsTo(now) : 0;
    if (units == 0 || ms <= 0)
        return 0;
    return units * 3600000.0 / double(ms);
}

void StationEngine::notifyPort(int index)
{
    QMetaObject::invokeMethod(this, [this, index] { emit portChanged(index); }, Qt::QueuedConnection);
}

void StationEngine::setState(Slot &slot, StationPortState state, const QString &problem)
{
    StationPortStatus &status = status_[std::size_t(slot.index)];
    if (status.state == state && status.problem == problem)
        return;
    status.state = state;
    status.problem = problem;
    notifyPort(slot.index);
}

// A port's watch, one poll round at a time.
Task<bool> StationEngine::watch(Slot &slot)
{
    for (;;)
        co_await watchRound(slot);
}

Task<bool> StationEngine::watchRound(Slot &slot)
{
    const StationPortTarget &target = status_[std::size_t(slot.index)].target;
    const std::chrono::milliseconds period = scaledInterval(Interval::StationPoll);
    QElapsedTimer round;
    round.start();
    if (!slot.port->isOpen()) {
        // The port went away (an adapter unplugged, a line hung up): whatever
        // answers once it is back is another unit.
        slot.unitPlugged = false;
        QString problem;
        if (!reopenPort(*slot.port, plan_.settings, target.number, &problem)) {
            setState(slot, StationPortState::NoPort, problem);
            co_return co_await pause(slot.timers, period);
        }
        setState(slot, StationPortState::Waiting);
    }
    const Polled polled = co_await poll(*slot.port, pollWait(plan_.settings));
    const bool answered = polled.heard == Heard::Version || polled.heard == Heard::Other;
    if (answered && !slot.unitPlugged) {
        // A result stays shown until its unit stops answering.
        slot.unitPlugged = true;
        // Named, not a temporary of a conditional inside co_await: GCC 12
        // destroys such a temporary twice.
        std::optional<QString> version;
        if (polled.heard == Heard::Version)
            version = polled.version;
        co_return co_await runUnit(slot, std::move(version));
    }
    if (!answered && slot.unitPlugged) {
        slot.unitPlugged = false;
        setState(slot, StationPortState::Waiting);
    }
    if (const auto spent = std::chrono::milliseconds(round.elapsed()); spent < period)
        co_await pause(slot.timers, period - spent);
    co_return true;
}

Task<bool> StationEngine::runUnit(Slot &slot, std::optional<QString> version)
{
    StationPortStatus &status = status_[std::size_t(slot.index)];
    slot.record = StationRecord{};
    StationRecord &record = slot.record;
    record.unitId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    record.time = QDateTime::currentDateTimeUtc();
    record.station = plan_.stationName;
    record.operatorName = plan_.operatorName;
    record.port = status.target.name;
    record.adapterSerial = status.target.adapterSerial;
    slot.inUnit = true;
    slot.cycle.start();
    status.version = version ? version->trimmed() : QString();
    status.step = UnitStep::Identify;
    status.done = status.total = 0;
    setState(slot, StationPortState::Working);
    const UnitPort where{status.target.number, BackupPortLabel(status.target.number, status.target.device)};
    const bool passed = co_await RunUnit(*slot.port, plan_, where, std::move(version), record,
                                         [this, &slot, &status](UnitStep step, qsizetype done, qsizetype total) {
                                             status.step = step;
                                             status.done = done;
                                             status.total = total;
                                             notifyPort(slot.index);
                                         });
    finishUnit(slot, passed);
    co_return passed;
}

void StationEngine::finishUnit(Slot &slot, bool passed)
{
    if (!slot.inUnit)
        return;
    slot.inUnit = false;
    StationRecord &record = slot.record;
    record.seconds = double(slot.cycle.nsecsElapsed()) / 1e9;
    RecordKept kept;
    if (keeper_)
        kept = keeper_(record);
    else
        kept.problem = QStringLiteral("No place to keep records was given.");
    if (kept.where == RecordKept::Where::Nowhere && passed) {
        // Verified, but with no record anywhere it cannot count as a pass.
        passed = false;
        record.passed = false;
        record.failedStep = UnitStep::Record;
        record.problem = QStringLiteral("Storing the record failed: ") + kept.problem;
    }
    StationPortStatus &status = status_[std::size_t(slot.index)];
    status.state = passed ? StationPortState::Passed : StationPortState::Failed;
    status.step = record.failedStep.value_or(UnitStep::Verify);
    status.problem = record.problem;
    (passed ? status.passed : status.failed) += 1;
    notifyPort(slot.index);
    QMetaObject::invokeMethod(
        this, [this, index = slot.index, record, kept] { emit unitFinished(index, record, kept); },
        Qt::QueuedConnection);
}

} // namespace q51
