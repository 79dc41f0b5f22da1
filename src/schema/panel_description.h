#pragma once
// One tab of a page as data: its caption, the frame that holds its fields,
// the fields themselves and the panel's own "Set Default" button, which
// resets only the fields of this panel.

#include <string>
#include <vector>

#include "schema/field_types.h"

namespace q51 {

struct PanelSpec {
    std::string tabCaption;
    std::string tabToolTip;
    std::string objectName;   // the panel's frame
    std::string frameCaption; // empty: no frame title
    std::vector<FieldSpec> fields;
    std::string defaultButton;                 // objectName; empty: no button
    std::string defaultCaption = "Set Default";
    int fieldColumns = 2;
};

} // namespace q51
