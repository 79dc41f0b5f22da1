// The simulator's command line, arguments separated by NUL bytes. A line
// taken must hold together: the decoder count in range, and every path of
// a decoder of --count free of "{n}".

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "sim/request_kinds.h"
#include "sim/sim_options.h"

using namespace q51::sim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    std::vector<std::string_view> args;
    for (std::size_t at = 0; at <= input.size();) {
        const std::size_t end = std::min(input.find('\0', at), input.size());
        args.push_back(input.substr(at, end - at));
        at = end + 1;
    }
    for (std::string_view arg : args) {
        if (const auto kinds = ParseRequestKinds(arg); kinds && *kinds == 0)
            __builtin_trap();
    }
    const ParsedOptions parsed = ParseSimOptions(args);
    if (!parsed.error.empty() || parsed.showHelp)
        return 0;
    const SimOptions &o = parsed.options;
    if (o.count < 1 || o.count > 256 || o.units.gapMs < 0 || o.units.everyMs < 0 || o.units.maxUnits < 0)
        __builtin_trap();
    if (o.count > 1) {
        const SimOptions last = ForDecoder(o, o.count);
        for (const std::string *path : {&last.dumpBlockFile, &last.linkPath, &last.isp.dumpImageFile, &last.pidFile}) {
            if (path->find("{n}") != std::string::npos)
                __builtin_trap();
        }
    }
    return 0;
}
