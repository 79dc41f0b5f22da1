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
    std::vector<PortHolder> holders; // seen holding the device
    std::vector<PortHolder> daemons; // ModemManager and brltty, running
    std::vector<PortHolder> unseen;  // daemons whose descriptors this user cannot read
    bool someUnreadable = false;
    bool cut = false;
};

// Every process's name and, when a device is given, whether one of its
// descriptors points at it; bounded in count and time.
ProcessScan scanProcesses(const PortDoctorSystem &system, const std::string &device)
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
        if (device.empty())
            continue;
        const std::vector<std::string> descriptors = system.list(base + "/fd", DoctorMaxDescriptors);
        if (descriptors.empty()) {
            scan.someUnreadable = true;
            if (daemon)
                scan.unseen.push_back(process);
            continue;
        }
        bool holds = false;
        bool holdsMaster = false;
        for (const std::string &fd : descriptors) {
            const std::string target = system.linkTarget(base + "/fd/" + fd);
            holds = holds || target == device;
            holdsMaster = holdsMaster || target == "/dev/ptmx" || target == "/dev/pts/ptmx";
        }
        if (holds)
            scan.holders.push_back({process.pid, process.name, holdsMaster && device.rfind("/dev/pts/", 0) == 0});
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
        const std::string_view driver = BaseName(system.linkTarget(directory + "/driver"));
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
    Doctor(const PortDoctorSystem &system, PortDiagnosis &d)
        : system_(system), d_(d), groups_(ParseGroupFile(system.read("/etc/group", GroupFileLimit).value_or(""))),
          identity_(system.identity())
    {
        d_.userName = identity_.userName.empty() ? std::to_string(identity_.uid) : identity_.userName;
    }

    void judgeAccess()
    {
        const NodeFacts &node = *d_.node;
        const GroupEntry *group = FindGroup(groups_, node.group);
        d_.groupName = group ? group->name : std::to_string(node.group);
        const std::string owner = system_.userName(node.owner);
        d_.ownerName = owner.empty() ? std::to_string(node.owner) : owner;
        d_.groupInLogin = contains(identity_.groups, node.group);
        d_.groupInFile = group && contains(group->members, identity_.userName);
        d_.mayReadWrite = system_.mayReadWrite(d_.realDevice);
        if (d_.mayReadWrite)
            return;

        const std::string &device = d_.realDevice;
        // Joining root's group is no advice anyone should take.
        const bool groupMayUse = (node.mode & 060U) == 060U && node.group != 0;
        if (!groupMayUse) {
            add(PortCause::OwnerOnly, fill(text::OwnerOnlyProblem, {device, d_.ownerName, modeText(node), d_.groupName}),
                fill(text::GiveToGroupFix, {udevCommand(udevMatch(false), fill(text::GroupAndModeAssignment,
                                                                               {serialGroup()}),
                                                        text::GroupRuleFile),
                                            serialGroup()}));
        } else if (d_.groupInLogin) {
            add(PortCause::Refused, fill(text::RefusedProblem, {device, d_.groupName}),
                fill(text::AccessListFix, {device}));
        } else if (d_.groupInFile) {
            add(PortCause::GroupNotInLogin, fill(text::GroupNotInLoginProblem, {device, d_.groupName}),
                fill(text::NewLoginFix, {d_.groupName}));
        } else {
            add(PortCause::NotInGroup, fill(text::NotInGroupProblem, {device, d_.userName, d_.groupName}),
                fill(text::JoinGroupFix, {d_.groupName}));
        }
    }

    void judgeHolders(const ProcessScan &scan, DoctorHints hints)
    {
        const std::string &device = d_.realDevice;
        for (const PortHolder &holder : scan.holders) {
            const std::string pid = std::to_string(holder.pid);
            if (holder.farEnd)
                continue;
            if (holder.pid == identity_.pid)
                add(PortCause::ThisProgram, fill(text::ThisProgramProblem, {device}), text::ThisProgramFix);
            else if (holder.name == ModemManagerName)
                addModemManager(text::ModemManagerProblem, pid);
            else if (holder.name == BrlttyName)
                addBrltty(fill(text::BrlttyProblem, {device, pid}));
            else
                add(PortCause::HeldByProcess, fill(text::HeldProblem, {device, holder.name, pid}),
                    fill(text::CloseHolderFix, {holder.name, pid}));
        }
        if (!scan.holders.empty())
            return;
        // Refused as busy with no holder in sight: the daemons this user
        // cannot look into are the likely ones.
        const auto unseenModemManager = std::find_if(scan.unseen.begin(), scan.unseen.end(),
                                                     [](const PortHolder &p) { return p.name == ModemManagerName; });
        if (hints.refusedAsBusy && unseenModemManager != scan.unseen.end())
            addModemManager(text::ModemManagerLikelyProblem, std::to_string(unseenModemManager->pid));
        else if (hints.refusedAsBusy && scan.someUnreadable)
            add(PortCause::HeldUnseen, fill(text::HeldUnseenProblem, {device}), fill(text::FindHolderFix, {device}));
        else
            for (const PortHolder &daemon : scan.unseen)
                d_.notes.push_back(fill(text::UnseenDaemon, {daemon.name, std::to_string(daemon.pid), d_.device}));
    }

    // A missing device with brltty running and an adapter claimed the way
    // brltty claims one: brltty took it.
    void judgeMissing(const ProcessScan &scan)
    {
        add(PortCause::Missing, fill(text::MissingProblem, {d_.device}), text::ChooseExistingPortFix);
        const auto brltty = std::find_if(scan.daemons.begin(), scan.daemons.end(),
                                         [](const PortHolder &p) { return p.name == BrlttyName; });
        if (brltty == scan.daemons.end())
            return;
        if (const auto ids = adapterClaimedByUsbfs(system_)) {
            d_.vendorId = ids->vendor;
            d_.productId = ids->product;
            addBrltty(fill(text::BrlttyTookAdapterProblem,
                           {d_.device, std::to_string(brltty->pid), ids->vendor, ids->product}));
        }
    }

    void judgeHardware()
    {
        const std::string name(BaseName(d_.realDevice));
        // A ttyS node the kernel made without finding a UART says type 0.
        if (name.rfind("ttyS", 0) == 0 && readLine(system_, "/sys/class/tty/" + name + "/type") == "0")
            add(PortCause::NoHardware, fill(text::NoHardwareProblem, {d_.realDevice}), text::ChooseExistingPortFix);
    }

