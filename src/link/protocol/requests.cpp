#include "link/protocol/requests.h"

#include "link/protocol/commands.h"
#include "link/protocol/frame.h"

namespace q51::protocol {

Bytes DownloadFrame(const Block &block)
{
    return BuildFrame(Command::WriteConfiguration, block);
}

Bytes ReadConfigurationRequest()
{
    return BuildFrame(Command::ReadConfiguration);
}

Bytes ReadVersionRequest()
{
    return BuildFrame(Command::ReadVersion);
}

} // namespace q51::protocol
