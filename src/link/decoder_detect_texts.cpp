#include "link/decoder_detect_texts.h"

#include <QStringList>

namespace q51 {

namespace {

// "9600,N,8,1 and 19200,N,8,1", "600, 1200 or 2400": a list as a sentence says it.
QString listed(const QStringList &items, const QString &lastJoin)
{
    if (items.size() < 2)
        return items.join(QString());
    return items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + QLatin1Char(' ') + lastJoin
           + QLatin1Char(' ') + items.last();
}

QStringList settingsOf(const std::vector<ProbeResult> &probes, ProbeHeard heard)
{
    QStringList settings;
    for (const ProbeResult &probe : probes) {
        if (probe.heard == heard)
            settings << serialSettingsText(probe.settings);
    }
    return settings;
}

} // namespace

QString ShownVersion(const QString &version)
{
    QString shown = version;
    while (shown.endsWith(QLatin1Char(' ')))
        shown.chop(1);
    return shown;
}

QString ProbeLine(const ProbeResult &probe)
{
    const QString settings = serialSettingsText(probe.settings) + QStringLiteral(": ");
    switch (probe.heard) {
    case ProbeHeard::Version: return settings + QStringLiteral("answered, version ") + ShownVersion(probe.version);
    case ProbeHeard::Noise: return settings + QStringLiteral("bytes came, but no version reply");
    case ProbeHeard::Nothing: return settings + QStringLiteral("no answer");
    case ProbeHeard::NotOffered: return settings + QStringLiteral("the port cannot be set to this speed");
    }
    return settings;
}

QString DetectSummary(const DetectResult &result)
{
    switch (result.end) {
    case DetectEnd::Found: {
        const ProbeResult found = result.answers().front();
        return QStringLiteral("A decoder answered at %1, version %2.")
            .arg(serialSettingsText(found.settings), ShownVersion(found.version));
    }
    case DetectEnd::Ambiguous:
        return QStringLiteral("Answers came at more than one setting (%1): which one is the decoder's cannot be told.")
            .arg(listed(settingsOf(result.probes, ProbeHeard::Version), QStringLiteral("and")));
    case DetectEnd::NotFound: {
        QStringList rates;
        for (const ProbeResult &probe : result.probes) {
            if (probe.heard != ProbeHeard::NotOffered)
                rates << QString::number(probe.settings.baudRate);
        }
        return QStringLiteral("No decoder answered at %1 baud (8 data bits, no parity, 1 stop bit).")
            .arg(listed(rates, QStringLiteral("or")));
    }
    case DetectEnd::PortUnavailable: return QStringLiteral("The port could not be opened for the search.");
    case DetectEnd::PortLost: return QStringLiteral("The port went away during the search.");
    }
    return {};
}

QString DetectAdvice(const DetectResult &result)
{
    switch (result.end) {
    case DetectEnd::Found: return {};
    case DetectEnd::Ambiguous:
        return QStringLiteral("Make sure only one decoder is on the port and search again, or try each of these "
                              "settings in the transfer window.");
    case DetectEnd::NotFound:
        if (result.heardNoise())
            return QStringLiteral("Bytes came at %1, but no version reply: the decoder may use other data bits or "
                                  "parity, or another device is on the port. Check the decoder's RS232 settings.")
                .arg(listed(settingsOf(result.probes, ProbeHeard::Noise), QStringLiteral("and")));
        return QStringLiteral("Check the cable, that the decoder has power and that its interface is RS232, then "
                              "search again.");
    case DetectEnd::PortUnavailable:
    case DetectEnd::PortLost: return result.problem;
    }
    return {};
}

} // namespace q51
