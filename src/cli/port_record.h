#pragma once
// One port of a run over several: where it is and what it said.

#include <memory>
#include <vector>

#include "cli/kept_voice.h"
#include "cli/port_targets.h"

namespace q51::cli {

enum class PortState {
    Waiting,  // not begun: --jobs holds it back
    Running,
    Finished, // its work ended, well or not
    Stopped,  // Ctrl+C came first
};

const char *PortStateName(PortState state);

struct PortRecord {
    PortTarget target;
    KeptVoice voice;
    PortState state = PortState::Waiting;
    int code = -1; // its own exit code once finished or stopped
    double seconds = 0;
};

using PortRecords = std::vector<std::unique_ptr<PortRecord>>;

} // namespace q51::cli
