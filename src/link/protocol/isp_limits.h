#pragma once
// Reply thresholds and waits of the firmware update. Every reply is one
// byte; only the first byte of what arrives is looked at.

#include "link/protocol/exchange_limits.h"

namespace q51::protocol {

inline constexpr ExchangeLimits IspAccessLimits{1, 5000};
inline constexpr ExchangeLimits IspEraseLimits{1, 5000};
// Per attempt; a page gets three.
inline constexpr ExchangeLimits IspPageLimits{1, 3000};
inline constexpr int IspPageAttempts = 3;
// Before the erase and the end frame: lets the decoder switch over.
inline constexpr int IspShortWaitMs = 5;
// After every accepted page, while the decoder writes it to flash.
inline constexpr int IspPagePauseMs = 200;

} // namespace q51::protocol
