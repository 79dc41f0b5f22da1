#include "app/child_windows.h"

#include "link/serial_port_transport.h"
#include "link/transmit_window.h"
#include "pages/communication/communication_page.h"
#include "pages/interface/interface_page.h"
#include "pages/page_catalog.h"
#include "pages/pending_page.h"

namespace q51 {

ChildWindowSwitcher::Factory MakeChildWindowFactory(Configuration &config, UserDialogs &dialogs)
{
    return [&config, &dialogs](int page) -> QWidget * {
        switch (page) {
        case Page::Interface: return new InterfacePage(config);
        case Page::Communication: return new CommunicationPage(config);
        case Page::Transmit:
            return new TransmitWindow(config, dialogs, [] { return std::make_unique<SerialPortTransport>(); });
        default: break;
        }
        const ChildWindowInfo *info = FindChildWindow(page);
        return info ? new PendingPage(*info) : nullptr;
    };
}

ToolWindowFactories MakeToolWindowFactories(Configuration &config, UserDialogs &dialogs)
{
    Q_UNUSED(config);
    Q_UNUSED(dialogs);
    ToolWindowFactories tools;
    return tools;
}

} // namespace q51
