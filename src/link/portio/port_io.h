#pragma once
// Direct access to the PC keyboard controller, for decoders attached as a
// keyboard wedge. The keyboard path writes bytes to the controller's data
// port; the decoder answers by typing.

#include <cstdint>
#include <memory>
#include <string>

namespace q51 {

inline constexpr std::uint16_t KeyboardDataPort = 0x60;

// One exchange's hold on the port, from its first write to its result.
// Ending it without finish() (an abort, a failure) drops at once every write
// not yet made, so that none reaches the port after the result is told.
class PortExchange {
public:
    virtual ~PortExchange() = default;
    virtual bool SetPortVal(std::uint16_t port, std::uint32_t value, int size) = 0;
    // The exchange succeeded: the writes asked for may still go out.
    virtual void finish() {}
    // What went wrong with the port during the exchange, in words for the
    // user (what happened, what to do); empty when nothing did.
    [[nodiscard]] virtual std::string trouble() const { return {}; }
};

class PortIo {
public:
    virtual ~PortIo() = default;
    // Non-zero (true) on success.
    virtual bool InitializeWinIo() = 0;
    // Writes value (size bytes, 1 for the keyboard controller) to an I/O port.
    virtual bool SetPortVal(std::uint16_t port, std::uint32_t value, int size) = 0;
    virtual void ShutdownWinIo() = 0;

    // Holds the port for one exchange. A backend that holds nothing between
    // exchanges gets hold of the port here; by default writes go through
    // SetPortVal.
    [[nodiscard]] virtual std::unique_ptr<PortExchange> BeginExchange();
};

// Never initialises: for platforms without port access, and for tests.
class FailingPortIo final : public PortIo {
public:
    bool InitializeWinIo() override { return false; }
    bool SetPortVal(std::uint16_t, std::uint32_t, int) override { return false; }
    void ShutdownWinIo() override {}
};

// The window's backend is the keyboard-port helper (link/keyboard_helper_port_io.h):
// the window itself never holds the right to write I/O ports.

// Up to ten InitializeWinIo attempts, ShutdownWinIo after each failed one.
bool InitializePortIo(PortIo &io, int attempts = 10);

} // namespace q51
