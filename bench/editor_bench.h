#pragma once
// The editor's figures: Find Setting over the whole catalogue, and undoing
// "Set All Defaults" with a page open. Prints Markdown tables.

namespace q51::bench {

// Whether every figure met its goal.
bool EditorBench();

} // namespace q51::bench
