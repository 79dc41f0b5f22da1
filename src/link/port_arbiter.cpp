#include "link/port_arbiter.h"

#include <array>

namespace q51 {

namespace {

enum class MakeWay {
    Close,        // closed when open
    OpenAndClose, // closed when open, else opened and closed again, so that its opening and closing steps run
};

struct PortRule {
    PortUser opener;
    PortUser other; // the window that makes way
    MakeWay how;
};

// The firmware-update window holds its port only during an update, and
// the pages none: the transfer window and the console close what could
// hold one. The test window listens to its port while open, but the pages
// may stay. The stored-data reader lets the transfer window's opening
// steps run, whose first closes the firmware-update window.
constexpr auto Rules = std::to_array<PortRule>({
    {PortUser::Transfer, PortUser::FirmwareUpdate, MakeWay::Close},
    {PortUser::FirmwareUpdate, PortUser::Page, MakeWay::Close},
    {PortUser::FirmwareUpdate, PortUser::Transfer, MakeWay::Close},
    {PortUser::CommandConsole, PortUser::Page, MakeWay::Close},
    {PortUser::CommandConsole, PortUser::Transfer, MakeWay::Close},
    {PortUser::TestWindow, PortUser::Transfer, MakeWay::Close},
    {PortUser::StoredData, PortUser::Transfer, MakeWay::OpenAndClose},
    // Closed so that the settings it finds are the ones the window opens with.
    {PortUser::FindDecoder, PortUser::Transfer, MakeWay::Close},
    {PortUser::Compare, PortUser::Transfer, MakeWay::Close},
});

} // namespace

bool PortArbiter::makeWayFor(PortUser opener)
{
    for (const PortRule &rule : Rules) {
        if (rule.opener != opener)
            continue;
        if (rule.how == MakeWay::OpenAndClose && !windows_.isWindowOpen(rule.other))
            windows_.openWindow(rule.other);
        if (windows_.isWindowOpen(rule.other) && !windows_.closeWindow(rule.other))
            return false;
    }
    return true;
}

} // namespace q51
