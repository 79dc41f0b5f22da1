#pragma once
// Command line of the simulator program.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/console_responder.h"
#include "sim/isp_responder.h"
#include "sim/stored_groups.h"
#include "sim/reply_faults.h"
#include "sim/unit_cycle.h"

namespace q51::sim {

struct SimOptions {
    FaultOptions faults;
    int baud = 0;    // 0: bytes go out as fast as the line takes them
    int lineSpeed = 0; // the only speed requests are heard at; 0: any
    int delayMs = 0; // before each reply, as a decoder takes time to answer
    std::string versionText;
    std::string versionAfterUpdate; // empty: an update leaves the version as it was
    std::uint8_t statusByte = DefaultStatusByte; // reported by the Status command
    std::string blockFile; // raw 256 bytes to start from; empty: factory block
    std::string dumpBlockFile;
    std::string linkPath;
    std::vector<std::string> groups; // stored scan data, one entry a group
    std::size_t groupCapacity = DefaultGroupCapacity;
    IspOptions isp;
    int count = 1; // decoders, each on its own pseudo-terminal
    UnitOptions units;
    std::string pidFile; // holds the decoder's process id while it runs
};

struct ParsedOptions {
    SimOptions options;
    bool showHelp = false;
    std::string error; // not empty: the command line was not usable
};

// Arguments without the program name.
ParsedOptions ParseSimOptions(const std::vector<std::string_view> &args);

std::string SimUsage();

// The options of decoder n (from 1) of --count: "{n}" in every path
// replaced by n.
SimOptions ForDecoder(const SimOptions &options, int n);

} // namespace q51::sim
