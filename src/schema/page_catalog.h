#pragma once
// The child windows the main window switches between, by ActivePage number.

#include <array>

namespace q51 {

struct ChildWindowInfo {
    int page;               // ActivePage value
    const char *objectName; // the window's name
    const char *caption;    // its title bar
};

inline constexpr std::array<ChildWindowInfo, 5> ChildWindows{{
    {1, "cfg3", "Interface"},
    {2, "cfg4", "Communication Parameters"},
    {3, "cfg5", "Bar Codes and Others"},
    {4, "cfg6", "Miscellaneous Parameters"},
    {5, "frmTransmit", "Transmit"},
}};

// nullptr for a number that names no child window.
const ChildWindowInfo *FindChildWindow(int page);

} // namespace q51
