#pragma once
// The simulator's main loop: reads requests off the pseudo-terminal, writes
// the replies when the schedule says, and ends on a termination signal or
// after a hang-up fault. Waits in ppoll, so it uses no CPU while idle.

#include <functional>
#include <string>

#include "sim/decoder_simulator.h"
#include "sim/output_schedule.h"
#include "sim/unit_cycle.h"

namespace q51::sim {

class PseudoTerminal;
class TerminationSignals;

class LineServer {
public:
    // lineSpeed: requests are heard only while the line is set to it (0: always).
    LineServer(PseudoTerminal &pty, const TerminationSignals &signals, DecoderSimulator &simulator,
               OutputSchedule &schedule, std::string dumpBlockFile, int lineSpeed = 0);

    // Returns the process exit code.
    int Run();

    // Runs on SIGUSR1: makes the device vanish or come back (the pseudo-
    // terminal and whatever names it). What was still to be sent is lost.
    std::function<void()> onVanishToggle;

    // How units come and go (SIGUSR2, a schedule); each later unit starts
    // from the block the simulator had when the server was made, varied
    // (unit_block.h).
    void SetUnitOptions(UnitOptions options);

private:
    using TimePoint = OutputSchedule::TimePoint;

    void ReadRequests(TimePoint now);
    void Handle(const std::vector<SimulatorEvent> &events, TimePoint now);
    void WriteDue(TimePoint now);
    // True once a hang-up's last bytes are out and read (or given up on).
    bool ReadyToHangUp(TimePoint now);
    void ToggleVanish();
    // The unit in hand leaves (unplugged, if it was not already).
    void UnitLeaves();
    void UnitsDue(TimePoint now);

    PseudoTerminal &pty_;
    const TerminationSignals &signals_;
    DecoderSimulator &simulator_;
    OutputSchedule &schedule_;
    std::string dumpBlockFile_;
    int lineSpeed_;
    Block startBlock_;
    UnitCycle units_;

    TimePoint lastInput_{};
    bool hangUpPending_ = false;
    std::optional<TimePoint> hangUpStart_; // when the last bytes before a hang-up were out
};

} // namespace q51::sim
