// q51sim: a simulated decoder on a pseudo-terminal, for trying the tool and
// running its end-to-end tests without hardware. See README.md and --help.

#include <exception>
#include <iostream>
#include <optional>
#include <string_view>
#include <vector>

#include "model/factory_defaults.h"
#include "sim/block_file.h"
#include "sim/decoder_family.h"
#include "sim/decoder_simulator.h"
#include "sim/device_link.h"
#include "sim/line_server.h"
#include "sim/output_schedule.h"
#include "sim/pid_file.h"
#include "sim/pseudo_terminal.h"
#include "sim/sim_options.h"
#include "sim/termination_signals.h"

using namespace q51::sim;

namespace {

// The block the decoder starts from; false (and said why) when its file
// cannot be read.
bool LoadBlock(const SimOptions &options, q51::Block &block)
{
    block = q51::FactoryBlock();
    if (options.blockFile.empty())
        return true;
    const std::string error = ReadBlockFile(options.blockFile, block);
    if (!error.empty())
        std::cerr << "q51sim: " << error << '\n';
    return error.empty();
}

// One decoder on its pseudo-terminal, until a signal or a hang-up ends it.
int Serve(const SimOptions &options, const q51::Block &block, PseudoTerminal &pty)
{
    DecoderResponder responder(block, options.versionText);
    responder.SetStatusByte(options.statusByte);
    if (!options.versionAfterUpdate.empty())
        responder.SetVersionAfterUpdate(options.versionAfterUpdate);
    responder.SetStoredGroups(StoredGroups(options.groups, options.groupCapacity));
    responder.SetIspOptions(options.isp);
    DecoderSimulator simulator(responder, options.faults);
    OutputSchedule schedule(options.baud, std::chrono::milliseconds(options.delayMs));
    try {
        TerminationSignals signals;
        // Written once the signals are ours, so whoever reads it may send them.
        const PidFile pidFile(options.pidFile);
        if (!pidFile.error().empty()) {
            std::cerr << "q51sim: " << pidFile.error() << '\n';
            return 1;
        }
        std::optional<DeviceLink> link;
        if (!options.linkPath.empty())
            link.emplace(options.linkPath, pty.devicePath());
        LineServer server(pty, signals, simulator, schedule, options.dumpBlockFile, options.lineSpeed);
        server.SetUnitOptions(options.units);
        // As an unplugged adapter: the line hangs up and the name goes; then
        // a new line under the same name.
        server.onVanishToggle = [&] {
            if (pty.Present()) {
                link.reset();
                pty.Vanish();
                return;
            }
            pty.Reappear();
            if (!options.linkPath.empty())
                link.emplace(options.linkPath, pty.devicePath());
        };
        return server.Run();
    } catch (const std::exception &e) {
        std::cerr << "q51sim: " << e.what() << '\n';
        return 1;
    }
}

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--version") {
            std::cout << "q51sim " << Q51_VERSION << '\n';
            return 0;
        }
    }
    const ParsedOptions parsed = ParseSimOptions(std::vector<std::string_view>(argv + 1, argv + argc));
    if (parsed.showHelp) {
        std::cout << SimUsage();
        return 0;
    }
    if (!parsed.error.empty()) {
        std::cerr << "q51sim: " << parsed.error << "\nTry q51sim --help.\n";
        return 2;
    }
    const SimOptions &options = parsed.options;
    if (options.count > 1) {
        return RunDecoderFamily(options, [](const SimOptions &mine, PseudoTerminal &pty) {
            q51::Block block;
            return LoadBlock(mine, block) ? Serve(mine, block, pty) : 1;
        });
    }
    q51::Block block;
    if (!LoadBlock(options, block))
        return 1;
    try {
        PseudoTerminal pty;
        // Whoever started us reads this line to learn the device.
        std::cout << "q51sim: " << pty.devicePath() << std::endl;
        return Serve(options, block, pty);
    } catch (const std::exception &e) {
        std::cerr << "q51sim: " << e.what() << '\n';
        return 1;
    }
}
