#pragma once
// Tabs 2 to 15 of the bar-code page: one option panel per symbology, each
// with its length slot, and the rules by which one control greys others.

#include <vector>

#include "schema/panel_description.h"

namespace q51 {

struct SymbologyOptionPanel {
    PanelSpec panel;
    int lengthSlot;
    const char *lengthCaption; // frame of the length group
};

const std::vector<SymbologyOptionPanel> &SymbologyOptionPanels();

// While `control` holds `disablingValue`, the named frames are disabled.
struct EnableRule {
    const char *control;
    int disablingValue;
    std::vector<std::string> frames; // objectNames
};

const std::vector<EnableRule> &SymbologyEnableRules();

// objectName of a slot's length frame, "fraCodeLength_<slot>".
std::string LengthFrameName(int slot);

} // namespace q51
