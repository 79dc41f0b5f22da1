#include "sim/stored_groups.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "link/protocol/commands.h"
#include "link/protocol/control_bytes.h"
#include "link/protocol/frame.h"
#include "link/protocol/stored_data_replies.h"
#include "link/protocol/stored_read_parser.h"
#include "sim/decoder_responder.h"

namespace q51::sim {

namespace {

using protocol::Bytes;

struct Range {
    std::size_t first = 0;
    std::size_t last = 0; // inclusive
};

// The four payload bytes of a range request, high bytes first.
std::optional<Range> RangeOf(const Bytes &payload)
{
    if (payload.size() != 4)
        return std::nullopt;
    return Range{std::size_t{payload[0]} * 256 + payload[1], std::size_t{payload[2]} * 256 + payload[3]};
}

// ACK, STX, command, a two-byte length (payload size minus one), the
// payload, ETX, and the BCC over everything from STX.
Bytes LongReply(std::uint8_t command, std::uint8_t lengthHigh, std::uint8_t lengthLow, const Bytes &payload)
{
    Bytes reply{protocol::Ack, protocol::Stx, command, lengthHigh, lengthLow};
    reply.insert(reply.end(), payload.begin(), payload.end());
    reply.push_back(protocol::Etx);
    reply.push_back(protocol::Xor(protocol::ByteView(reply).subspan(1)));
    return reply;
}

std::string RangeText(const Bytes &payload)
{
    if (payload.empty())
        return "all groups";
    const auto range = RangeOf(payload);
    if (!range)
        return "a range of " + std::to_string(payload.size()) + " bytes";
    return "groups " + std::to_string(range->first) + " to " + std::to_string(range->last);
}

} // namespace

StoredGroups::StoredGroups(std::vector<std::string> groups, std::size_t capacity) : capacity_(capacity)
{
    for (std::string &group : groups) {
        if (group.empty() || groups_.size() >= capacity_)
            continue;
        group.resize(std::min(group.size(), MaxGroupDataSize));
        groups_.push_back(std::move(group));
    }
}

std::vector<std::string> StoredGroups::Samples(std::size_t count)
{
    std::vector<std::string> samples;
    for (std::size_t i = 0; i < count; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "DATA%04zu", i);
        samples.emplace_back(text);
    }
    return samples;
}

Answer StoredGroups::Read(const Bytes &payload) const
{
    const std::string what = "read " + RangeText(payload);
    Range range{0, groups_.empty() ? 0 : groups_.size() - 1};
    if (!payload.empty()) {
        const auto asked = RangeOf(payload);
        if (!asked)
            return {{Nak}, what + ": refused", false};
        range = *asked;
    }
    // The records fill the payload up to the largest length the PC believes.
    constexpr std::size_t MaxRecordBytes = (std::size_t{protocol::MaxGroupDataLengthHigh} + 1) * 256;
    Bytes records;
    std::size_t sent = 0;
    for (std::size_t i = range.first; i <= range.last && i < groups_.size(); ++i) {
        const std::string &data = groups_[i];
        if (records.size() + data.size() + 2 > MaxRecordBytes)
            break;
        records.push_back(static_cast<std::uint8_t>(data.size() + 2));
        records.insert(records.end(), data.begin(), data.end());
        records.push_back(protocol::Xor(protocol::AsBytes(data)));
        ++sent;
    }
    if (records.empty())
        return {LongReply(protocol::Command::GroupDataReply, protocol::NoGroupDataLengthHigh, 0xFF, {}),
                what + ": no data", false};
    const std::size_t length = records.size() - 1;
    return {LongReply(protocol::Command::GroupDataReply, static_cast<std::uint8_t>(length / 256),
                      static_cast<std::uint8_t>(length % 256), records),
            what + ": " + std::to_string(sent) + " groups", false};
}

Answer StoredGroups::Sizes() const
{
    Bytes sizes(protocol::GroupSizesCount, 0);
    const std::size_t listed = std::min(groups_.size(), sizes.size());
    for (std::size_t i = 0; i < listed; ++i)
        sizes[i] = static_cast<std::uint8_t>(groups_[i].size());
    const std::size_t length = sizes.size() - 1;
    return {LongReply(protocol::Command::GroupSizesReply, static_cast<std::uint8_t>(length / 256),
                      static_cast<std::uint8_t>(length % 256), sizes),
            "group sizes: " + std::to_string(listed) + " groups", false};
}

Answer StoredGroups::FreeSpace() const
{
    const std::size_t free = capacity_ > groups_.size() ? capacity_ - groups_.size() : 0;
    const auto sent = static_cast<std::uint32_t>(std::max<std::size_t>(free, 1) - 1);
    const Bytes payload{static_cast<std::uint8_t>(sent >> 24), static_cast<std::uint8_t>(sent >> 16),
                        static_cast<std::uint8_t>(sent >> 8), static_cast<std::uint8_t>(sent)};
    Bytes reply{protocol::Ack};
    const Bytes frame = protocol::BuildFrame(protocol::Command::FreeSpaceReply, payload);
    reply.insert(reply.end(), frame.begin(), frame.end());
    return {reply, "free space: " + std::to_string(free) + " groups", false};
}

Answer StoredGroups::Clear(const Bytes &payload)
{
    const std::string what = "clear " + RangeText(payload);
    if (payload.empty()) {
        groups_.clear();
        return {{protocol::Ack}, what, false};
    }
    const auto range = RangeOf(payload);
    if (!range || range->last < range->first)
        return {{Nak}, what + ": refused", false};
    if (range->first < groups_.size()) {
        const std::size_t end = std::min(groups_.size(), range->last + 1);
        groups_.erase(groups_.begin() + static_cast<std::ptrdiff_t>(range->first),
                      groups_.begin() + static_cast<std::ptrdiff_t>(end));
    }
    return {{protocol::Ack}, what, false};
}

} // namespace q51::sim
