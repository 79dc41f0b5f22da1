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

bool reopenPort(Transport &port, const SerialSettings &settings, int portNumber, UserDialogs &dialogs);

// The same with the configuration's PortNumber and link settings.
bool reopenPort(Transport &port, const Configuration &config, UserDialogs &dialogs);

// "COM 1: not available." with the reason as its detail line and, for a
// device that was refused, the port doctor's report behind the details button.
void tellPortNotAvailable(UserDialogs &dialogs, int portNumber, const QString &reason = {},
                          const OpenFailure &failure = {});

} // namespace q51
