#pragma once
// The link settings a verb talks at, and the exit code an exchange's end
// stands for.

#include <optional>

#include "cli/command_line.h"
#include "link/exchange.h"
#include "link/protocol/input_pos.h"
#include "link/serial_settings.h"

namespace q51::cli {

inline constexpr SerialSettings DefaultSettings{9600, 'N', 8, 1};

// UsageError (with the window's reason on stderr) when --settings names
// even or odd parity, under which no reply can be taken in.
int CheckParityAllowsReplies(const CommandLine &line);

// Time-out, lost port, refusal or bad reply; Success for an accepted reply.
// A download's "failed" means the decoder did not acknowledge: a refusal.
int ExitCodeFor(const ExchangeResult &result, bool failedMeansRefused = false);

} // namespace q51::cli
