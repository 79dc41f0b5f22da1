#pragma once
// Which device stands behind "Com n". An environment variable Q51_COM<n>
// overrides the platform name, so USB adapters and the simulator's
// pseudo-terminal can be used as any of the four ports.

#include <QString>

namespace q51 {

// Q51_COM<n> when set and non-empty, else /dev/ttyS<n-1> (COM<n> on Windows).
// Empty for a port number below 1, which names no device.
[[nodiscard]] QString deviceNameForPort(int portNumber);

} // namespace q51
