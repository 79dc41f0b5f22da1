#include "link/protocol/stored_data_requests.h"

#include <array>
#include <stdexcept>

#include "link/protocol/commands.h"
#include "link/protocol/frame.h"

namespace q51::protocol {

namespace {

Bytes GroupRequest(std::uint8_t allCommand, std::uint8_t rangeCommand, const std::optional<GroupRange> &range)
{
    if (!range)
        return BuildFrame(allCommand);
    if (!IsValidGroupRange(*range))
        throw std::invalid_argument("group range outside 0..2000 or reversed");
    const std::array<std::uint8_t, 4> payload{
        static_cast<std::uint8_t>(range->start / 256), static_cast<std::uint8_t>(range->start % 256),
        static_cast<std::uint8_t>(range->end / 256), static_cast<std::uint8_t>(range->end % 256)};
    return BuildFrame(rangeCommand, payload);
}

} // namespace

bool IsValidGroupRange(const GroupRange &range)
{
    return range.start >= MinGroupNumber && range.end <= MaxGroupNumber && range.start <= range.end;
}

Bytes ReadGroupsRequest(const std::optional<GroupRange> &range)
{
    return GroupRequest(Command::ReadAllGroups, Command::ReadGroupRange, range);
}

Bytes ClearGroupsRequest(const std::optional<GroupRange> &range)
{
    return GroupRequest(Command::ClearAllGroups, Command::ClearGroupRange, range);
}

Bytes FreeSpaceRequest()
{
    return BuildFrame(Command::ReadFreeSpace);
}

Bytes GroupSizesRequest()
{
    return BuildFrame(Command::ReadGroupSizes);
}

} // namespace q51::protocol
