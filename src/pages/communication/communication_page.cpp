#include "pages/communication/communication_page.h"

#include "schema/communication_fields.h"

namespace q51 {

CommunicationPage::CommunicationPage(Configuration &config, QWidget *parent)
    : ParameterPage("cfg4", "Communication Parameters", "TabCFG4", PanelTabs::Placement::Top, config, parent)
{
    for (const PanelSpec &spec : CommunicationPagePanels())
        addPanel(spec);
    loadPanels();
}

} // namespace q51
