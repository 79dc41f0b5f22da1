#pragma once

#include <QIcon>

namespace q51 {

// The picture of a toolbar button, by its key.
QIcon ToolbarIcon(const char *key);

// The program's own icon, for the title bars of its windows.
QIcon ApplicationIcon();

} // namespace q51
