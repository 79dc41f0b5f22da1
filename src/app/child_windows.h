#pragma once

#include "app/child_window_switcher.h"

namespace q51 {

class UserDialogs;

// Builds the page or transfer window for an ActivePage number.
ChildWindowSwitcher::Factory MakeChildWindowFactory(Configuration &config, UserDialogs &dialogs);

} // namespace q51
