#pragma once
// The reply to a version query (02 85 03 84): ACK and a version frame whose
// payload is 30 bytes of text, 36 bytes in all. Judged as described in
// acknowledged_frame.h.

#include <cstddef>
#include <string>

#include "link/protocol/bytes.h"
#include "link/protocol/input_pos.h"

namespace q51::protocol {

inline constexpr std::size_t VersionTextSize = 30;

struct VersionReply {
    InputPos state = InputPos::NothingReceived;
    // Only when Accepted: the 30 payload bytes unchanged, one character each,
    // trailing blanks kept. Bytes above 0x7F are single-byte code-page
    // characters; the caller decides how to show them.
    std::string text;
};

VersionReply JudgeVersionReply(ByteView reply);

} // namespace q51::protocol
