#include "schema/barcode_fields.h"

#include "schema/symbology_fields.h"
#include "schema/symbology_option_fields.h"

namespace q51 {

const std::vector<PanelSpec> &BarCodePagePanels()
{
    static const std::vector<PanelSpec> panels = [] {
        std::vector<PanelSpec> all{SymbologyListPanel(), UpcEanPanel()};
        for (const SymbologyOptionPanel &p : SymbologyOptionPanels())
            all.push_back(p.panel);
        return all;
    }();
    return panels;
}

} // namespace q51
