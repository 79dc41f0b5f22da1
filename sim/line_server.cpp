#include "sim/line_server.h"

#include <cerrno>
#include <iostream>
#include <poll.h>
#include <system_error>
#include <unistd.h>

#include "sim/block_file.h"
#include "sim/pseudo_terminal.h"
#include "sim/termination_signals.h"
#include "sim/unit_block.h"

namespace q51::sim {

namespace {

using namespace std::chrono_literals;
using Clock = OutputSchedule::Clock;

// A request left unfinished this long was abandoned by its sender; the
// next one must not be read as its continuation.
constexpr auto UnfinishedRequestTimeout = 1000ms;
// Closing the line throws away whatever the client has not read yet, so a
// hang-up waits (up to a limit) until the bytes sent before it were read.
// The kernel hands written bytes to the client side a little later, so an
// empty client queue right after the write proves nothing.
constexpr auto HangUpDrainMinimum = 50ms;
constexpr auto HangUpDrainTimeout = 2000ms;
constexpr auto HangUpDrainPoll = 10ms;

void Log(const std::string &line)
{
    std::cerr << "q51sim: " << line << '\n';
}

timespec Until(std::optional<OutputSchedule::TimePoint> wake, OutputSchedule::TimePoint now)
{
    const auto left = std::max(Clock::duration::zero(), *wake - now);
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    return {static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

} // namespace

LineServer::LineServer(PseudoTerminal &pty, const TerminationSignals &signals, DecoderSimulator &simulator,
                       OutputSchedule &schedule, std::string dumpBlockFile, int lineSpeed)
    : pty_(pty), signals_(signals), simulator_(simulator), schedule_(schedule), dumpBlockFile_(std::move(dumpBlockFile)),
      lineSpeed_(lineSpeed), startBlock_(simulator.responder().block()), units_(UnitOptions{}, Clock::now())
{
}

void LineServer::SetUnitOptions(UnitOptions options)
{
    units_ = UnitCycle(options, Clock::now());
}

int LineServer::Run()
{
    for (;;) {
        TimePoint now = Clock::now();
        if (ReadyToHangUp(now)) {
            Log("hanging up");
            return 0;
        }
        UnitsDue(now);
        // While the device is away nothing goes out (a master of -1 is not polled).
        const std::optional<TimePoint> nextByte = pty_.Present() ? schedule_.NextDue() : std::nullopt;
        const bool writeDue = nextByte && *nextByte <= now;
        std::optional<TimePoint> wake = nextByte;
        const auto wakeBy = [&](TimePoint t) {
            if (!wake || t < *wake)
                wake = t;
        };
        if (simulator_.HasUnfinishedRequest() && pty_.Present())
            wakeBy(lastInput_ + UnfinishedRequestTimeout);
        if (hangUpStart_)
            wakeBy(now + HangUpDrainPoll);
        if (const std::optional<TimePoint> unitDue = units_.NextDue())
            wakeBy(*unitDue);

        pollfd fds[2] = {{pty_.master(), static_cast<short>(POLLIN | (writeDue ? POLLOUT : 0)), 0},
                         {signals_.fd(), POLLIN, 0}};
        const timespec timeout = wake ? Until(wake, now) : timespec{};
        if (ppoll(fds, 2, wake ? &timeout : nullptr, nullptr) < 0) {
            if (errno == EINTR)
                continue;
            throw std::system_error(errno, std::generic_category(), "poll failed");
        }
        if (fds[1].revents & POLLIN) {
            const TerminationSignals::Arrived arrived = signals_.Take();
            if (arrived.stop) {
                Log("stopping");
                return 0;
            }
            for (int i = 0; i < arrived.vanishToggles; ++i)
                ToggleVanish();
            if (arrived.newUnits > 0)
                UnitLeaves();
            continue;
        }
        now = Clock::now();
        if (fds[0].revents & POLLIN)
            ReadRequests(now);
        if (!pty_.Present())
            continue;
        WriteDue(now);
        if (simulator_.HasUnfinishedRequest() && now - lastInput_ >= UnfinishedRequestTimeout)
            Handle(simulator_.DropUnfinishedRequest(), now);
    }
}

void LineServer::ToggleVanish()
{
    if (!onVanishToggle || !units_.InHand()) {
        Log("SIGUSR1 ignored: no unit to unplug or plug back in");
        return;
    }
    if (pty_.Present()) {
        schedule_.Clear();
        simulator_.DropUnfinishedRequest();
    }
    onVanishToggle();
    Log(pty_.Present() ? "back on " + pty_.devicePath() : std::string("vanished"));
}

void LineServer::UnitLeaves()
{
    if (!units_.InHand()) {
        Log("SIGUSR2 ignored: no unit in place");
        return;
    }
    if (pty_.Present() && onVanishToggle)
        ToggleVanish();
    Log("unit " + std::to_string(units_.unit()) + " left");
    units_.Leave(Clock::now());
}

void LineServer::UnitsDue(TimePoint now)
{
    switch (units_.Due(now)) {
    case UnitCycle::Step::None:
        return;
    case UnitCycle::Step::Leave:
        UnitLeaves();
        return;
    case UnitCycle::Step::Arrive:
        simulator_.NewUnit(UnitBlock(startBlock_, units_.unit()));
        if (!pty_.Present() && onVanishToggle)
            onVanishToggle();
        Log("unit " + std::to_string(units_.unit()) + " plugged in on " + pty_.devicePath());
        return;
    }
}

void LineServer::ReadRequests(TimePoint now)
{
    std::uint8_t buffer[4096];
    const ssize_t n = read(pty_.master(), buffer, sizeof buffer);
    if (n <= 0)
        return; // EAGAIN: someone else's wake-up; nothing else is expected while we hold the device
    // Sent at another speed, a request reaches a decoder as framing errors
    // and noise: nothing it could answer.
    if (lineSpeed_ != 0) {
        if (const int speed = pty_.LineSpeed(); speed != lineSpeed_) {
            Log(std::to_string(n) + " bytes at " + std::to_string(speed) + " baud, not heard at " +
                std::to_string(lineSpeed_));
            return;
        }
    }
    lastInput_ = now;
    schedule_.NoteReceived(static_cast<std::size_t>(n), now);
    // After a hang-up has begun nothing more is answered.
    if (!hangUpPending_)
        Handle(simulator_.Feed(protocol::ByteView(buffer, static_cast<std::size_t>(n))), now);
}

void LineServer::Handle(const std::vector<SimulatorEvent> &events, TimePoint now)
{
    bool stored = false;
    for (const SimulatorEvent &event : events) {
        Log(event.log);
        stored |= event.blockStored;
        schedule_.Enqueue(event.reply, now);
        hangUpPending_ |= event.reply.after == AfterReply::HangUp;
        if (event.unplug && pty_.Present())
            ToggleVanish();
    }
    if (stored && !dumpBlockFile_.empty()) {
        if (const std::string error = WriteBlockFile(dumpBlockFile_, simulator_.responder().block()); !error.empty())
            Log(error);
    }
}

void LineServer::WriteDue(TimePoint now)
{
    const protocol::Bytes due = schedule_.Due(now);
    if (due.empty())
        return;
    const ssize_t n = write(pty_.master(), due.data(), due.size());
    if (n > 0)
        schedule_.Consume(static_cast<std::size_t>(n));
    else if (errno != EAGAIN)
        Log(std::string("write failed: ") + std::generic_category().message(errno));
}

bool LineServer::ReadyToHangUp(TimePoint now)
{
    if (!hangUpPending_ || !schedule_.Empty())
        return false;
    if (!hangUpStart_)
        hangUpStart_ = now;
    if (now - *hangUpStart_ < HangUpDrainMinimum)
        return false;
    return pty_.UnreadByClient() == 0 || now - *hangUpStart_ >= HangUpDrainTimeout;
}

} // namespace q51::sim
