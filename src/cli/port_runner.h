#pragma once
// A verb's work run on every port it names: with one port printed as it
// comes, as q51ctl always did; with several, side by side on the one event
// loop (each port with its own transport and timers, a failure on one
// leaving the others alone), a live line per port on a terminal and a
// summary at the end. Ctrl+C stops every exchange: ports closed, each
// port's state told.

#include <functional>

#include "cli/command_line.h"
#include "cli/device_session.h"
#include "cli/link_options.h"
#include "cli/port_targets.h"
#include "cli/port_voice.h"
#include "link/task.h"

namespace q51::cli {

// What a verb's work on one port is given.
struct PortJob {
    DeviceSession &session;
    PortVoice &voice;
    const PortTarget &target;
};
using PortWork = std::function<Task<int>(PortJob job)>;

struct RunPlan {
    PortTargets targets;
    SerialSettings settings;
    int jobs = 0; // ports at once; 0: all
    bool json = false;
    bool quiet = false;
};

// The ports, settings and --jobs of the command line; UsageError (the
// problem on stderr) when they do not make sense. defaultPort serves when
// no port is named; defaultSettings when --settings is not given.
// adaptersFirst: the ports' serial numbers are needed before the run.
int PlanRun(const CommandLine &line, int defaultPort, const SerialSettings &defaultSettings, RunPlan &plan,
            bool adaptersFirst = false);

int RunOnPorts(const RunPlan &plan, const PortWork &work);

// PlanRun, then RunOnPorts: the work on the ports the command line names.
int RunOnNamedPorts(const CommandLine &line, const PortWork &work, int defaultPort = 1,
                    const SerialSettings &defaultSettings = DefaultSettings);

} // namespace q51::cli
