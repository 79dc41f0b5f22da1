#pragma once
// How a service window gets its own port: the application hands it a
// factory for the real serial port, tests one for a fake or a pseudo-terminal.

#include <functional>
#include <memory>

#include "link/transport.h"

namespace q51 {

using TransportFactory = std::function<std::unique_ptr<Transport>()>;

} // namespace q51
