#include "tools/station_texts.h"

#include <QLocale>
#include <QStringList>

namespace q51 {

namespace {

struct StateTexts {
    StationPortState state;
    const char *word;
};

constexpr StateTexts States[]{
    {StationPortState::NoPort, "NO PORT"},   {StationPortState::Waiting, "WAITING"},
    {StationPortState::Working, "WORKING"},  {StationPortState::Passed, "PASS"},
    {StationPortState::Failed, "FAIL"},      {StationPortState::Stopped, "STOPPED"},
};

} // namespace

QString StationStateWord(StationPortState state)
{
    for (const StateTexts &texts : States) {
        if (texts.state == state)
            return QString::fromLatin1(texts.word);
    }
    return {};
}

QStringList StationStateWords()
{
    QStringList words{QString::fromLatin1(StationReadyWord)};
    for (const StateTexts &texts : States)
        words << QString::fromLatin1(texts.word);
    return words;
}

QString StationStateDetail(const StationPortStatus &status)
{
    switch (status.state) {
    case StationPortState::NoPort: return QStringLiteral("No port: ") + status.problem;
    case StationPortState::Waiting: return QStringLiteral("Waiting for a decoder");
    case StationPortState::Working: return QStringLiteral("Working: ") + UnitStepText(status.step);
    case StationPortState::Passed: return QStringLiteral("Passed; unplug the unit");
    case StationPortState::Failed:
        return QStringLiteral("Failed while %1: %2").arg(UnitStepText(status.step), status.problem);
    case StationPortState::Stopped: return QStringLiteral("The station is stopped");
    }
    return {};
}

QString StationTileDescription(const StationPortStatus &status)
{
    QString text = QStringLiteral("%1: %2. %3.").arg(status.target.name, StationStateWord(status.state),
                                                     StationStateDetail(status));
    if (!status.version.isEmpty())
        text += QStringLiteral(" Version %1.").arg(status.version);
    return text;
}

QString StationKeptText(const RecordKept &kept)
{
    switch (kept.where) {
    case RecordKept::Where::Database: return QStringLiteral("kept in the database");
    case RecordKept::Where::Spool: return QStringLiteral("kept in the spool");
    case RecordKept::Where::Nowhere: break;
    }
    return QStringLiteral("NOT KEPT: ") + kept.problem;
}

QString StationRecordLine(const StationRecord &record, const RecordKept &kept)
{
    QStringList parts{QLocale().toString(record.time.toLocalTime().time(), QStringLiteral("HH:mm:ss")), record.port,
                      record.passed ? QStringLiteral("PASS") : QStringLiteral("FAIL")};
    if (record.failedStep)
        parts << UnitStepText(*record.failedStep);
    parts << StationKeptText(kept);
    return parts.join(QStringLiteral("  "));
}

} // namespace q51
