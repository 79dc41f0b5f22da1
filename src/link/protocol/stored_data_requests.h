#pragma once
// Request frames for the data a decoder keeps as numbered groups: read them
// (all, or a range), clear them (all, or a range), their sizes, and the free
// group space.

#include <cstdint>
#include <optional>

#include "link/protocol/bytes.h"

namespace q51::protocol {

// Group numbers a request may name.
inline constexpr int MinGroupNumber = 0;
inline constexpr int MaxGroupNumber = 2000;

struct GroupRange {
    int start = 0;
    int end = 0;
};

// Both ends within MinGroupNumber..MaxGroupNumber and end not below start.
bool IsValidGroupRange(const GroupRange &range);

// 02 C0 03 C1 for all groups; for a range 02 41 03 SH SL EH EL 03 BCC.
// Throws std::invalid_argument for a range that is not valid (a caller bug).
Bytes ReadGroupsRequest(const std::optional<GroupRange> &range);
// 02 C4 03 C5 for all groups; for a range 02 40 03 SH SL EH EL 03 BCC.
Bytes ClearGroupsRequest(const std::optional<GroupRange> &range);
// 02 C2 03 C3
Bytes FreeSpaceRequest();
// 02 C3 03 C2
Bytes GroupSizesRequest();

} // namespace q51::protocol
