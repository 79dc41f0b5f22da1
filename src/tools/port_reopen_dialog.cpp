#include "tools/port_reopen_dialog.h"

#include "model/configuration.h"
#include "tools/port_reopen_dialog.h"
#include "ui/user_dialogs.h"

namespace q51 {

bool reopenPort(Transport &port, const QString &settingsText, int portNumber, UserDialogs &dialogs)
{
    QString problem;
    if (reopenPort(port, settingsText, portNumber, &problem))
        return true;
    dialogs.tell(QString::fromUtf8(DefaultCaption), portNotAvailableText(portNumber), MessageIcon::None, problem);
    return false;
}

bool reopenPort(Transport &port, const Configuration &config, UserDialogs &dialogs)
{
    return reopenPort(port, QString::fromStdString(config.SettingsString()), config.PortNumber, dialogs);
}

} // namespace q51
