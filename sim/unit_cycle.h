#pragma once
// When the units of a production line come and go on one port: the unit in
// hand leaves when told (SIGUSR2) or when its time is up (--unit-every),
// the next is plugged in after a gap, and after the last one (--units) the
// port stays empty. Only the timing: the line server does the plugging.

#include <chrono>
#include <optional>

namespace q51::sim {

struct UnitOptions {
    int gapMs = 300;   // from a unit leaving to the next one plugged in
    int everyMs = 0;   // how long each unit stays; 0: until told to leave
    int maxUnits = 0;  // the last unit; 0: no last one
};

class UnitCycle {
public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;

    // Unit 1 is in hand from start.
    UnitCycle(UnitOptions options, TimePoint start);

    // The unit in hand, from 1; still the last one's number after it left.
    [[nodiscard]] int unit() const { return unit_; }
    // False between a unit leaving and the next arriving, and for good
    // after the last unit left.
    [[nodiscard]] bool InHand() const { return inHand_; }

    // The unit in hand leaves now; nothing when none is in hand.
    void Leave(TimePoint now);

    enum class Step { None, Leave, Arrive };
    // What is due at now: the unit in hand to leave (call Leave), or the
    // next unit to be plugged in (unit() already counts it).
    Step Due(TimePoint now);
    // When Due next has something to say; nothing when only a signal can
    // change anything.
    [[nodiscard]] std::optional<TimePoint> NextDue() const;

private:
    UnitOptions options_;
    int unit_ = 1;
    bool inHand_ = true;
    TimePoint since_; // the unit in hand arrived, or the last one left
};

} // namespace q51::sim
