#pragma once
// Records as text: aligned lines for a person, CSV (RFC 4180, a header row
// of column names) and JSON (an array of objects keyed by column name).

#include <span>

#include <QByteArray>

#include "link/station_record.h"

namespace q51 {

// Time (local), port, result, failed step, version, seconds, operator.
[[nodiscard]] QByteArray PlainListing(std::span<const StationRecord> records);
[[nodiscard]] QByteArray CsvListing(std::span<const StationRecord> records);
[[nodiscard]] QByteArray JsonListing(std::span<const StationRecord> records);

// One CSV cell, quoted when it must be.
[[nodiscard]] QString CsvCell(const QString &text);

} // namespace q51
