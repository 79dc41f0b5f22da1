#pragma once
// What q51ctl's exit status tells a script. The numbers are documented in
// README.md and must not change once scripts rely on them.

namespace q51::cli {

enum ExitCode : int {
    Success = 0,
    Differences = 1,     // diff found parameters that differ, as diff(1) does
    UsageError = 2,      // unknown verb, missing argument, bad option value
    BadFile = 3,         // not a configuration file, unreadable, unwritable, image too large
    PortUnavailable = 4, // the port could not be opened with the settings; doctor found a port that cannot be used
    TimedOut = 5,        // the decoder did not answer in time
    Refused = 6,         // the decoder answered, but not with an acknowledge
    BadReply = 7,        // acknowledged, but the reply did not check out
    PortLost = 8,        // the device went away during the exchange
    VerifyMismatch = 9,  // download --verify, apply or download --backup read back a different block
    SomeFailed = 10,     // several ports: not every one succeeded (the summary gives each its code)
    Ambiguous = 11,      // detect: the port answered at more than one setting
    Stopped = 130,       // Ctrl+C or SIGTERM stopped the run, as a shell reports SIGINT
};

} // namespace q51::cli
