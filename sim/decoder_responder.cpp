#include "sim/decoder_responder.h"

#include <algorithm>
#include <cstdio>

#include "link/protocol/commands.h"
#include "link/protocol/console_requests.h"
#include "link/protocol/control_bytes.h"
#include "link/protocol/frame.h"
#include "model/factory_defaults.h"
#include "sim/console_responder.h"

namespace q51::sim {

namespace Command = protocol::Command;
using protocol::Ack;
using protocol::Bytes;

namespace {

// ACK, then the frame if there is one.
Bytes Acknowledged(const Bytes &frame = {})
{
    Bytes reply(1 + frame.size());
    reply[0] = Ack;
    std::copy(frame.begin(), frame.end(), reply.begin() + 1);
    return reply;
}

std::string CommandName(std::uint8_t command)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", command);
    return text;
}

} // namespace

DecoderResponder::DecoderResponder() : DecoderResponder(FactoryBlock(), DefaultVersionText) {}

DecoderResponder::DecoderResponder(const Block &block, std::string_view versionText)
    : block_(block), version_(versionText)
{
}

void DecoderResponder::StartUnit(const Block &block)
{
    block_ = block;
    isp_.Leave();
}

Answer DecoderResponder::Respond(const ReceivedFrame &frame)
{
    if (frame.command != Command::IspAccess)
        isp_.Leave();
    return Refused(Dispatch(frame));
}

Answer DecoderResponder::Respond(const IspFrame &frame)
{
    const int completed = isp_.completedImages();
    Answer answer = Refused(isp_.Take(frame));
    if (isp_.completedImages() > completed && versionAfterUpdate_)
        version_ = *versionAfterUpdate_;
    return answer;
}

Answer DecoderResponder::Refused(Answer answer) const
{
    if (refusing_ && !answer.reply.empty()) {
        answer.reply[0] = Nak;
        answer.what += " (refused)";
    }
    return answer;
}

Answer DecoderResponder::Dispatch(const ReceivedFrame &frame)
{
    if (!frame.bccOk)
        return {{}, CommandName(frame.command) + " with a bad BCC: no reply", false};
    switch (frame.command) {
    case Command::WriteConfiguration:
        return WriteConfiguration(frame.payload);
    case Command::ReadConfiguration:
        return ReadConfiguration();
    case Command::ReadVersion:
        return ReadVersion();
    case Command::Status:
        return StatusAnswer(statusByte_);
    case Command::Trigger:
        return TriggerAnswer();
    case Command::IspAccess:
        return isp_.Access(frame.payload);
    case Command::ReadAllGroups:
    case Command::ReadGroupRange:
        return groups_.Read(frame.payload);
    case Command::ReadGroupSizes:
        return groups_.Sizes();
    case Command::ReadFreeSpace:
        return groups_.FreeSpace();
    case Command::ClearAllGroups:
    case Command::ClearGroupRange:
        return groups_.Clear(frame.payload);
    default:
        return {{}, "unknown command " + CommandName(frame.command) + ": no reply", false};
    }
}

Answer DecoderResponder::WriteConfiguration(const Bytes &payload)
{
    if (payload.size() != block_.size())
        return {{Nak}, "write configuration with " + std::to_string(payload.size()) + " bytes: refused", false};
    if (refusing_)
        return {{Nak}, "write configuration: not stored", false};
    if (forgetting_)
        return {Acknowledged(), "write configuration: acknowledged, not stored", false};
    std::copy(payload.begin(), payload.end(), block_.begin());
    return {Acknowledged(), "write configuration: block stored", true};
}

Answer DecoderResponder::ReadConfiguration() const
{
    return {Acknowledged(protocol::BuildFrame(Command::WriteConfiguration, block_)), "read configuration", false};
}

Answer DecoderResponder::ReadVersion() const
{
    const std::string &text = version_.str();
    return {Acknowledged(protocol::BuildFrame(Command::VersionReply, protocol::AsBytes(text))), "read version", false};
}

} // namespace q51::sim