private:
    void add(PortCause cause, std::string problem, std::string fix)
    {
        d_.findings.push_back(PortFinding{cause, std::move(problem), std::move(fix)});
    }

    void addModemManager(const char *problem, const std::string &pid)
    {
        add(PortCause::ModemManager, fill(problem, {d_.realDevice, pid}),
            fill(text::ModemManagerFix, {udevCommand(udevMatch(false), text::ModemManagerAssignment,
                                                     text::ModemManagerRuleFile)}));
    }

    void addBrltty(std::string problem)
    {
        // brltty started by udev for a USB device can be told to leave this
        // adapter alone by a rule; brltty as a service by its own config.
        const bool udevStarted = system_.node("/usr/lib/udev/rules.d/85-brltty.rules").has_value()
                                 || system_.node("/lib/udev/rules.d/85-brltty.rules").has_value();
        std::string fix = udevStarted && !d_.vendorId.empty()
                              ? fill(text::BrlttyRuleFix, {udevCommand(udevMatch(true), text::BrlttyAssignment,
                                                                       text::BrlttyRuleFile)})
                              : std::string(text::BrlttyConfigFix);
        add(PortCause::Brltty, std::move(problem), std::move(fix));
    }

    // The adapter by its USB ids, so the rule follows it to any port;
    // a built-in port by its kernel name.
    std::string udevMatch(bool usbDevice) const
    {
        if (!d_.vendorId.empty())
            return fill(usbDevice ? text::UdevMatchUsbDevice : text::UdevMatchUsbParent, {d_.vendorId, d_.productId});
        return fill(text::UdevMatchKernelName, {BaseName(d_.realDevice.empty() ? d_.device : d_.realDevice)});
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
    PortDiagnosis &d_;
    std::vector<GroupEntry> groups_;
    ProcessIdentity identity_;
};

} // namespace

PortDiagnosis DiagnosePort(const PortDoctorSystem &system, const std::string &device, DoctorHints hints)
{
    PortDiagnosis d;
    d.device = device;
    d.node = system.node(device);
    Doctor doctor(system, d);
    if (!d.node) {
        doctor.judgeMissing(scanProcesses(system, {}));
        return d;
    }
    d.realDevice = system.resolve(device);
    if (d.realDevice.empty())
        d.realDevice = device;
    readAdapter(system, d);
    doctor.judgeHardware();
    doctor.judgeAccess();
    const ProcessScan scan = scanProcesses(system, d.realDevice);
    d.holders = scan.holders;
    d.scanCut = scan.cut;
    doctor.judgeHolders(scan, hints);
    return d;
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
