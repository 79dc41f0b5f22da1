#pragma once
// Every interval the link waits for, in one table, so that tests can run the
// real timing logic at a fraction of its wall-clock cost and one place holds
// the numbers the decoder protocol was tuned to.

#include <chrono>

namespace q51 {

enum class Interval {
    DownloadReply, // configuration written: the decoder's acknowledge
    UploadReply,   // configuration read: the whole reply frame
    VersionReply,  // firmware version over RS232: the whole reply frame
    // Later exchanges (stored-data reads of 65535 ms, keyboard handshake
    // ticks, pacing pauses) add their rows here.
};

// The value the decoder protocol expects, unscaled.
[[nodiscard]] std::chrono::milliseconds nominalInterval(Interval interval);

// The value to wait for: the nominal one times the process-wide scale,
// never below 1 ms so that ordering between intervals survives scaling.
[[nodiscard]] std::chrono::milliseconds scaledInterval(Interval interval);

// 1.0 in the program; tests may set e.g. 0.01. Values that are not positive
// and finite are ignored.
void setIntervalScale(double scale);
[[nodiscard]] double intervalScale();

} // namespace q51
