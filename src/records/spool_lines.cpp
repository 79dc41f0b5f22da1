#include "spool_lines.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "record_fields.h"

namespace q51 {

std::vector<SpoolLine> ParseSpoolLines(const QByteArray &bytes)
{
    std::vector<SpoolLine> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        const QByteArray text = bytes.mid(start, end - start);
        start = end + 1;
        if (text.trimmed().isEmpty())
            continue;
        SpoolLine line{text, std::nullopt};
        if (text.size() <= LongestSpoolLine) {
            QJsonParseError error{};
            const QJsonDocument document = QJsonDocument::fromJson(text, &error);
            if (error.error == QJsonParseError::NoError && document.isObject())
                line.record = RecordFromJson(document.object());
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

QByteArray SpoolLineOf(const StationRecord &record)
{
    return QJsonDocument(RecordToJson(record)).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace q51
