#pragma once
// Interface page: the interface (keyboard wedge, RS232, wand, OCIA, USB),
// the hidden memory and second-port fields, and the reading mode.

#include <vector>

#include "schema/panel_description.h"

namespace q51 {

namespace InterfaceChoice {
inline constexpr int Keyboard = 0;
inline constexpr int Rs232 = 1;
inline constexpr int Wand = 2;
inline constexpr int Ocia = 3;
inline constexpr int Usb = 4;
}

// Panels 1 and 2 of the page (panel 0, the header strings, is built by hand).
const std::vector<PanelSpec> &InterfacePagePanels();

} // namespace q51
