#pragma once
// Ways the simulated decoder can misbehave. Refusing is the decoder's own
// doing (DecoderResponder); the rest happen to each reply on its way out,
// in this order: silent, garbage, bad BCC, short, extra bytes, stall or
// hang-up, split. None of those changes what the decoder has stored.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "link/protocol/bytes.h"
#include "sim/request_kinds.h"

namespace q51::sim {

struct FaultOptions {
    bool silent = false;                    // send nothing at all
    bool refuse = false;                    // turn every request down: NAK first, writes not stored
    bool badBcc = false;                    // last byte of a reply frame inverted
    std::optional<std::size_t> shortLength; // send only the first N bytes of each reply
    // The first reply longer than N bytes is cut after N; then the decoder
    // sends nothing more (stall) or closes the line (hang-up).
    std::optional<std::size_t> stallAfter;
    std::optional<std::size_t> hangUpAfter;
    bool hangUpAfterReply = false; // the first reply whole, then the line closed
    std::size_t extraBytes = 0; // bytes of noise sent after each reply
    bool garbage = false;       // each reply's bytes replaced by noise of the same length
    std::size_t splitSize = 0; // 0: whole replies; else chunks of this many bytes
    int pauseMs = 0;           // between chunks
    // The request (counted from 1) the faults start at: the replies before
    // it are sent as they are, so a later step of a longer exchange can be
    // spoiled on its own.
    std::size_t fromRequest = 1;
    // Only requests of these kinds are spoiled (and counted for
    // fromRequest); the others are answered as usual.
    RequestKinds faultsOn = AllRequestKinds;
    // Downloads are acknowledged but not stored, so a read-back shows the
    // block as it was.
    bool forgetWrites = false;
    // The decoder unplugs as soon as a request of this kind begins to arrive.
    std::optional<RequestKind> dropDuring;
};

enum class AfterReply { Continue, HangUp };

struct ReplyChunk {
    protocol::Bytes bytes;
    int pauseBeforeMs = 0;
};

struct ShapedReply {
    std::vector<ReplyChunk> chunks; // none: nothing is sent
    AfterReply after = AfterReply::Continue;
    std::string note; // what the faults did, for the log; empty when nothing

    [[nodiscard]] protocol::Bytes Joined() const;
};

class ReplyShaper {
public:
    explicit ReplyShaper(FaultOptions options = {}) : options_(options) {}

    ShapedReply Shape(protocol::Bytes reply);

    // Counts one more request of this kind (nothing: a command the decoder
    // does not know); true when faults apply to its reply.
    bool NextRequest(std::optional<RequestKind> kind);

    // True once a stall or hang-up has cut a reply: nothing is sent any more,
    // and a hang-up also ends the simulator once the cut reply is out.
    [[nodiscard]] bool Dead() const { return dead_; }

private:
    // Cuts a reply longer than the limit down to it; from then on the
    // decoder is dead.
    bool CutAfter(protocol::Bytes &reply, std::optional<std::size_t> limit);

    FaultOptions options_;
    bool dead_ = false;
    std::size_t requests_ = 0;
    bool active_ = true; // faults apply to the current request's reply
};

} // namespace q51::sim
