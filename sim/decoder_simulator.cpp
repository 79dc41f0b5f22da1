#include "sim/decoder_simulator.h"

#include <utility>

namespace q51::sim {

DecoderSimulator::DecoderSimulator(DecoderResponder responder, FaultOptions faults)
    : responder_(std::move(responder)), shaper_(faults), faults_(std::move(faults))
{
    responder_.SetRefusing(faults_.refuse && faults_.fromRequest <= 1 && faults_.faultsOn == AllRequestKinds);
    responder_.SetForgettingWrites(faults_.forgetWrites);
}

void DecoderSimulator::NewUnit(const Block &block)
{
    responder_.StartUnit(block);
    reassembler_.DropPending();
    ispReader_.DropPending();
    shaper_ = ReplyShaper(faults_);
}

std::vector<SimulatorEvent> DecoderSimulator::Feed(protocol::ByteView bytes)
{
    std::vector<SimulatorEvent> events;
    // One byte at a time: a frame may switch the decoder into or out of a
    // firmware update, and the bytes after it must be read accordingly.
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (ForIspReader(bytes[i])) {
            if (std::optional<IspFrame> frame = ispReader_.Feed(bytes[i])) {
                const bool spoiled = shaper_.NextRequest(RequestKind::Update);
                responder_.SetRefusing(faults_.refuse && spoiled);
                events.push_back(Event(responder_.Respond(*frame)));
            }
        } else {
            for (const ReceivedFrame &frame : reassembler_.Feed(bytes.subspan(i, 1))) {
                const bool spoiled = shaper_.NextRequest(KindOfCommand(frame.command));
                responder_.SetRefusing(faults_.refuse && spoiled);
                events.push_back(Event(responder_.Respond(frame)));
            }
        }
        // The rest of what arrived would have gone to a device no longer there.
        if (DropBegins()) {
            events.push_back(Unplugged());
            return events;
        }
    }
    if (const std::size_t skipped = reassembler_.TakeSkippedCount())
        events.push_back({"ignored " + std::to_string(skipped) + " bytes outside any frame", {}, false});
    return events;
}

bool DecoderSimulator::DropBegins() const
{
    if (!faults_.dropDuring)
        return false;
    if (*faults_.dropDuring == RequestKind::Update && ispReader_.PendingCount() > 0)
        return true;
    const std::optional<std::uint8_t> command = reassembler_.PendingCommand();
    return command && KindOfCommand(*command) == faults_.dropDuring;
}

SimulatorEvent DecoderSimulator::Unplugged()
{
    reassembler_.DropPending();
    ispReader_.DropPending();
    reassembler_.TakeSkippedCount();
    SimulatorEvent event;
    event.log = "a " + std::string(KindName(*faults_.dropDuring)) + " request began: unplugging";
    event.unplug = true;
    return event;
}

std::vector<SimulatorEvent> DecoderSimulator::DropUnfinishedRequest()
{
    std::vector<SimulatorEvent> events;
    if (const std::size_t dropped = reassembler_.DropPending() + ispReader_.DropPending())
        events.push_back({"dropped an unfinished request of " + std::to_string(dropped) + " bytes", {}, false});
    return events;
}

bool DecoderSimulator::ForIspReader(std::uint8_t b) const
{
    if (reassembler_.PendingCount() > 0)
        return false; // an ordinary frame is under way
    if (ispReader_.PendingCount() > 0)
        return true;
    return responder_.isp().Active() && IspFrameReader::StartsFrame(b);
}

SimulatorEvent DecoderSimulator::Event(Answer answer)
{
    SimulatorEvent event;
    event.blockStored = answer.blockStored;
    event.reply = shaper_.Shape(std::move(answer.reply));
    event.log = "request " + answer.what;
    const std::size_t sent = event.reply.Joined().size();
    if (sent > 0)
        event.log += ", reply " + std::to_string(sent) + " bytes";
    if (!event.reply.note.empty())
        event.log += " (" + event.reply.note + ")";
    return event;
}

} // namespace q51::sim
