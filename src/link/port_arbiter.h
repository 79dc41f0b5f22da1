#pragma once
// Which window makes way for which when it opens, so that two windows of
// this program never hold the same serial port: one table, asked by the
// main window before it opens a window. The main window does the closing
// (and the one opening) through PortWindows.
//
// Beside it, port_holders.h names the window that holds a device when an
// opening still finds it busy (the transfer window opened while the
// stored-data reader runs a request, two Com numbers on one device).

namespace q51 {

// The windows that use a port, and the pages that share the transfer
// window's place in the main window.
enum class PortUser {
    Page, Transfer, FirmwareUpdate, CommandConsole, TestWindow, StoredData,
    FindDecoder, Compare,
};

// What the arbiter asks of whoever keeps the windows.
class PortWindows {
public:
    virtual ~PortWindows() = default;
    [[nodiscard]] virtual bool isWindowOpen(PortUser window) const = 0;
    virtual void openWindow(PortUser window) = 0;
    // False when the window refused to close.
    virtual bool closeWindow(PortUser window) = 0;
};

class PortArbiter {
public:
    explicit PortArbiter(PortWindows &windows) : windows_(windows) {}

    // Lets every window the rules name make way for opener. False when one
    // refused to close: opener must not open then.
    bool makeWayFor(PortUser opener);

private:
    PortWindows &windows_;
};

} // namespace q51
