#include "since_time.h"

#include <QRegularExpression>

namespace q51 {

std::optional<QDateTime> ParseSinceTime(const QString &text, const QDateTime &now)
{
    QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 64)
        return std::nullopt;
    // At most ten years back, whatever the unit: no overflow, no year 0.
    static const QRegularExpression span(QStringLiteral("^(\\d{1,7})([mhd])$"));
    if (const auto match = span.match(trimmed); match.hasMatch()) {
        const qint64 count = match.captured(1).toLongLong();
        const QChar unit = match.captured(2).at(0);
        const qint64 minutes = unit == u'm' ? count : unit == u'h' ? count * 60 : count * 24 * 60;
        if (minutes > qint64(3660) * 24 * 60)
            return std::nullopt;
        return now.addSecs(-minutes * 60);
    }
    if (trimmed.size() > 10 && trimmed.at(10) == u' ')
        trimmed[10] = u'T';
    if (trimmed.size() == 10) {
        const QDate date = QDate::fromString(trimmed, Qt::ISODate);
        if (!date.isValid())
            return std::nullopt;
        return date.startOfDay();
    }
    // Qt's reader forgives more than the forms above (a lone hour, a week
    // date): the shape is checked first.
    static const QRegularExpression shape(
        QStringLiteral("^\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}(:\\d{2}(\\.\\d{1,3})?)?(Z|[+-]\\d{2}(:?\\d{2})?)?$"));
    if (!shape.match(trimmed).hasMatch())
        return std::nullopt;
    const QDateTime time = QDateTime::fromString(trimmed, Qt::ISODateWithMs);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

} // namespace q51
