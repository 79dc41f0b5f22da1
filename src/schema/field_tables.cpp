#include "schema/field_tables.h"

#include "schema/barcode_fields.h"
#include "schema/communication_fields.h"
#include "schema/interface_fields.h"
#include "schema/misc_fields.h"

namespace q51 {

const std::vector<PageFieldTable> &AllPageFieldTables()
{
    static const std::vector<PageFieldTable> tables{
        {"cfg3", &InterfacePagePanels, "interface"},
        {"cfg4", &CommunicationPagePanels, "communication"},
        {"cfg5", &BarCodePagePanels, "barcodes"},
        {"cfg6", &MiscPagePanels, "misc"},
    };
    return tables;
}

} // namespace q51
