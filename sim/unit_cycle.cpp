#include "sim/unit_cycle.h"

namespace q51::sim {

UnitCycle::UnitCycle(UnitOptions options, TimePoint start) : options_(options), since_(start) {}

void UnitCycle::Leave(TimePoint now)
{
    if (!inHand_)
        return;
    inHand_ = false;
    since_ = now;
}

std::optional<UnitCycle::TimePoint> UnitCycle::NextDue() const
{
    if (inHand_)
        return options_.everyMs > 0 ? std::optional(since_ + std::chrono::milliseconds(options_.everyMs)) : std::nullopt;
    if (options_.maxUnits > 0 && unit_ >= options_.maxUnits)
        return std::nullopt;
    return since_ + std::chrono::milliseconds(options_.gapMs);
}

UnitCycle::Step UnitCycle::Due(TimePoint now)
{
    const std::optional<TimePoint> due = NextDue();
    if (!due || now < *due)
        return Step::None;
    if (inHand_)
        return Step::Leave;
    ++unit_;
    inHand_ = true;
    since_ = now;
    return Step::Arrive;
}

} // namespace q51::sim
