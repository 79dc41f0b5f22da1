#include "cli/run_summary.h"

#include <QJsonArray>
#include <QStringList>

#include "cli/exit_codes.h"

namespace q51::cli {

namespace {

constexpr QLatin1StringView NoAdapter("-");

QString secondsText(double seconds)
{
    return QString::number(seconds, 'f', 2);
}

QString adapterText(const PortRecord &record)
{
    return record.target.adapter.isEmpty() ? QString(NoAdapter) : record.target.adapter;
}

// The port's last words; for verbs that only give data (a report, a diff,
// a version as JSON) what the exit code says.
QString outcomeText(const PortRecord &record)
{
    if (!record.voice.lastWords.isEmpty())
        return record.voice.lastWords;
    if (record.state == PortState::Stopped)
        return QStringLiteral("Stopped.");
    return record.code == Differences ? QStringLiteral("Differences found.") : QStringLiteral("Done.");
}

} // namespace

const char *PortStateName(PortState state)
{
    switch (state) {
    case PortState::Waiting: return "waiting";
    case PortState::Running: return "running";
    case PortState::Finished: return "finished";
    case PortState::Stopped: return "stopped";
    }
    return "waiting";
}

int OverallExitCode(const PortRecords &records, bool stopped)
{
    if (stopped)
        return Stopped;
    bool allSucceeded = true;
    bool onlyDifferences = true;
    for (const auto &record : records) {
        allSucceeded = allSucceeded && record->code == Success;
        onlyDifferences = onlyDifferences && (record->code == Success || record->code == Differences);
    }
    if (allSucceeded)
        return Success;
    return onlyDifferences ? Differences : SomeFailed;
}

QString SummaryTable(const PortRecords &records)
{
    QList<QStringList> rows{{QStringLiteral("PORT"), QStringLiteral("ADAPTER"), QStringLiteral("STATE"),
                             QStringLiteral("EXIT"), QStringLiteral("SECONDS"), QStringLiteral("OUTCOME")}};
    for (const auto &record : records)
        rows << QStringList{record->target.name,
                            adapterText(*record),
                            QString::fromLatin1(PortStateName(record->state)),
                            QString::number(record->code),
                            secondsText(record->seconds),
                            outcomeText(*record)};
    QList<qsizetype> widths(rows.first().size(), 0);
    for (const QStringList &row : rows)
        for (qsizetype i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    QStringList lines;
    for (const QStringList &row : rows) {
        QStringList cells;
        for (qsizetype i = 0; i + 1 < row.size(); ++i)
            cells << row[i].leftJustified(widths[i]);
        cells << row.last();
        lines << cells.join(QStringLiteral("  "));
    }
    return lines.join(QLatin1Char('\n'));
}

QJsonObject SummaryJson(const PortRecords &records, int exitCode)
{
    QJsonArray ports;
    for (const auto &record : records) {
        QJsonObject port{{QStringLiteral("port"), record->target.name},
                         {QStringLiteral("adapter"), record->target.adapter},
                         {QStringLiteral("serial_number"), record->target.serial},
                         {QStringLiteral("state"), QString::fromLatin1(PortStateName(record->state))},
                         {QStringLiteral("exit_code"), record->code},
                         {QStringLiteral("seconds"), record->seconds},
                         {QStringLiteral("outcome"), outcomeText(*record)}};
        if (!record->voice.file.isEmpty())
            port.insert(QStringLiteral("file"), record->voice.file);
        if (record->voice.jsonData)
            port.insert(QStringLiteral("data"), *record->voice.jsonData);
        if (!record->voice.failureLines.isEmpty())
            port.insert(QStringLiteral("failure"), record->voice.failureLines.join(QLatin1Char('\n')));
        ports.append(port);
    }
    return {{QStringLiteral("ports"), ports}, {QStringLiteral("exit_code"), exitCode}};
}

QString PortDataBlocks(const PortRecords &records)
{
    QString blocks;
    for (const auto &record : records) {
        if (record->voice.data.isEmpty())
            continue;
        blocks += QStringLiteral("==> %1 <==\n").arg(record->target.name) + record->voice.data;
        if (!blocks.endsWith(QLatin1Char('\n')))
            blocks += QLatin1Char('\n');
    }
    return blocks;
}

} // namespace q51::cli
