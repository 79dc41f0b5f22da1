#pragma once

#include "app/child_window_switcher.h"
#include "app/main_window.h"

namespace q51 {

class UserDialogs;

// Builds the page or transfer window for an ActivePage number.
ChildWindowSwitcher::Factory MakeChildWindowFactory(Configuration &config, UserDialogs &dialogs);

// Builds the service windows of the Tools menu.
ToolWindowFactories MakeToolWindowFactories(Configuration &config, UserDialogs &dialogs);

} // namespace q51
