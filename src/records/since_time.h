#pragma once
// The time "--since" names: ISO 8601 ("2026-12-09", "2026-12-09T10:00",
// "2026-12-09T10:00:00+01:00"; local time when no zone is given) or a span
// back from now ("30m", "2h", "7d").

#include <optional>

#include <QDateTime>
#include <QString>

namespace q51 {

[[nodiscard]] std::optional<QDateTime> ParseSinceTime(const QString &text, const QDateTime &now);

} // namespace q51
