#include "sim/reply_faults.h"

#include <algorithm>

namespace q51::sim {

using protocol::Bytes;

namespace {

void AddNote(std::string &note, const std::string &text)
{
    note += note.empty() ? text : ", " + text;
}

std::vector<ReplyChunk> Split(const Bytes &reply, std::size_t size, int pauseMs)
{
    std::vector<ReplyChunk> chunks;
    if (size == 0) {
        chunks.push_back({reply, 0});
        return chunks;
    }
    for (std::size_t at = 0; at < reply.size(); at += size) {
        const std::size_t end = std::min(reply.size(), at + size);
        chunks.push_back({Bytes(reply.begin() + static_cast<std::ptrdiff_t>(at), reply.begin() + static_cast<std::ptrdiff_t>(end)),
                          chunks.empty() ? 0 : pauseMs});
    }
    return chunks;
}

} // namespace

Bytes ShapedReply::Joined() const
{
    Bytes all;
    for (const ReplyChunk &c : chunks)
        all.insert(all.end(), c.bytes.begin(), c.bytes.end());
    return all;
}

ShapedReply ReplyShaper::Shape(Bytes reply)
{
    ShapedReply shaped;
    if (reply.empty())
        return shaped;
    if (dead_) {
        shaped.note = "not sent: no longer answering";
        return shaped;
    }
    if (!active_) {
        shaped.chunks.push_back({std::move(reply), 0});
        return shaped;
    }
    if (options_.silent) {
        shaped.note = "not sent: silent";
        return shaped;
    }
    if (options_.garbage) {
        // Never a control byte: nothing in it may pass for a mark or a frame.
        for (std::size_t i = 0; i < reply.size(); ++i)
            reply[i] = static_cast<std::uint8_t>(0xA0 + i % 0x50);
        AddNote(shaped.note, "garbage");
    }
    // A bare ACK has no frame and so no BCC to spoil.
    if (options_.badBcc && reply.size() > 1) {
        reply.back() ^= 0xFF;
        AddNote(shaped.note, "bad BCC");
    }
    if (options_.shortLength && reply.size() > *options_.shortLength) {
        reply.resize(*options_.shortLength);
        AddNote(shaped.note, "cut to " + std::to_string(reply.size()) + " bytes");
    }
    if (options_.extraBytes > 0) {
        for (std::size_t i = 0; i < options_.extraBytes; ++i)
            reply.push_back(static_cast<std::uint8_t>(0x55 + i));
        AddNote(shaped.note, std::to_string(options_.extraBytes) + " extra bytes");
    }
    if (CutAfter(reply, options_.stallAfter)) {
        AddNote(shaped.note, "stalled after " + std::to_string(reply.size()) + " bytes");
    } else if (CutAfter(reply, options_.hangUpAfter)) {
        shaped.after = AfterReply::HangUp;
        AddNote(shaped.note, "hanging up after " + std::to_string(reply.size()) + " bytes");
    } else if (options_.hangUpAfterReply) {
        shaped.after = AfterReply::HangUp;
        dead_ = true;
        AddNote(shaped.note, "hanging up after the whole reply");
    }
    if (!reply.empty())
        shaped.chunks = Split(reply, options_.splitSize, options_.pauseMs);
    return shaped;
}

bool ReplyShaper::NextRequest(std::optional<RequestKind> kind)
{
    if (options_.faultsOn != AllRequestKinds && (!kind || (options_.faultsOn & KindBit(*kind)) == 0)) {
        active_ = false;
        return active_;
    }
    active_ = ++requests_ >= options_.fromRequest;
    return active_;
}

bool ReplyShaper::CutAfter(Bytes &reply, std::optional<std::size_t> limit)
{
    if (!limit || reply.size() <= *limit)
        return false;
    reply.resize(*limit);
    dead_ = true;
    return true;
}

} // namespace q51::sim
