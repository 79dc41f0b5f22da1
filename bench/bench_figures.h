#pragma once
// Figures of a repeated measurement as the benchmarks' Markdown rows give
// them: median and worst against a goal.

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace q51::bench {

struct Figures {
    double median = 0;
    double worst = 0;
};

// {-1, -1} for no measurement at all.
inline Figures figuresOf(std::vector<double> ms)
{
    if (ms.empty())
        return {-1, -1};
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

// Met when the worst is under the goal.
inline bool printRow(const char *what, const Figures &f, double goal)
{
    const bool met = f.median >= 0 && f.worst < goal;
    std::printf("| %s | %.3f | %.3f | < %.0f | %s |\n", what, f.median, f.worst, goal, met ? "met" : "MISSED");
    std::fflush(stdout);
    return met;
}

template <typename F>
double millisecondsOf(F &&work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace q51::bench
