#include "link/port_doctor.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "link/port_doctor_texts.h"
#include "link/system_text.h"

namespace q51 {

namespace text = doctor_text;

namespace {

constexpr std::size_t SmallFile = 256;
constexpr std::size_t GroupFileLimit = std::size_t(1) << 20;
constexpr std::size_t DirectoryLimit = 256;
// /proc lists some fixed entries before the processes.
constexpr std::size_t ProcEntryLimit = DoctorMaxProcesses + 128;
// A tty's sysfs device lies a few levels below the USB device that has the
// ids, and below the device of a built-in port's driver.
constexpr int UsbParentLevels = 4;

// The pattern with %1, %2, ... replaced by the values in order.
std::string fill(std::string_view pattern, std::initializer_list<std::string_view> values)
{
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto index = std::size_t(pattern[i + 1] - '1');
            if (index < values.size()) {
                out += values.begin()[index];
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

std::string readLine(const PortDoctorSystem &system, const std::string &path)
{
    return FirstLine(system.read(path, SmallFile).value_or(std::string()));
}

std::string modeText(const NodeFacts &node)
{
    std::string text(1, node.characterDevice ? 'c' : '-');
    const char letters[] = {'r', 'w', 'x'};
    for (int bit = 8; bit >= 0; --bit)
        text += (node.mode >> bit) & 1U ? letters[(8 - bit) % 3] : '-';
    return text;
}

bool contains(const std::vector<unsigned> &ids, unsigned id)
{
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool contains(const std::vector<std::string> &names, const std::string &name)
{
    return !name.empty() && std::find(names.begin(), names.end(), name) != names.end();
}

// The daemons that take serial adapters for their own devices.
constexpr std::string_view ModemManagerName = "ModemManager";
constexpr std::string_view BrlttyName = "brltty";

bool isAdapterDaemon(std::string_view name)
{
    return name == ModemManagerName || name == BrlttyName;
}

struct ProcessScan {
    std::vector<std::pair<std::string, PortHolder>> holdings; // a device and a process holding it
    std::vector<PortHolder> daemons; // ModemManager and brltty, running
    std::vector<PortHolder> unseen;  // daemons whose descriptors this user cannot read
    bool someUnreadable = false;
    bool cut = false;

    [[nodiscard]] std::vector<PortHolder> holdersOf(const std::string &device) const
    {
        std::vector<PortHolder> holders;
        for (const auto &[held, holder] : holdings)
            if (held == device)
                holders.push_back(holder);
        return holders;
    }
};

bool isPseudoTerminal(const std::string &device)
{
    return device.rfind("/dev/pts/", 0) == 0;
}

// Every process's name and which of the devices its descriptors point at;
// one pass for all of them, bounded in count and time.
ProcessScan scanProcesses(const PortDoctorSystem &system, const std::vector<std::string> &devices)
{
    ProcessScan scan;
    const long long deadline = system.milliseconds() + DoctorScanMilliseconds;
    std::size_t scanned = 0;
    for (const std::string &entry : system.list("/proc", ProcEntryLimit)) {
        const auto pid = ProcessIdOf(entry);
        if (!pid)
            continue;
        if (++scanned > DoctorMaxProcesses || system.milliseconds() > deadline) {
            scan.cut = true;
            break;
        }
        const std::string base = "/proc/" + entry;
        const PortHolder process{*pid, readLine(system, base + "/comm")};
        const bool daemon = isAdapterDaemon(process.name);
        if (daemon)
            scan.daemons.push_back(process);
        if (devices.empty())
            continue;
        const std::vector<std::string> descriptors = system.list(base + "/fd", DoctorMaxDescriptors);
        if (descriptors.empty()) {
            scan.someUnreadable = true;
            if (daemon)
                scan.unseen.push_back(process);
            continue;
        }
        std::vector<std::string> held;
        bool holdsMaster = false;
        for (const std::string &fd : descriptors) {
            std::string target = system.linkTarget(base + "/fd/" + fd);
            holdsMaster = holdsMaster || target == "/dev/ptmx" || target == "/dev/pts/ptmx";
            if (contains(devices, target) && !contains(held, target))
                held.push_back(std::move(target));
        }
        for (const std::string &device : held)
            scan.holdings.push_back({device, {process.pid, process.name, holdsMaster && isPseudoTerminal(device)}});
    }
    return scan;
}

struct UsbIds {
    std::string vendor;
    std::string product;
};

std::optional<UsbIds> usbIdsIn(const PortDoctorSystem &system, const std::string &directory)
{
    const auto vendor = UsbIdOf(system.read(directory + "/idVendor", SmallFile).value_or(std::string()));
    const auto product = UsbIdOf(system.read(directory + "/idProduct", SmallFile).value_or(std::string()));
    if (!vendor || !product)
        return std::nullopt;
    return UsbIds{*vendor, *product};
}

// The by-id name, driver and USB ids of the adapter behind the device.
void readAdapter(const PortDoctorSystem &system, PortDiagnosis &d)
{
    const std::string byId = "/dev/serial/by-id/";
    for (const std::string &entry : system.list(byId, DirectoryLimit)) {
        if (system.resolve(byId + entry) == d.realDevice) {
            d.byIdName = entry;
            break;
        }
    }
    std::string directory = system.resolve("/sys/class/tty/" + std::string(BaseName(d.realDevice)) + "/device");
    for (int level = 0; level < UsbParentLevels && directory.size() > 1; ++level) {
        // The serial core's own port and controller devices stand between
        // a built-in port and the driver that knows its hardware.
        const std::string target = system.linkTarget(directory + "/driver"); // BaseName views into it
        const std::string_view driver = BaseName(target);
        if (d.driver.empty() && driver != "port" && driver != "ctrl")
            d.driver = std::string(driver);
        if (const auto ids = usbIdsIn(system, directory)) {
            d.vendorId = ids->vendor;
            d.productId = ids->product;
            return;
        }
        const auto slash = directory.rfind('/');
        directory = slash == std::string::npos ? std::string() : directory.substr(0, slash);
    }
}

// A USB adapter whose interface is claimed through usbfs, as brltty does
// when it takes an adapter for a braille display.
std::optional<UsbIds> adapterClaimedByUsbfs(const PortDoctorSystem &system)
{
    const std::string devices = "/sys/bus/usb/devices/";
    for (const std::string &entry : system.list(devices, DirectoryLimit)) {
        const auto colon = entry.find(':');
        if (colon == std::string::npos || BaseName(system.linkTarget(devices + entry + "/driver")) != "usbfs")
            continue;
        if (auto ids = usbIdsIn(system, devices + entry.substr(0, colon)))
            return ids;
    }
    return std::nullopt;
}

class Doctor {
public:
    explicit Doctor(const PortDoctorSystem &system)
        : system_(system), groups_(ParseGroupFile(system.read("/etc/group", GroupFileLimit).value_or(""))),
          identity_(system.identity())
    {
    }

    // The device's node, where its links lead, the adapter behind it.
    void examine(PortDiagnosis &d) const
    {
        d.userName = identity_.userName.empty() ? std::to_string(identity_.uid) : identity_.userName;
        d.node = system_.node(d.device);
        if (!d.node)
            return;
        d.realDevice = system_.resolve(d.device);
        if (d.realDevice.empty())
            d.realDevice = d.device;
        readAdapter(system_, d);
    }

    void judgeAccess(PortDiagnosis &d) const
    {
        const NodeFacts &node = *d.node;
        const GroupEntry *group = FindGroup(groups_, node.group);
        d.groupName = group ? group->name : std::to_string(node.group);
        const std::string owner = system_.userName(node.owner);
        d.ownerName = owner.empty() ? std::to_string(node.owner) : owner;
        d.groupInLogin = contains(identity_.groups, node.group);
        d.groupInFile = group && contains(group->members, identity_.userName);
        d.mayReadWrite = system_.mayReadWrite(d.realDevice);
        if (d.mayReadWrite)
            return;

        const std::string &device = d.realDevice;
        // Joining root's group is no advice anyone should take.
        const bool groupMayUse = (node.mode & 060U) == 060U && node.group != 0;
        if (!groupMayUse) {
            const std::string serial = serialGroup();
            const std::string rule =
                udevCommand(udevMatch(d, false), fill(text::GroupAndModeAssignment, {serial}), text::GroupRuleFile);
            add(d, PortCause::OwnerOnly,
                fill(text::OwnerOnlyProblem, {device, d.ownerName, modeText(node), d.groupName}),
                fill(text::GiveToGroupFix, {rule, serial}));
        } else if (d.groupInLogin) {
            add(d, PortCause::Refused, fill(text::RefusedProblem, {device, d.groupName}),
                fill(text::AccessListFix, {device}));
        } else if (d.groupInFile) {
            add(d, PortCause::GroupNotInLogin, fill(text::GroupNotInLoginProblem, {device, d.groupName}),
                fill(text::NewLoginFix, {d.groupName}));
        } else {
            add(d, PortCause::NotInGroup, fill(text::NotInGroupProblem, {device, d.userName, d.groupName}),
                fill(text::JoinGroupFix, {d.groupName}));
        }
    }

    void judgeHolders(PortDiagnosis &d, const ProcessScan &scan, DoctorHints hints) const
    {
        const std::string &device = d.realDevice;
        d.holders = scan.holdersOf(device);
        d.scanCut = scan.cut;
        for (const PortHolder &holder : d.holders) {
            const std::string pid = std::to_string(holder.pid);
            if (holder.farEnd)
                continue;
            if (holder.pid == identity_.pid)
                add(d, PortCause::ThisProgram, fill(text::ThisProgramProblem, {device}), text::ThisProgramFix);
            else if (holder.name == ModemManagerName)
                addModemManager(d, text::ModemManagerProblem, pid);
            else if (holder.name == BrlttyName)
                addBrltty(d, fill(text::BrlttyProblem, {device, pid}));
            else
                add(d, PortCause::HeldByProcess, fill(text::HeldProblem, {device, holder.name, pid}),
                    fill(text::CloseHolderFix, {holder.name, pid}));
        }
        if (!d.holders.empty())
            return;
        // Refused as busy with no holder in sight: the daemons this user
        // cannot look into are the likely ones.
        const auto unseenModemManager = std::find_if(scan.unseen.begin(), scan.unseen.end(),
                                                     [](const PortHolder &p) { return p.name == ModemManagerName; });
        if (hints.refusedAsBusy && unseenModemManager != scan.unseen.end())
            addModemManager(d, text::ModemManagerLikelyProblem, std::to_string(unseenModemManager->pid));
        else if (hints.refusedAsBusy && scan.someUnreadable)
            add(d, PortCause::HeldUnseen, fill(text::HeldUnseenProblem, {device}), fill(text::FindHolderFix, {device}));
        else
            for (const PortHolder &daemon : scan.unseen)
                d.notes.push_back(fill(text::UnseenDaemon, {daemon.name, std::to_string(daemon.pid), d.device}));
    }

    // A missing device with brltty running and an adapter claimed the way
    // brltty claims one: brltty took it.
    void judgeMissing(PortDiagnosis &d, const ProcessScan &scan) const
    {
        add(d, PortCause::Missing, fill(text::MissingProblem, {d.device}), text::ChooseExistingPortFix);
        const auto brltty = std::find_if(scan.daemons.begin(), scan.daemons.end(),
                                         [](const PortHolder &p) { return p.name == BrlttyName; });
        if (brltty == scan.daemons.end())
            return;
        if (const auto ids = adapterClaimedByUsbfs(system_)) {
            d.vendorId = ids->vendor;
            d.productId = ids->product;
            addBrltty(d, fill(text::BrlttyTookAdapterProblem,
                           {d.device, std::to_string(brltty->pid), ids->vendor, ids->product}));
        }
    }

    void judgeHardware(PortDiagnosis &d) const
    {
        const std::string name(BaseName(d.realDevice));
        // A ttyS node the kernel made without finding a UART says type 0.
        if (name.rfind("ttyS", 0) == 0 && readLine(system_, "/sys/class/tty/" + name + "/type") == "0")
            add(d, PortCause::NoHardware, fill(text::NoHardwareProblem, {d.realDevice}), text::ChooseExistingPortFix);
    }

private:
    static void add(PortDiagnosis &d, PortCause cause, std::string problem, std::string fix)
    {
        d.findings.push_back(PortFinding{cause, std::move(problem), std::move(fix)});
    }

    void addModemManager(PortDiagnosis &d, const char *problem, const std::string &pid) const
    {
        add(d, PortCause::ModemManager, fill(problem, {d.realDevice, pid}),
            fill(text::ModemManagerFix, {udevCommand(udevMatch(d, false), text::ModemManagerAssignment,
                                                     text::ModemManagerRuleFile)}));
    }

    void addBrltty(PortDiagnosis &d, std::string problem) const
    {
        // brltty started by udev for a USB device can be told to leave this
        // adapter alone by a rule; brltty as a service by its own config.
        const bool udevStarted = system_.node("/usr/lib/udev/rules.d/85-brltty.rules").has_value()
                                 || system_.node("/lib/udev/rules.d/85-brltty.rules").has_value();
        std::string fix = udevStarted && !d.vendorId.empty()
                              ? fill(text::BrlttyRuleFix, {udevCommand(udevMatch(d, true), text::BrlttyAssignment,
                                                                       text::BrlttyRuleFile)})
                              : std::string(text::BrlttyConfigFix);
        add(d, PortCause::Brltty, std::move(problem), std::move(fix));
    }

    // The adapter by its USB ids, so the rule follows it to any port;
    // a built-in port by its kernel name.
    static std::string udevMatch(const PortDiagnosis &d, bool usbDevice)
    {
        if (!d.vendorId.empty())
            return fill(usbDevice ? text::UdevMatchUsbDevice : text::UdevMatchUsbParent, {d.vendorId, d.productId});
        return fill(text::UdevMatchKernelName, {BaseName(d.realDevice.empty() ? d.device : d.realDevice)});
    }

    static std::string udevCommand(const std::string &match, std::string_view assignment, std::string_view file)
    {
        return fill(text::UdevRuleCommand, {match, assignment, file});
    }

    // The group serial ports go to: dialout, or uucp where that is the custom.
    std::string serialGroup() const
    {
        if (!FindGroup(groups_, "dialout") && FindGroup(groups_, "uucp"))
            return "uucp";
        return "dialout";
    }

    const PortDoctorSystem &system_;
    std::vector<GroupEntry> groups_;
    ProcessIdentity identity_;
};

} // namespace

std::vector<PortDiagnosis> DiagnosePorts(const PortDoctorSystem &system, const std::vector<std::string> &devices,
                                         DoctorHints hints)
{
    const Doctor doctor(system);
    std::vector<PortDiagnosis> all;
    std::vector<std::string> present;
    for (const std::string &device : devices) {
        PortDiagnosis &d = all.emplace_back();
        d.device = device;
        doctor.examine(d);
        if (!d.node)
            continue;
        doctor.judgeHardware(d);
        doctor.judgeAccess(d);
        present.push_back(d.realDevice);
    }
    const ProcessScan scan = scanProcesses(system, present);
    for (PortDiagnosis &d : all) {
        if (d.node)
            doctor.judgeHolders(d, scan, hints);
        else
            doctor.judgeMissing(d, scan);
    }
    return all;
}

PortDiagnosis DiagnosePort(const PortDoctorSystem &system, const std::string &device, DoctorHints hints)
{
    return DiagnosePorts(system, {device}, hints).front();
}

std::vector<std::string> DescribeDiagnosis(const PortDiagnosis &d)
{
    std::vector<std::string> lines{d.device};
    auto line = [&lines](const char *label, const std::string &value) {
        lines.push_back("  " + std::string(label) + value);
    };
    if (!d.node) {
        line(text::DeviceLabel, text::DeviceMissing);
    } else {
        line(text::DeviceLabel, d.realDevice == d.device ? std::string(text::DevicePresent)
                                                         : fill(text::DeviceLinked, {d.realDevice}));
        std::vector<std::string> adapter;
        if (!d.byIdName.empty())
            adapter.push_back(fill(text::AdapterByIdName, {d.byIdName}));
        if (!d.driver.empty())
            adapter.push_back(fill(text::AdapterDriver, {d.driver}));
        if (!d.vendorId.empty())
            adapter.push_back(fill(text::AdapterUsbId, {d.vendorId, d.productId}));
        std::string joined;
        for (const std::string &part : adapter)
            joined += (joined.empty() ? "" : ", ") + part;
        line(text::AdapterLabel, joined.empty() ? std::string(text::AdapterUnknown) : joined);
        line(text::AccessLabel, fill(text::AccessLine, {modeText(*d.node), d.ownerName, d.groupName}));
        const char *user = d.mayReadWrite  ? text::UserMayUse
                           : d.groupInLogin ? text::UserInGroup
                           : d.groupInFile  ? text::UserGroupNotInLogin
                                            : text::UserNotInGroup;
        line(text::UserLabel, fill(user, {d.userName, d.groupName}));
        std::string holders;
        for (const PortHolder &holder : d.holders)
            holders += (holders.empty() ? "" : ", ")
                       + fill(holder.farEnd ? text::FarEndLine : text::HolderLine,
                              {holder.name, std::to_string(holder.pid)});
        line(text::HeldLabel, holders.empty() ? std::string(text::HeldByNobody) : holders);
        if (d.scanCut)
            line(text::NoteLabel, text::NoProcScan);
    }
    for (const std::string &note : d.notes)
        line(text::NoteLabel, note);
    for (const PortFinding &finding : d.findings) {
        line(text::ProblemLabel, finding.problem);
        line(text::FixLabel, finding.fix);
    }
    if (d.usable())
        lines.push_back("  " + fill(text::AllWell, {d.device}));
    return lines;
}

const PortDoctorSystem &LiveDoctorSystem()
{
    static const LivePortDoctorSystem system;
    return system;
}

} // namespace q51
