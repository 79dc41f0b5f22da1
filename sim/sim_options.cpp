#include "sim/sim_options.h"

#include <charconv>
#include <functional>
#include <map>
#include <optional>

#include "sim/decoder_responder.h"
#include "sim/request_kinds.h"

namespace q51::sim {

namespace {

constexpr long long MaxByteCount = 1'000'000;
constexpr long long MaxPauseMs = 600'000;
constexpr long long MinBaud = 50;
constexpr long long MaxBaud = 4'000'000;
constexpr long long MaxGroupCount = 65'535;
constexpr long long MaxDecoderCount = 256;
constexpr std::string_view DecoderNumber = "{n}";

// A whole decimal number from min to max, or nothing.
std::optional<long long> Number(std::string_view text, long long min, long long max)
{
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < min || value > max)
        return std::nullopt;
    return value;
}

using ValueSetter = std::function<bool(SimOptions &, std::string_view)>;

// store(options, n) is called with a number from min to max.
template <typename Store>
ValueSetter NumberInto(Store store, long long min, long long max)
{
    return [=](SimOptions &o, std::string_view v) {
        const auto n = Number(v, min, max);
        if (n)
            store(o, *n);
        return n.has_value();
    };
}

// A byte in decimal or, with 0x in front, in hex: 43 or 0x2B.
ValueSetter StatusByteInto()
{
    return [](SimOptions &o, std::string_view v) {
        const bool hex = v.starts_with("0x") || v.starts_with("0X");
        if (hex)
            v.remove_prefix(2);
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value, hex ? 16 : 10);
        if (v.empty() || ec != std::errc() || end != v.data() + v.size() || value > 0xFF)
            return false;
        o.statusByte = static_cast<std::uint8_t>(value);
        return true;
    };
}

ValueSetter TextInto(std::string SimOptions::*field)
{
    return [=](SimOptions &o, std::string_view v) {
        o.*field = v;
        return !v.empty();
    };
}

const std::map<std::string_view, bool FaultOptions::*> &Flags()
{
    static const std::map<std::string_view, bool FaultOptions::*> flags{
        {"--silent", &FaultOptions::silent},
        {"--refuse", &FaultOptions::refuse},
        {"--bad-bcc", &FaultOptions::badBcc},
        {"--garbage", &FaultOptions::garbage},
        {"--hangup-after-reply", &FaultOptions::hangUpAfterReply},
        {"--forget-writes", &FaultOptions::forgetWrites},
    };
    return flags;
}

