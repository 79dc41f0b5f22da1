#include "tools/port_reopen_dialog.h"

#include <QStringList>

#include "link/link_settings_choices.h"
#include "link/port_doctor.h"
#include "link/transport.h"
#include "model/configuration.h"
#include "ui/user_dialogs.h"

namespace q51 {

namespace {

// What the port doctor finds on the refused device; nothing when the
// device was never tried or the settings were what it refused.
QString doctorReport(const OpenFailure &failure)
{
    if (failure.device.isEmpty() || failure.kind == OpenFailureKind::UnsupportedSettings)
        return {};
    const DoctorHints hints{failure.kind == OpenFailureKind::InUse};
    const PortDiagnosis diagnosis = DiagnosePort(LiveDoctorSystem(), failure.device.toStdString(), hints);
    QStringList lines;
    for (const std::string &line : DescribeDiagnosis(diagnosis))
        lines << QString::fromStdString(line);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

void tellPortNotAvailable(UserDialogs &dialogs, int portNumber, const QString &reason, const OpenFailure &failure)
{
    Message message{QString::fromUtf8(DefaultCaption), portNotAvailableText(portNumber), MessageButtons::Ok,
                    MessageIcon::None, Answer::Ok, reason};
    message.details = doctorReport(failure);
    dialogs.ask(message);
}

bool reopenPort(Transport &port, const SerialSettings &settings, int portNumber, UserDialogs &dialogs)
{
    QString problem;
    OpenFailure failure;
    if (reopenPort(port, settings, portNumber, &problem, &failure))
        return true;
    tellPortNotAvailable(dialogs, portNumber, problem, failure);
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
