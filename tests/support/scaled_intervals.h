#pragma once
// Runs the link's timing at a fraction of its wall-clock cost for the life
// of one object, then puts the previous scale back.

#include "link/intervals.h"

namespace q51::test {

class ScaledIntervals {
public:
    explicit ScaledIntervals(double scale) : saved_(intervalScale()) { setIntervalScale(scale); }
    ~ScaledIntervals() { setIntervalScale(saved_); }
    ScaledIntervals(const ScaledIntervals &) = delete;
    ScaledIntervals &operator=(const ScaledIntervals &) = delete;

private:
    double saved_;
};

} // namespace q51::test
