#pragma once
// The port reopen procedure every exchange runs before it talks to the
// decoder: apply the link settings to its port and open it, or say why the
// port is not available and leave it closed.

#include <QString>

#include "link/open_failure.h"
#include "link/serial_settings.h"

namespace q51 {

class Transport;

// "COM 1: not available." for port 1.
[[nodiscard]] QString portNotAvailableText(int portNumber);

// Closes the port if open, then opens Com portNumber with the settings and
// empties its transmit buffer. On any failure leaves the port closed, puts
// the reason in plain words into *problem (and its kind into *kind) and
// returns false.
bool reopenPort(Transport &port, const SerialSettings &settings, int portNumber, QString *problem,
                OpenFailureKind *kind = nullptr);

} // namespace q51
