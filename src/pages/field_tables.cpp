#include "pages/field_tables.h"

#include "pages/barcodes/barcode_fields.h"
#include "pages/communication/communication_fields.h"
#include "pages/interface/interface_fields.h"
#include "pages/misc/misc_fields.h"

namespace q51 {

const std::vector<PageFieldTable> &AllPageFieldTables()
{
    static const std::vector<PageFieldTable> tables{
        {"cfg3", &InterfacePagePanels},
        {"cfg4", &CommunicationPagePanels},
        {"cfg5", &BarCodePagePanels},
        {"cfg6", &MiscPagePanels},
    };
    return tables;
}

} // namespace q51
