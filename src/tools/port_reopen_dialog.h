#pragma once
// The port reopen procedure as a window runs it: on failure the user is
// told the port is not available, with the reason as the detail line, and
// the caller's handler stops.

#include <QString>

#include "link/port_reopen.h"

namespace q51 {

struct Configuration;
class Transport;
class UserDialogs;

bool reopenPort(Transport &port, const QString &settingsText, int portNumber, UserDialogs &dialogs);

// The same with the configuration's PortNumber and settings string.
bool reopenPort(Transport &port, const Configuration &config, UserDialogs &dialogs);

} // namespace q51
