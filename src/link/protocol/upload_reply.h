#pragma once
// The reply to a configuration read (02 80 03 81): ACK and the block in a
// write-configuration frame, 262 bytes in all. Judged as described in
// acknowledged_frame.h.

#include <optional>

#include "link/protocol/bytes.h"
#include "link/protocol/input_pos.h"
#include "model/configuration.h"

namespace q51::protocol {

struct UploadReply {
    InputPos state = InputPos::NothingReceived;
    std::optional<Block> block; // the decoder's whole block, only when Accepted
};

UploadReply JudgeUploadReply(ByteView reply);

} // namespace q51::protocol
