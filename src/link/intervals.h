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
    // The keyboard line (keyboard_line.h): pacing of what the host writes,
    KeyDelay,             // after each data character (Configuration::KeyDelay)
    WakeUpLetterPause,    // after each wake-up letter
    ReadyToDataPause,     // between the decoder's "S" and the first data character
    DownloadHandshakeTick,
    ReplyHandshakeTick,   // before an upload or a version query
    ConsoleHandshakeTick, // the command console's
    // and how long it waits for what the decoder types.
    KeyboardDownloadAccepted,
    KeyboardUploadData,
    KeyboardVersionAccepted,
    KeyboardVersionData,
    KeyboardCommandAccepted, // status or trigger
    KeyboardStatusData,
    StatusReply,       // status over RS232: ACK and the six reply bytes
    CommandDrain,      // a command with no reply: time to leave the port before it closes
    // Firmware update: the decoder's one-byte answers,
    IspAccessReply,
    IspEraseReply,
    IspPageReply,      // per attempt
    IspShortWait,      // before the erase and the end frame; also lets the end frame leave
    IspPagePause,      // after each accepted page
    // stored data: the reply's first byte and its first part,
    GroupDataReply,
    StoredReplySettle, // from the first byte of a read reply until its first part is judged
    GroupDataRestFirst, // then the rest of a read reply: the first part of it,
    GroupDataRestNext,  // and each part after one that did not end it
    GroupSizesReply,
    FreeSpaceReply,
    ClearReply,
    // and the test window, which shows what arrives in batches.
    TestWindowBatch,
    // The production station: how often an idle port is asked for a
    // decoder's version, and how long each asking waits.
    StationPoll,
    // Later exchanges (stored-data reads of 65535 ms, keyboard handshake
    // ticks, pacing pauses) add their rows here.
};

// The value the decoder protocol expects, unscaled.
[[nodiscard]] std::chrono::milliseconds nominalInterval(Interval interval);

// The value to wait for: the nominal one times the process-wide scale,
// never below 1 ms so that ordering between intervals survives scaling.
[[nodiscard]] std::chrono::milliseconds scaledInterval(Interval interval);
// The same for a time worked out elsewhere (from a line's speed, say).
[[nodiscard]] std::chrono::milliseconds scaledDuration(std::chrono::milliseconds nominal);

// 1.0 in the program; tests may set e.g. 0.01. Values that are not positive
// and finite are ignored.
void setIntervalScale(double scale);
[[nodiscard]] double intervalScale();

} // namespace q51
