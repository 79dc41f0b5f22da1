#pragma once
// The end of a run over several ports: one exit code for the lot, a table
// with a line per port, and the same as JSON.

#include <QJsonObject>
#include <QString>

#include "cli/port_record.h"

namespace q51::cli {

// Success when every port succeeded; Differences when diff found some and
// nothing failed; Stopped after Ctrl+C; otherwise SomeFailed.
int OverallExitCode(const PortRecords &records, bool stopped);

// PORT, ADAPTER, STATE, EXIT, SECONDS and OUTCOME columns, a header line first.
QString SummaryTable(const PortRecords &records);

// {"ports": [...], "exit_code": n}; each port with its data when it gave any.
QJsonObject SummaryJson(const PortRecords &records, int exitCode);

// The data each port gave, a "==> PORT <==" line before each.
QString PortDataBlocks(const PortRecords &records);

} // namespace q51::cli