const std::map<std::string_view, ValueSetter> &ValueOptions()
{
    static const std::map<std::string_view, ValueSetter> options{
        {"--short", NumberInto([](SimOptions &o, long long n) { o.faults.shortLength = n; }, 0, MaxByteCount)},
        {"--stall-after", NumberInto([](SimOptions &o, long long n) { o.faults.stallAfter = n; }, 0, MaxByteCount)},
        {"--hangup-after", NumberInto([](SimOptions &o, long long n) { o.faults.hangUpAfter = n; }, 0, MaxByteCount)},
        {"--faults-from", NumberInto([](SimOptions &o, long long n) { o.faults.fromRequest = n; }, 1, MaxByteCount)},
        {"--extra", NumberInto([](SimOptions &o, long long n) { o.faults.extraBytes = n; }, 0, MaxByteCount)},
        {"--split", NumberInto([](SimOptions &o, long long n) { o.faults.splitSize = n; }, 1, MaxByteCount)},
        {"--pause", NumberInto([](SimOptions &o, long long n) { o.faults.pauseMs = int(n); }, 0, MaxPauseMs)},
        {"--baud", NumberInto([](SimOptions &o, long long n) { o.baud = int(n); }, MinBaud, MaxBaud)},
        {"--line-speed", NumberInto([](SimOptions &o, long long n) { o.lineSpeed = int(n); }, MinBaud, MaxBaud)},
        {"--count", NumberInto([](SimOptions &o, long long n) { o.count = int(n); }, 1, MaxDecoderCount)},
        {"--unit-gap", NumberInto([](SimOptions &o, long long n) { o.units.gapMs = int(n); }, 0, MaxPauseMs)},
        {"--unit-every", NumberInto([](SimOptions &o, long long n) { o.units.everyMs = int(n); }, 1, MaxPauseMs)},
        {"--units", NumberInto([](SimOptions &o, long long n) { o.units.maxUnits = int(n); }, 1, MaxByteCount)},
        {"--faults-on",
         [](SimOptions &o, std::string_view v) {
             const std::optional<RequestKinds> kinds = ParseRequestKinds(v);
             if (kinds)
                 o.faults.faultsOn = *kinds;
             return kinds.has_value();
         }},
        {"--drop-during",
         [](SimOptions &o, std::string_view v) {
             o.faults.dropDuring = ParseRequestKind(v);
             return o.faults.dropDuring.has_value();
         }},
        {"--pid-file", TextInto(&SimOptions::pidFile)},
        {"--delay", NumberInto([](SimOptions &o, long long n) { o.delayMs = int(n); }, 0, MaxPauseMs)},
        {"--version-text", [](SimOptions &o, std::string_view v) { o.versionText = v; return true; }},
        {"--version-after-update", [](SimOptions &o, std::string_view v) { o.versionAfterUpdate = v; return true; }},
        {"--status-byte", StatusByteInto()},
        {"--block-file", TextInto(&SimOptions::blockFile)},
        {"--dump-block", TextInto(&SimOptions::dumpBlockFile)},
        {"--link", TextInto(&SimOptions::linkPath)},
        {"--group",
         [](SimOptions &o, std::string_view v) {
             if (v.empty() || v.size() > MaxGroupDataSize)
                 return false;
             o.groups.emplace_back(v);
             return true;
         }},
        {"--sample-groups", NumberInto(
                                [](SimOptions &o, long long n) {
                                    const auto samples = StoredGroups::Samples(std::size_t(n));
                                    o.groups.insert(o.groups.end(), samples.begin(), samples.end());
                                },
                                0, MaxGroupCount)},
        {"--group-capacity",
         NumberInto([](SimOptions &o, long long n) { o.groupCapacity = std::size_t(n); }, 0, MaxGroupCount)},
        {"--isp-version", [](SimOptions &o, std::string_view v) { return ParseIspVersion(v, o.isp); }},
        {"--isp-refuse-page", [](SimOptions &o, std::string_view v) { return ParsePageRefusal(v, o.isp); }},
        {"--dump-image",
         [](SimOptions &o, std::string_view v) {
             o.isp.dumpImageFile = v;
             return !v.empty();
         }},
    };
    return options;
}

} // namespace

ParsedOptions ParseSimOptions(const std::vector<std::string_view> &args)
{
    ParsedOptions parsed;
    parsed.options.versionText = DefaultVersionText;
    bool pauseGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view name = args[i];
        std::optional<std::string_view> value;
        if (const auto eq = name.find('='); name.starts_with("--") && eq != std::string_view::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        if (name == "--help" || name == "-h") {
            parsed.showHelp = true;
            return parsed;
        }
        if (const auto flag = Flags().find(name); flag != Flags().end() && !value) {
            parsed.options.faults.*(flag->second) = true;
            continue;
        }
        const auto option = ValueOptions().find(name);
        if (option == ValueOptions().end()) {
            parsed.error = "unknown option " + std::string(args[i]);
            return parsed;
        }
        if (!value) {
            if (i + 1 == args.size()) {
                parsed.error = std::string(name) + " needs a value";
                return parsed;
            }
            value = args[++i];
        }
        if (!option->second(parsed.options, *value)) {
            parsed.error = "invalid value for " + std::string(name) + ": \"" + std::string(*value) + "\"";
            return parsed;
        }
        pauseGiven |= name == "--pause";
    }
    if (pauseGiven && parsed.options.faults.splitSize == 0)
        parsed.error = "--pause only applies together with --split";
    // Decoders writing one file or making one link would trample each other.
    const SimOptions &o = parsed.options;
    for (const auto &[option, path] : {std::pair{"--link", o.linkPath}, std::pair{"--dump-block", o.dumpBlockFile},
                                       std::pair{"--dump-image", o.isp.dumpImageFile}, std::pair{"--pid-file", o.pidFile}}) {
        if (o.count > 1 && !path.empty() && path.find(DecoderNumber) == std::string::npos)
            parsed.error = std::string(option) + " needs {n} in its path with --count";
    }
    return parsed;
}

