#pragma once
// Direct access to the PC keyboard controller, for decoders attached as a
// keyboard wedge. The keyboard path writes bytes to the controller's data
// port; the decoder answers by typing.

#include <cstdint>
#include <memory>

namespace q51 {

inline constexpr std::uint16_t KeyboardDataPort = 0x60;

// Whether a backend on a running multi-user system may carry out this write:
// one byte to the keyboard controller's data port, nothing else. The
// protocol also clears the interrupt controller's mask register (port 0x21)
// after each typed answer; under a running kernel that would unmask every
// legacy interrupt line behind the kernel's back, so the call is made at the
// interface (where tests see it) and refused here.
[[nodiscard]] bool IsKeyboardDataWrite(std::uint16_t port, std::uint32_t value, int size);

class PortIo {
public:
    virtual ~PortIo() = default;
    // Non-zero (true) on success.
    virtual bool InitializeWinIo() = 0;
    // Writes value (size bytes, 1 for the keyboard controller) to an I/O port.
    virtual bool SetPortVal(std::uint16_t port, std::uint32_t value, int size) = 0;
    virtual void ShutdownWinIo() = 0;
};

// Never initialises: for platforms without port access, and for tests.
class FailingPortIo final : public PortIo {
public:
    bool InitializeWinIo() override { return false; }
    bool SetPortVal(std::uint16_t, std::uint32_t, int) override { return false; }
    void ShutdownWinIo() override {}
};

// The backend for this machine: ioperm/outb on Linux x86 (root or
// CAP_SYS_RAWIO; without them InitializeWinIo fails), the failing one
// elsewhere. It writes only what IsKeyboardDataWrite allows. Tests never construct it, as
// it would really write to the machine's keyboard controller.
std::unique_ptr<PortIo> CreatePlatformPortIo();

// Up to ten InitializeWinIo attempts, ShutdownWinIo after each failed one.
bool InitializePortIo(PortIo &io, int attempts = 10);

} // namespace q51
