#include "link/port_reopen.h"

#include "link/serial_settings.h"
#include "link/transport.h"
#include "model/configuration.h"
#include "ui/user_dialogs.h"

namespace q51 {

namespace {

// A number shown to the user carries a leading blank, the place of its sign.
QString withSignPlace(int number)
{
    return number < 0 ? QString::number(number) : QLatin1Char(' ') + QString::number(number);
}

bool fail(Transport &port, int portNumber, UserDialogs &dialogs, const QString &reason)
{
    port.close();
    dialogs.tell(QString::fromUtf8(DefaultCaption), portNotAvailableText(portNumber),
                 MessageIcon::None, reason);
    return false;
}

} // namespace

QString portNotAvailableText(int portNumber)
{
    return QStringLiteral("COM") + withSignPlace(portNumber) + QStringLiteral(": not available.");
}

bool reopenPort(Transport &port, const QString &settingsText, int portNumber, UserDialogs &dialogs)
{
    port.close();

    QString problem;
    const auto settings = parseSerialSettings(settingsText, &problem);
    if (!settings)
        return fail(port, portNumber, dialogs, problem);

    OpenFailure failure;
    if (!port.open(*settings, portNumber, &failure))
        return fail(port, portNumber, dialogs, describeOpenFailure(failure));

    // Emptied after opening, where it can hold something: a closed port has
    // no transmit buffer to discard.
    if (!port.discardTransmit())
        return fail(port, portNumber, dialogs, QStringLiteral("The transmit buffer could not be emptied."));
    return true;
}

bool reopenPort(Transport &port, const Configuration &config, UserDialogs &dialogs)
{
    return reopenPort(port, QString::fromStdString(config.SettingsString()), config.PortNumber, dialogs);
}

} // namespace q51
