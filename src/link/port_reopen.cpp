#include "link/port_reopen.h"

#include "link/transport.h"

namespace q51 {

namespace {

// A number shown to the user carries a leading blank, the place of its sign.
QString withSignPlace(int number)
{
    return number < 0 ? QString::number(number) : QLatin1Char(' ') + QString::number(number);
}

bool fail(Transport &port, QString *problem, const QString &reason)
{
    port.close();
    if (problem)
        *problem = reason;
    return false;
}

} // namespace

QString portNotAvailableText(int portNumber)
{
    return QStringLiteral("COM") + withSignPlace(portNumber) + QStringLiteral(": not available.");
}

bool reopenPort(Transport &port, const SerialSettings &settings, int portNumber, QString *problem,
                OpenFailure *failure)
{
    port.close();

    OpenFailure refusal;
    if (!port.open(settings, portNumber, &refusal)) {
        if (failure)
            *failure = refusal;
        return fail(port, problem, describeOpenFailure(refusal));
    }

    // Emptied after opening, where it can hold something: a closed port has
    // no transmit buffer to discard.
    if (!port.discardTransmit()) {
        if (failure)
            failure->kind = OpenFailureKind::Other;
        return fail(port, problem, QStringLiteral("The transmit buffer could not be emptied."));
    }
    return true;
}

} // namespace q51
