#pragma once
// Reply thresholds and waits of the stored-data requests.

#include "link/protocol/exchange_limits.h"
#include "link/protocol/stored_data_replies.h"

namespace q51::protocol {

// Read: the first byte starts the reply; the rest may take long (a decoder
// reads its memory while it sends), so later parts get their own waits.
inline constexpr ExchangeLimits GroupDataLimits{1, 10000};
// For the first later part, and then after each part that did not end it.
inline constexpr int GroupDataRestFirstWaitMs = 65535;
inline constexpr int GroupDataRestNextWaitMs = 60000;
// Once a read reply begins, it is given this long to arrive more
// whole before its first part is judged.
inline constexpr int StoredReplySettleMs = 100;

inline constexpr ExchangeLimits GroupSizesLimits{GroupSizesReplySize, 5000};
inline constexpr ExchangeLimits FreeSpaceLimits{FreeSpaceReplySize, 10000};
inline constexpr ExchangeLimits ClearLimits{ClearReplySize, 10000};

static_assert(GroupSizesLimits.receiveThreshold == 2005);

} // namespace q51::protocol
