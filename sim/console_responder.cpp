#include "sim/console_responder.h"

#include <cstdio>

#include "link/protocol/control_bytes.h"
#include "link/protocol/status_reply.h"
#include "sim/decoder_responder.h"

namespace q51::sim {

Answer StatusAnswer(std::uint8_t statusByte)
{
    const protocol::StatusBytes status = protocol::StatusReplyBytes(statusByte);
    protocol::Bytes reply{protocol::Ack};
    reply.insert(reply.end(), status.begin(), status.end());
    char what[32];
    std::snprintf(what, sizeof what, "status 0x%02X", static_cast<unsigned>(statusByte));
    return {reply, what, false};
}

Answer TriggerAnswer()
{
    return {{}, "trigger: no reply", false};
}

} // namespace q51::sim
