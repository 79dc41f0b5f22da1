#include "link/protocol/console_requests.h"

#include "link/protocol/frame.h"

namespace q51::protocol {

Bytes StatusRequest()
{
    return BuildFrame(Command::Status);
}

Bytes TriggerRequest()
{
    return BuildFrame(Command::Trigger);
}

} // namespace q51::protocol
