#include "link/protocol/stored_data_replies.h"

#include "link/protocol/commands.h"
#include "link/protocol/control_bytes.h"
#include "link/protocol/frame.h"

namespace q51::protocol {

namespace {

constexpr std::size_t SizesStart = 5;

bool HeaderMatches(ByteView reply, std::uint8_t command)
{
    return reply[1] == Stx && reply[2] == command;
}

} // namespace

StoredDataStatus JudgeClearReply(ByteView reply)
{
    if (reply.size() < ClearReplySize)
        return StoredDataStatus::NothingReceived;
    return reply[0] == Ack ? StoredDataStatus::Accepted : StoredDataStatus::NotAcknowledged;
}

FreeSpaceReply JudgeFreeSpaceReply(ByteView reply)
{
    if (reply.size() < FreeSpaceReplySize)
        return {};
    reply = reply.first(FreeSpaceReplySize);
    if (reply[0] != Ack)
        return {StoredDataStatus::NotAcknowledged, 0};
    if (Xor(reply.subspan(1)) != 0)
        return {StoredDataStatus::CheckSumError, 0};
    if (!HeaderMatches(reply, Command::FreeSpaceReply))
        return {StoredDataStatus::CommandError, 0};
    std::uint64_t number = 0;
    for (std::size_t i = 4; i < 8; ++i)
        number = number * 256 + reply[i];
    return {StoredDataStatus::Accepted, number + 1};
}

GroupSizesReply JudgeGroupSizesReply(ByteView reply)
{
    GroupSizesReply judged;
    if (reply.size() < GroupSizesReplySize)
        return judged;
    reply = reply.first(GroupSizesReplySize);
    if (reply[0] != Ack) {
        judged.status = StoredDataStatus::NotAcknowledged;
        return judged;
    }
    if (!HeaderMatches(reply, Command::GroupSizesReply)) {
        judged.status = StoredDataStatus::CommandError;
        return judged;
    }
    std::uint8_t x = Xor(reply.subspan(1, 4));
    for (std::size_t i = SizesStart; i < SizesStart + GroupSizesCount; ++i) {
        x ^= reply[i];
        if (reply[i] == 0)
            break;
        judged.sizes.push_back(reply[i]);
    }
    x ^= reply[GroupSizesReplySize - 1];
    x ^= Etx;
    judged.status = x == 0 ? StoredDataStatus::Accepted : StoredDataStatus::CheckSumError;
    return judged;
}

} // namespace q51::protocol
