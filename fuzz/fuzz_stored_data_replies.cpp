// Stored-data replies of any content, cut into parts of any size: no read
// outside the reply, records never larger than the reply allows, and the
// read's outcome the same however the reply is cut once its first part
// holds the header.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/protocol/stored_data_replies.h"
#include "link/protocol/stored_read_parser.h"

using namespace q51::protocol;

namespace {

struct Outcome {
    StoredDataStatus status;
    bool finished;
    std::vector<GroupRecord> records;
};

Outcome Read(ByteView reply, std::size_t first, std::size_t piece)
{
    StoredReadParser parser(7);
    Outcome out{};
    auto collect = [&] {
        for (GroupRecord &r : parser.TakeRecords())
            out.records.push_back(std::move(r));
    };
    first = first < reply.size() ? first : reply.size();
    parser.TakeFirstPart(reply.first(first));
    collect();
    for (std::size_t at = first; at < reply.size(); at += piece) {
        parser.TakeMore(reply.subspan(at, piece < reply.size() - at ? piece : reply.size() - at));
        collect();
    }
    if (parser.bytesSeen() > parser.recordBytes() + 2)
        __builtin_trap();
    out.status = parser.status();
    out.finished = parser.Finished();
    return out;
}

bool Same(const Outcome &a, const Outcome &b)
{
    if (a.status != b.status || a.finished != b.finished || a.records.size() != b.records.size())
        return false;
    for (std::size_t i = 0; i < a.records.size(); ++i) {
        if (a.records[i].group != b.records[i].group || a.records[i].data != b.records[i].data)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes say how the rest is cut.
    const std::size_t first = data[0];
    const std::size_t piece = std::size_t{data[1]} + 1;
    const ByteView reply(data + 2, size - 2);

    const Outcome whole = Read(reply, reply.size(), 1);
    const Outcome cut = Read(reply, first, piece);
    std::size_t dataBytes = 0;
    for (const GroupRecord &r : cut.records) {
        if (r.data.size() > 253)
            __builtin_trap();
        dataBytes += r.data.size();
    }
    if (dataBytes > reply.size())
        __builtin_trap();
    if (first >= GroupDataFirstPartMinimum && reply.size() >= GroupDataFirstPartMinimum && !Same(whole, cut))
        __builtin_trap();

    const GroupSizesReply sizes = JudgeGroupSizesReply(reply);
    if (sizes.sizes.size() > GroupSizesCount
        || (reply.size() < GroupSizesReplySize && sizes.status != StoredDataStatus::NothingReceived))
        __builtin_trap();
    for (const std::uint8_t s : sizes.sizes) {
        if (s == 0)
            __builtin_trap();
    }
    const FreeSpaceReply free = JudgeFreeSpaceReply(reply);
    if (free.status == StoredDataStatus::Accepted && free.freeGroups == 0)
        __builtin_trap();
    if (JudgeClearReply(reply) == StoredDataStatus::NothingReceived && !reply.empty())
        __builtin_trap();
    return 0;
}
