#pragma once
// Reply state of an exchange with the decoder; the numbers are those the
// windows and their messages are keyed on.

#include <cstdint>

namespace q51::protocol {

enum class InputPos : std::int16_t {
    NothingReceived = 0, // timeout: the reply never reached its full length
    Accepted = 1,
    Failed = 2,          // acknowledged, but the reply frame did not check out
    NotAcknowledged = 3, // the first reply byte was not ACK
};

} // namespace q51::protocol
