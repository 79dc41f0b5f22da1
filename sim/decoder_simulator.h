#pragma once
// The whole simulated decoder minus the line: request bytes in, shaped
// replies and log lines out. The pty program and in-process tests both
// drive this.

#include <cstddef>
#include <string>
#include <vector>

#include "link/protocol/bytes.h"
#include "sim/decoder_responder.h"
#include "sim/frame_reassembler.h"
#include "sim/isp_frame_reader.h"
#include "sim/reply_faults.h"

namespace q51::sim {

struct SimulatorEvent {
    std::string log; // one line, no line end
    ShapedReply reply;
    bool blockStored = false;
    bool unplug = false; // the decoder is to vanish now, as SIGUSR1 makes it
};

class DecoderSimulator {
public:
    explicit DecoderSimulator(DecoderResponder responder = {}, FaultOptions faults = {});

    // One event per request frame found, plus one for skipped bytes.
    std::vector<SimulatorEvent> Feed(protocol::ByteView bytes);
    // Forgets a request begun but not finished; nothing when there is none.
    std::vector<SimulatorEvent> DropUnfinishedRequest();
    // Another unit takes this one's place: its own block, the faults
    // counted afresh, nothing half received. Scan data stays.
    void NewUnit(const Block &block);
    [[nodiscard]] bool HasUnfinishedRequest() const
    {
        return reassembler_.PendingCount() > 0 || ispReader_.PendingCount() > 0;
    }

    [[nodiscard]] const DecoderResponder &responder() const { return responder_; }

private:
    // During a firmware update the bare frames of the update arrive between
    // ordinary ones: each byte goes to whichever reader it belongs to.
    [[nodiscard]] bool ForIspReader(std::uint8_t b) const;
    SimulatorEvent Event(Answer answer);
    // True when a request of the kind that unplugs the decoder has begun.
    [[nodiscard]] bool DropBegins() const;
    SimulatorEvent Unplugged();

    FrameReassembler reassembler_;
    IspFrameReader ispReader_;
    DecoderResponder responder_;
    ReplyShaper shaper_;
    FaultOptions faults_;
};

} // namespace q51::sim
