#pragma once
// How many reply bytes each exchange waits for, and for how long. The
// exchange engine and the benchmarks both read these, so they cannot drift.
// A reply counts as received once this many bytes have arrived; bytes after
// that are not part of the reply (see acknowledged_frame.h).

#include <cstddef>

#include "link/protocol/frame.h"
#include "link/protocol/version_reply.h"
#include "model/configuration.h"

namespace q51::protocol {

struct ExchangeLimits {
    std::size_t receiveThreshold; // bytes
    int timeoutMs;
};

// ACK alone.
inline constexpr ExchangeLimits DownloadLimits{1, 5000};
// ACK + the 261-byte block frame.
inline constexpr ExchangeLimits UploadLimits{1 + FrameSize(BlockSize), 5000};
// ACK + the 35-byte version frame.
inline constexpr ExchangeLimits VersionLimits{1 + FrameSize(VersionTextSize), 3000};

static_assert(UploadLimits.receiveThreshold == 262);
static_assert(VersionLimits.receiveThreshold == 36);

} // namespace q51::protocol
