#pragma once
// q51sim --count N: N decoders, each a child process on its own
// pseudo-terminal, so a bench of decoders can be tried (and measured)
// with no hardware. The parent lists every device, then stops them all on
// Ctrl+C, SIGTERM or SIGHUP; one that hangs up ends alone.

#include <functional>

#include "sim/sim_options.h"

namespace q51::sim {

class PseudoTerminal;

// serve(options, pty) runs one decoder to its end and returns its exit
// code. Returns the parent's exit code.
int RunDecoderFamily(const SimOptions &options, const std::function<int(const SimOptions &, PseudoTerminal &)> &serve);

} // namespace q51::sim
