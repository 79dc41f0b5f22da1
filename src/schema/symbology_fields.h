#pragma once
// The first two tabs of the bar-code page: the symbology list (which
// symbologies the decoder reads) and the UPC/EAN/JAN options.

#include <string_view>
#include <vector>

#include "schema/panel_description.h"

namespace q51 {

enum class ListEntry { Shown, Hidden, Greyed };

// One symbology, by number 0 to 23: where its enable switch lives.
struct Symbology {
    int number;
    const char *caption;
    int byte;
    int mask;
    ListEntry entry;
    bool defaultOn;
};

const std::vector<Symbology> &Symbologies();

// objectName of list entry N, "chk51_N".
std::string SymbologyListControl(int number);

// Panel 0 (the list) and panel 1 (UPC/EAN/JAN).
PanelSpec SymbologyListPanel();
PanelSpec UpcEanPanel();

// Bit 7 of byte 0 says whether any of UPC-A, EAN-13 and EAN-8 is enabled;
// the list sets it after every change of an entry.
void UpdateUpcEanSummary(Configuration &config);
// That bit as a field of its own, so it can be named and shown; no control.
FieldSpec UpcEanSummaryField();
// Whether a control is an entry of the list, after whose change the
// summary is set.
bool IsSymbologyListControl(std::string_view control);

} // namespace q51
