#pragma once
// What the Station window says of a port and of a finished unit, in one
// place: the tiles, their accessible names and the latest-records list all
// read from here.

#include <QDateTime>
#include <QString>

#include "link/station_engine.h"

namespace q51 {

// The tile's large word: "PASS", "FAIL", "WORKING", "WAITING", "NO PORT",
// "STOPPED"; "READY" for a port not yet started.
[[nodiscard]] QString StationStateWord(StationPortState state);
// Every large word, so a layout can make room for the widest.
[[nodiscard]] QStringList StationStateWords();
inline constexpr const char *StationReadyWord = "READY";

// The line under it: "Waiting for a decoder", "Working: reading the
// configuration back", "Failed while sending the golden configuration: ...",
// "No port: ...".
[[nodiscard]] QString StationStateDetail(const StationPortStatus &status);

// Port, state, step and version in one sentence, for screen readers.
[[nodiscard]] QString StationTileDescription(const StationPortStatus &status);

// "kept in the database", "kept in the spool", "NOT KEPT: why".
[[nodiscard]] QString StationKeptText(const RecordKept &kept);

// One line of the latest records: local time, port, PASS or FAIL, the step
// it failed at, where the record went.
[[nodiscard]] QString StationRecordLine(const StationRecord &record, const RecordKept &kept);

} // namespace q51