std::string SimUsage()
{
    return R"(Usage: q51sim [options]

Simulated decoder on a pseudo-terminal. Prints "q51sim: <device>" on the
first line of standard output, then answers configuration write (0x01),
configuration read (0x80), version (0x85), status (0x83) and trigger (0x82)
requests until interrupted.
Every request is logged to standard error. SIGUSR1 unplugs the device (the
line hangs up, the --link name goes); the next SIGUSR1 plugs a new one in
under the same --link name. SIGUSR2 unplugs it and, after --unit-gap,
plugs in the next unit: a decoder with a block of its own.

  --link PATH          also make PATH a symbolic link to the device
                       (removed on exit)
  --block-file PATH    start from the raw 256-byte block in PATH
                       (default: the factory block)
  --dump-block PATH    write the block to PATH after every stored write
  --version-text TEXT  version text, cut or padded with blanks to 30
                       characters
  --version-after-update TEXT
                       the version text once a firmware update has ended
  --baud B             pace bytes as a line at B baud would (10 bits each),
                       both ways
  --line-speed B       hear requests only while the client has the line set
                       to B baud, as a decoder set to B would; at any other
                       speed they are lost unanswered (default: any speed)
  --delay MS           wait MS milliseconds before each reply
  --count N            run N decoders, each on its own pseudo-terminal, with
                       one "q51sim: <device>" line each; "{n}" in a path
                       option stands for the decoder's number (1 to N)
  --status-byte B      the status byte the Status command (0x83) reports,
                       decimal or 0x-prefixed hex (default 0x2B)
  --pid-file PATH      write the decoder's process id to PATH while it runs
  -h, --help           print this text

Production line (unit 1 has the starting block, each later unit a few
setting bytes of its own):
  --unit-gap MS        from a unit leaving to the next plugged in (default 300)
  --unit-every MS      each unit stays MS milliseconds, then leaves
  --units N            after the Nth unit has left, stay unplugged

Stored scan data (read 0xC0/0x41, sizes 0xC3, free 0xC2, clear 0xC4/0x40):
  --group TEXT         store a group holding TEXT (1 to 253 characters);
                       repeat for more, numbered from 0 in order
  --sample-groups N    store N sample groups "DATA0000", "DATA0001", ...
  --group-capacity N   groups the memory holds, for the free space
                       (default 2000)

Firmware update (access 0x12, then erase, pages and end):
  --isp-version HEX    the first four image bytes this decoder takes, as
                       eight hex digits; other images get 0x1B (default:
                       every image is taken)
  --isp-refuse-page P[:N]  refuse page P N times (default once) before
                       taking it; repeat for more pages
  --dump-image PATH    write the image received to PATH at the end frame

Faults:
  --silent             never reply (requests are still carried out)
  --refuse             turn every request down: NAK (0x15) instead of ACK
                       as the first reply byte, and writes are not stored
  --bad-bcc            spoil the check byte of every reply frame
  --short N            send only the first N bytes of each reply
  --faults-from N      spoil replies only from the Nth request on (default 1)
  --faults-on KIND[,KIND]
                       spoil only requests of these kinds (listed below);
                       --faults-from counts only those
  --forget-writes      acknowledge downloads but keep the old block
  --drop-during KIND   unplug as soon as a request of that kind begins to
                       arrive; SIGUSR1, SIGUSR2 or --unit-every bring it back
  --extra N            send N bytes of noise after each reply
  --garbage            replace each reply by noise of the same length
  --split N            send replies in chunks of N bytes...
  --pause MS           ...with MS milliseconds between chunks
  --stall-after N      cut the first reply longer than N bytes after N
                       bytes, then send nothing more (the line stays open)
  --hangup-after N     cut the first reply longer than N bytes after N
                       bytes, then close the line and exit
  --hangup-after-reply
                       send the first spoiled reply whole, then close the
                       line and exit

A request whose check byte (BCC) is wrong gets no reply. Values may also be
given as --option=value.

Request kinds: )" + RequestKindNames() + ".\n";
}

SimOptions ForDecoder(const SimOptions &options, int n)
{
    SimOptions mine = options;
    for (std::string *path :
         {&mine.blockFile, &mine.dumpBlockFile, &mine.linkPath, &mine.isp.dumpImageFile, &mine.pidFile}) {
        for (auto at = path->find(DecoderNumber); at != std::string::npos; at = path->find(DecoderNumber, at))
            path->replace(at, DecoderNumber.size(), std::to_string(n));
    }
    mine.count = 1;
    return mine;
}

} // namespace q51::sim
