#pragma once
// Every panel of the bar-code page, in tab order: the symbology list, the
// UPC/EAN/JAN panel and the fourteen symbology option panels.

#include <vector>

#include "schema/panel_description.h"

namespace q51 {

const std::vector<PanelSpec> &BarCodePagePanels();

} // namespace q51
