#include "pages/communication/communication_page.h"

#include "schema/communication_fields.h"

namespace q51 {

CommunicationPage::CommunicationPage(ConfigDocument &document, QWidget *parent)
    : ParameterPage("cfg4", "Communication Parameters", "TabCFG4", PanelTabs::Placement::Top, document, parent)
{
    for (const PanelSpec &spec : CommunicationPagePanels())
        addPanel(spec);
    loadPanels();
}

} // namespace q51
