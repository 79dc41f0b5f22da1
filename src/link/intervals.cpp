#include "link/intervals.h"

#include <cmath>

#include "link/protocol/exchange_limits.h"
#include "link/protocol/isp_limits.h"
#include "link/protocol/stored_data_limits.h"
#include "link/protocol/keyboard_line.h"
#include "link/protocol/status_reply.h"

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
    {Interval::KeyDelay, protocol::keyboard::ms::KeyDelay},
    {Interval::WakeUpLetterPause, protocol::keyboard::ms::LetterPause},
    {Interval::ReadyToDataPause, protocol::keyboard::ms::ReadyToData},
    {Interval::DownloadHandshakeTick, protocol::keyboard::ms::DownloadTick},
    {Interval::ReplyHandshakeTick, protocol::keyboard::ms::ReplyTick},
    {Interval::ConsoleHandshakeTick, protocol::keyboard::ms::ConsoleTick},
    {Interval::KeyboardDownloadAccepted, protocol::keyboard::ms::DownloadAccepted},
    {Interval::KeyboardUploadData, protocol::keyboard::ms::UploadData},
    {Interval::KeyboardVersionAccepted, protocol::keyboard::ms::VersionAccepted},
    {Interval::KeyboardVersionData, protocol::keyboard::ms::VersionData},
    {Interval::KeyboardCommandAccepted, protocol::keyboard::ms::CommandAccepted},
    {Interval::KeyboardStatusData, protocol::keyboard::ms::StatusData},
    {Interval::StatusReply, protocol::StatusLimits.timeoutMs},
    // Ample for four bytes to leave the port's buffer, even at 600 baud.
    {Interval::CommandDrain, 100},
    {Interval::IspAccessReply, protocol::IspAccessLimits.timeoutMs},
    {Interval::IspEraseReply, protocol::IspEraseLimits.timeoutMs},
    {Interval::IspPageReply, protocol::IspPageLimits.timeoutMs},
    {Interval::IspShortWait, protocol::IspShortWaitMs},
    {Interval::IspPagePause, protocol::IspPagePauseMs},
    {Interval::GroupDataReply, protocol::GroupDataLimits.timeoutMs},
    {Interval::StoredReplySettle, protocol::StoredReplySettleMs},
    {Interval::GroupDataRestFirst, protocol::GroupDataRestFirstWaitMs},
    {Interval::GroupDataRestNext, protocol::GroupDataRestNextWaitMs},
    {Interval::GroupSizesReply, protocol::GroupSizesLimits.timeoutMs},
    {Interval::FreeSpaceReply, protocol::FreeSpaceLimits.timeoutMs},
    {Interval::ClearReply, protocol::ClearLimits.timeoutMs},
    // Long enough for the rest of a scan to arrive, so it shows on one line.
    {Interval::TestWindowBatch, 200},
    {Interval::StationPoll, 500},
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
    return scaledDuration(nominalInterval(interval));
}

std::chrono::milliseconds scaledDuration(std::chrono::milliseconds nominal)
{
    const double scaled = std::round(double(nominal.count()) * g_scale);
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
