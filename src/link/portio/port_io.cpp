#include "link/portio/port_io.h"

namespace q51 {

bool InitializePortIo(PortIo &io, int attempts)
{
    for (int i = 0; i < attempts; ++i) {
        if (io.InitializeWinIo())
            return true;
        io.ShutdownWinIo();
    }
    return false;
}

} // namespace q51
