#include "link/intervals.h"

#include <cmath>

#include "link/protocol/exchange_limits.h"

namespace q51 {

namespace {

struct IntervalRow {
    Interval interval;
    int milliseconds;
};

constexpr IntervalRow Table[] = {
    {Interval::DownloadReply, protocol::DownloadLimits.timeoutMs},
    {Interval::UploadReply, protocol::UploadLimits.timeoutMs},
    {Interval::VersionReply, protocol::VersionLimits.timeoutMs},
};

double g_scale = 1.0; // user-interface thread only

} // namespace

std::chrono::milliseconds nominalInterval(Interval interval)
{
    for (const auto &row : Table) {
        if (row.interval == interval)
            return std::chrono::milliseconds(row.milliseconds);
    }
    // Every enumerator has a row; a missing one is caught by the table test.
    return std::chrono::milliseconds(0);
}

std::chrono::milliseconds scaledInterval(Interval interval)
{
    const double scaled = std::round(double(nominalInterval(interval).count()) * g_scale);
    return std::chrono::milliseconds(scaled < 1.0 ? 1 : static_cast<long long>(scaled));
}

void setIntervalScale(double scale)
{
    if (std::isfinite(scale) && scale > 0.0)
        g_scale = scale;
}

double intervalScale()
{
    return g_scale;
}

} // namespace q51
