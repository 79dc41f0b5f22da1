#pragma once
// The spool's text: one record as a JSON object per line. Reading takes
// any bytes: a line that is no record is handed back as it is, to be set
// aside, never dropped and never a reason to stop.

#include <optional>
#include <vector>

#include <QByteArray>

#include "link/station_record.h"

namespace q51 {

// A line longer than this is damaged: a record is a few hundred bytes.
constexpr qsizetype LongestSpoolLine = 64 * 1024;

struct SpoolLine {
    QByteArray text; // without its line end
    std::optional<StationRecord> record; // nothing: damaged
};

// Every non-blank line, in order.
[[nodiscard]] std::vector<SpoolLine> ParseSpoolLines(const QByteArray &bytes);
// One record as its line, line end included.
[[nodiscard]] QByteArray SpoolLineOf(const StationRecord &record);

} // namespace q51
