#include "link/serial_settings.h"

#include <QSerialPort>
#include <QStringList>

namespace q51 {

namespace {

// Faster than any UART the decoder family pairs with; larger numbers are typos.
constexpr int MaxBaudRate = 4'000'000;

bool isDecimal(const QString &field)
{
    if (field.isEmpty())
        return false;
    for (const QChar c : field) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

std::optional<SerialSettings> reject(QString *problem, const QString &text, const QString &why)
{
    if (problem)
        *problem = QStringLiteral("\"%1\" is not a valid serial setting: %2").arg(text, why);
    return std::nullopt;
}

QSerialPort::Parity toQtParity(char letter)
{
    switch (letter) {
    case 'E': return QSerialPort::EvenParity;
    case 'O': return QSerialPort::OddParity;
    case 'M': return QSerialPort::MarkParity;
    case 'S': return QSerialPort::SpaceParity;
    default: return QSerialPort::NoParity;
    }
}

} // namespace

std::optional<SerialSettings> parseSerialSettings(const QString &text, QString *problem)
{
    const QStringList fields = text.split(u',');
    if (fields.size() != 4)
        return reject(problem, text, QStringLiteral("expected baud,parity,data bits,stop bits."));

    SerialSettings settings;
    const QString &baud = fields[0];
    bool numberOk = false;
    const int baudRate = baud.size() <= 9 ? baud.toInt(&numberOk) : 0;
    if (!isDecimal(baud) || !numberOk || baudRate < 1 || baudRate > MaxBaudRate)
        return reject(problem, text, QStringLiteral("the baud rate must be a decimal number from 1 to %1.")
                                         .arg(MaxBaudRate));
    settings.baudRate = baudRate;

    const QString &parity = fields[1];
    if (parity.size() != 1 || !QStringLiteral("NEOMS").contains(parity[0]))
        return reject(problem, text, QStringLiteral("the parity must be N, E, O, M or S."));
    settings.parity = parity[0].toLatin1();

    if (fields[2] != u"7" && fields[2] != u"8")
        return reject(problem, text, QStringLiteral("the data bits must be 7 or 8."));
    settings.dataBits = fields[2].toInt();

    if (fields[3] != u"1" && fields[3] != u"2")
        return reject(problem, text, QStringLiteral("the stop bits must be 1 or 2."));
    settings.stopBits = fields[3].toInt();

    return settings;
}

QString serialSettingsText(const SerialSettings &settings)
{
    return QStringLiteral("%1,%2,%3,%4")
        .arg(settings.baudRate)
        .arg(QLatin1Char(settings.parity))
        .arg(settings.dataBits)
        .arg(settings.stopBits);
}

bool applySerialSettings(const SerialSettings &settings, QSerialPort &port)
{
    bool ok = port.setBaudRate(settings.baudRate);
    ok = port.setParity(toQtParity(settings.parity)) && ok;
    ok = port.setDataBits(settings.dataBits == 7 ? QSerialPort::Data7 : QSerialPort::Data8) && ok;
    ok = port.setStopBits(settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) && ok;
    ok = port.setFlowControl(QSerialPort::NoFlowControl) && ok;
    return ok;
}

} // namespace q51
