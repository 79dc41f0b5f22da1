#include "tools/port_reopen_dialog.h"

#include "link/link_settings_choices.h"
#include "link/transport.h"
#include "model/configuration.h"
#include "ui/user_dialogs.h"

namespace q51 {

void tellPortNotAvailable(UserDialogs &dialogs, int portNumber, const QString &reason)
{
    dialogs.tell(QString::fromUtf8(DefaultCaption), portNotAvailableText(portNumber), MessageIcon::None, reason);
}

bool reopenPort(Transport &port, const SerialSettings &settings, int portNumber, UserDialogs &dialogs)
{
    QString problem;
    if (reopenPort(port, settings, portNumber, &problem))
        return true;
    tellPortNotAvailable(dialogs, portNumber, problem);
    return false;
}

bool reopenPort(Transport &port, const Configuration &config, UserDialogs &dialogs)
{
    QString problem;
    if (const auto settings = SerialSettingsOf(config, &problem))
        return reopenPort(port, *settings, config.PortNumber, dialogs);
    // As any failed reopen: the port that was open is let go.
    port.close();
    tellPortNotAvailable(dialogs, config.PortNumber, problem);
    return false;
}

} // namespace q51
