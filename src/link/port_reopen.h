#pragma once
// The port reopen procedure every service window runs before it talks to
// the decoder: apply the current link settings to its port and open it, or
// tell the user the port is not available and leave it closed.

#include <QString>

namespace q51 {

struct Configuration;
class Transport;
class UserDialogs;

// "COM 1: not available." for port 1.
[[nodiscard]] QString portNotAvailableText(int portNumber);

// Closes the port if open, then opens Com portNumber with the settings
// string (e.g. "9600,N,8,1") and empties its transmit buffer. On any failure
// shows the not-available message with the reason as its detail line, leaves
// the port closed and returns false: the caller's handler then stops.
bool reopenPort(Transport &port, const QString &settingsText, int portNumber, UserDialogs &dialogs);

// The same with the configuration's PortNumber and settings string.
bool reopenPort(Transport &port, const Configuration &config, UserDialogs &dialogs);

} // namespace q51
