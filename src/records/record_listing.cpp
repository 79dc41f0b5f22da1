#include "record_listing.h"

#include <algorithm>
#include <array>
#include <vector>

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

#include "record_fields.h"

namespace q51 {

namespace {

struct PlainColumn {
    QString (*text)(const StationRecord &);
    bool right = false; // numbers line up on the right
};

const PlainColumn PlainColumns[]{
    {[](const StationRecord &r) { return r.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); }},
    {[](const StationRecord &r) { return r.port.isEmpty() ? QStringLiteral("-") : r.port; }},
    {[](const StationRecord &r) { return r.passed ? QStringLiteral("PASS") : QStringLiteral("FAIL"); }},
    {[](const StationRecord &r) { return r.failedStep ? UnitStepWord(*r.failedStep) : QStringLiteral("-"); }},
    {[](const StationRecord &r) { return r.decoderVersion.isEmpty() ? QStringLiteral("-") : r.decoderVersion; }},
    {[](const StationRecord &r) { return QString::number(r.seconds, 'f', 1) + QLatin1Char('s'); }, true},
    {[](const StationRecord &r) { return r.operatorName; }},
};

// A record's text never breaks a line of the listing.
QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = u' ';
    }
    return text;
}

} // namespace

QByteArray PlainListing(std::span<const StationRecord> records)
{
    constexpr std::size_t Columns = std::size(PlainColumns);
    std::vector<std::array<QString, Columns>> cells;
    std::array<qsizetype, Columns> widths{};
    cells.reserve(records.size());
    for (const StationRecord &record : records) {
        auto &row = cells.emplace_back();
        for (std::size_t c = 0; c < Columns; ++c) {
            row[c] = oneLine(PlainColumns[c].text(record));
            widths[c] = std::max(widths[c], row[c].size());
        }
    }
    QString text;
    for (const auto &row : cells) {
        QString line;
        for (std::size_t c = 0; c < Columns; ++c) {
            // The last column is not padded.
            if (c + 1 == Columns)
                line += row[c];
            else if (PlainColumns[c].right)
                line += row[c].rightJustified(widths[c]) + QStringLiteral("  ");
            else
                line += row[c].leftJustified(widths[c]) + QStringLiteral("  ");
        }
        text += line.trimmed() + QLatin1Char('\n');
    }
    return text.toUtf8();
}

QString CsvCell(const QString &text)
{
    static const QString special = QStringLiteral(",\"\r\n");
    const bool quoted = std::any_of(text.begin(), text.end(), [](QChar c) { return special.contains(c); });
    if (!quoted)
        return text;
    QString cell = text;
    cell.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + cell + QLatin1Char('"');
}

QByteArray CsvListing(std::span<const StationRecord> records)
{
    const QString end = QStringLiteral("\r\n");
    QStringList header;
    for (const RecordField &field : RecordFields())
        header << QLatin1String(field.column);
    QString text = header.join(QLatin1Char(',')) + end;
    for (const StationRecord &record : records) {
        QStringList row;
        for (const RecordField &field : RecordFields())
            row << CsvCell(FieldText(field, record));
        text += row.join(QLatin1Char(',')) + end;
    }
    return text.toUtf8();
}

QByteArray JsonListing(std::span<const StationRecord> records)
{
    QJsonArray array;
    for (const StationRecord &record : records)
        array.append(RecordToJson(record));
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

} // namespace q51
