// The simulated decoder fed arbitrary request bytes. The first two input
// bytes choose faults and a piece size; the rest is the request stream.
// Whatever the pieces, the simulator must answer exactly as it does to the
// whole stream at once, and no reply may exceed the longest one it knows.

#include <cstddef>
#include <cstdint>

#include "link/protocol/stored_data_replies.h"
#include "sim/decoder_simulator.h"

using namespace q51;
using namespace q51::sim;

namespace {

FaultOptions FaultsFrom(std::uint8_t bits)
{
    FaultOptions f;
    f.refuse = bits & 0x01;
    f.badBcc = bits & 0x02;
    if (bits & 0x04)
        f.shortLength = bits >> 4;
    if (bits & 0x08)
        f.stallAfter = 100 + (bits >> 4);
    f.splitSize = (bits >> 4) & 0x03;
    return f;
}

protocol::Bytes Replies(DecoderSimulator &sim, protocol::ByteView stream, std::size_t piece, bool &stored)
{
    protocol::Bytes all;
    for (std::size_t at = 0; at < stream.size(); at += piece) {
        for (const SimulatorEvent &e : sim.Feed(stream.subspan(at, std::min(piece, stream.size() - at)))) {
            const protocol::Bytes reply = e.reply.Joined();
            // The group-size listing; with no groups stored, reads are short.
            if (reply.size() > protocol::GroupSizesReplySize)
                __builtin_trap();
            all.insert(all.end(), reply.begin(), reply.end());
            stored |= e.blockStored;
        }
    }
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const FaultOptions faults = FaultsFrom(data[0]);
    const std::size_t piece = std::size_t{data[1]} % 64 + 1;
    const protocol::ByteView stream(data + 2, size - 2);

    DecoderSimulator whole(DecoderResponder(), faults);
    DecoderSimulator pieces(DecoderResponder(), faults);
    bool storedWhole = false;
    bool storedPieces = false;
    if (Replies(whole, stream, stream.size() + 1, storedWhole) != Replies(pieces, stream, piece, storedPieces))
        __builtin_trap();
    if (storedWhole != storedPieces || whole.responder().block() != pieces.responder().block())
        __builtin_trap();
    return 0;
}
