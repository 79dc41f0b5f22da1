#pragma once
// Judges of the decoder's replies to the clear, free-space and group-size
// requests. Each is given the bytes gathered up to its size; fewer bytes
// than that read as nothing received, since the request would still be
// waiting for the rest.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/protocol/bytes.h"
#include "link/protocol/stored_data_status.h"

namespace q51::protocol {

// Clear: ACK alone accepts.
inline constexpr std::size_t ClearReplySize = 1;
// Free space: ACK, 02 62, a length byte, 4 bytes, ETX, BCC.
inline constexpr std::size_t FreeSpaceReplySize = 10;
// Group sizes: ACK, 02 63, two length bytes, 1998 sizes, ETX, BCC.
inline constexpr std::size_t GroupSizesCount = 1998;
inline constexpr std::size_t GroupSizesReplySize = 7 + GroupSizesCount;

// Accepted when the first byte is ACK, NotAcknowledged otherwise.
StoredDataStatus JudgeClearReply(ByteView reply);

struct FreeSpaceReply {
    StoredDataStatus status = StoredDataStatus::NothingReceived;
    // Only when Accepted: the decoder sends the free group space minus one.
    std::uint64_t freeGroups = 0;
};

// Checks in this order, the first failing one deciding: ACK, the XOR of
// bytes 1 to 9, the reply command and STX.
FreeSpaceReply JudgeFreeSpaceReply(ByteView reply);

struct GroupSizesReply {
    StoredDataStatus status = StoredDataStatus::NothingReceived;
    // Sizes of groups 0, 1, ... up to the first 0, which ends the stored
    // groups. Filled when the header checks out, also under CheckSumError,
    // because the listing is shown either way.
    std::vector<std::uint8_t> sizes;
};

// ACK first, then STX and the reply command, then the check: the XOR of
// bytes 1 to 4, of the sizes up to and including the end marker, of the
// BCC and of ETX (counted as 0x03 whatever arrived there) must be 0. A
// decoder pads after the end marker with zeros, which leave the XOR alone.
GroupSizesReply JudgeGroupSizesReply(ByteView reply);

} // namespace q51::protocol
