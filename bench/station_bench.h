#pragma once
// The production station's figures: one unit's cycle at 9600 baud against
// the wire time of its exchanges, and 32 ports side by side against one,
// with the real engine, serial transport and SQLite record store in this
// process and q51sim pacing the line. Prints Markdown tables.

namespace q51::bench {

// Whether every figure met its goal.
bool StationBench(int runs);

} // namespace q51::bench
