#pragma once
// The decoder answers a download with one byte: ACK accepts it, anything
// else refuses it. Bytes after the first are not looked at.

#include "link/protocol/bytes.h"
#include "link/protocol/input_pos.h"

namespace q51::protocol {

// NothingReceived for an empty reply, Accepted or Failed otherwise.
InputPos JudgeDownloadReply(ByteView reply);

} // namespace q51::protocol
