#pragma once

#include "app/child_window_switcher.h"
#include "app/main_window.h"

namespace q51 {

class ConfigDocument;
class PortIo;
class UserDialogs;

// Builds the page or transfer window for an ActivePage number. Pages
// change the configuration through document; the transfer window's
// exchanges read and replace the block itself. Keyboard transfers go
// through portIo.
ChildWindowSwitcher::Factory MakeChildWindowFactory(Configuration &config, ConfigDocument &document,
                                                    UserDialogs &dialogs, PortIo &portIo);

// Builds the service windows of the Tools menu.
// With a document, Tools > "Compare with Decoder..." too.
ToolWindowFactories MakeToolWindowFactories(Configuration &config, UserDialogs &dialogs, PortIo &portIo,
                                            ConfigDocument *document = nullptr);

} // namespace q51
