#include "link/portio/port_io.h"

#if defined(__linux__) && (defined(__x86_64__) || defined(__i386__))
#define Q51_HAVE_IOPERM 1
#include <sys/io.h>
#endif

namespace q51 {

namespace {

#ifdef Q51_HAVE_IOPERM
// Grants access to the keyboard controller's data port only; every other
// port stays out of reach, so a wrong port number cannot touch other hardware.
class LinuxPortIo final : public PortIo {
public:
    bool InitializeWinIo() override
    {
        granted_ = ioperm(KeyboardDataPort, 1, 1) == 0;
        return granted_;
    }
    bool SetPortVal(std::uint16_t port, std::uint32_t value, int size) override
    {
        if (!granted_ || !IsKeyboardDataWrite(port, value, size))
            return false;
        outb(static_cast<unsigned char>(value), port);
        return true;
    }
    void ShutdownWinIo() override
    {
        if (granted_)
            ioperm(KeyboardDataPort, 1, 0);
        granted_ = false;
    }
    ~LinuxPortIo() override { ShutdownWinIo(); }

private:
    bool granted_ = false;
};
#endif

} // namespace

bool IsKeyboardDataWrite(std::uint16_t port, std::uint32_t value, int size)
{
    return port == KeyboardDataPort && size == 1 && value <= 0xFF;
}

std::unique_ptr<PortIo> CreatePlatformPortIo()
{
#ifdef Q51_HAVE_IOPERM
    return std::make_unique<LinuxPortIo>();
#else
    return std::make_unique<FailingPortIo>();
#endif
}

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
