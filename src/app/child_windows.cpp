#include "app/child_windows.h"

#include "pages/page_catalog.h"
#include "pages/pending_page.h"

namespace q51 {

ChildWindowSwitcher::Factory MakeChildWindowFactory(Configuration &config, UserDialogs &dialogs)
{
    Q_UNUSED(config);
    Q_UNUSED(dialogs);
    return [](int page) -> QWidget * {
        const ChildWindowInfo *info = FindChildWindow(page);
        return info ? new PendingPage(*info) : nullptr;
    };
}

} // namespace q51
