#pragma once

#include <QIcon>

namespace q51 {

// The picture of a toolbar button, by its key.
QIcon ToolbarIcon(const char *key);

} // namespace q51
