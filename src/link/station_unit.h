#pragma once
// One unit's cycle at the production station, once it has answered the
// version query: back up its block, update its firmware when the plan asks
// for another version, send the golden block, read it back and compare.
// Every step that fails ends the cycle and is named in the record; nothing
// is retried, so a record tells exactly what the unit went through.

#include <functional>
#include <optional>

#include <QString>

#include "link/station_plan.h"
#include "link/station_record.h"
#include "link/task.h"

namespace q51 {

class Transport;

struct UnitPort {
    int number = 1;     // Com n, for reopening around a firmware update
    QString label;      // names the backup: "COM1" or the device
};

// Told as each step begins (done 0), and as reply bytes arrive.
using UnitProgress = std::function<void(UnitStep step, qsizetype done, qsizetype total)>;

// The port is open at the plan's settings and the unit has answered the
// version query: version is its text, or nothing when it answered with
// something else. Fills in the record's unit fields (version, digests,
// firmware, result, failed step, problem); time, station, port and seconds
// are the caller's. True when every step succeeded. The record must outlive
// the task: a task destroyed midway leaves in it what was done so far.
Task<bool> RunUnit(Transport &port, const StationPlan &plan, UnitPort where, std::optional<QString> version,
                   StationRecord &record, UnitProgress onProgress = {});

} // namespace q51
