#pragma once
// Every page's field tables, so they can be checked together: no two
// fields touch the same bit, every choice fits its mask and reads back.

#include <vector>

#include "schema/panel_description.h"

namespace q51 {

struct PageFieldTable {
    const char *page;
    const std::vector<PanelSpec> &(*panels)();
    const char *key; // first part of the text form's keys; never changes
};

const std::vector<PageFieldTable> &AllPageFieldTables();

} // namespace q51
