#pragma once
// The station records' figures: keeping one record in SQLite (write-ahead
// log, durable commits), and q51ctl records --since over 100,000 rows, as a
// query in this process and as the q51ctl program. Prints a Markdown table.

namespace q51::bench {

// Whether every figure met its goal.
bool RecordsBench(const char *ctlPath);

} // namespace q51::bench
