#include "sim/decoder_simulator.h"

#include <utility>

namespace q51::sim {

DecoderSimulator::DecoderSimulator(DecoderResponder responder, FaultOptions faults)
    : responder_(std::move(responder)), shaper_(faults)
{
    responder_.SetRefusing(faults.refuse);
}

std::vector<SimulatorEvent> DecoderSimulator::Feed(protocol::ByteView bytes)
{
    std::vector<SimulatorEvent> events;
    for (const ReceivedFrame &frame : reassembler_.Feed(bytes)) {
        Answer answer = responder_.Respond(frame);
        SimulatorEvent event;
        event.blockStored = answer.blockStored;
        event.reply = shaper_.Shape(std::move(answer.reply));
        event.log = "request " + answer.what;
        const std::size_t sent = event.reply.Joined().size();
        if (sent > 0)
            event.log += ", reply " + std::to_string(sent) + " bytes";
        if (!event.reply.note.empty())
            event.log += " (" + event.reply.note + ")";
        events.push_back(std::move(event));
    }
    if (const std::size_t skipped = reassembler_.TakeSkippedCount())
        events.push_back({"ignored " + std::to_string(skipped) + " bytes outside any frame", {}, false});
    return events;
}

std::vector<SimulatorEvent> DecoderSimulator::DropUnfinishedRequest()
{
    std::vector<SimulatorEvent> events;
    if (const std::size_t dropped = reassembler_.DropPending())
        events.push_back({"dropped an unfinished request of " + std::to_string(dropped) + " bytes", {}, false});
    return events;
}

} // namespace q51::sim
