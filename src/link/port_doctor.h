#pragma once
// The port doctor: why a serial port cannot be used, and the one command
// that fixes each cause. It looks at the device node, the adapter behind
// it, the device's owner, group and mode against this login's groups, and
// the processes holding it, all through PortDoctorSystem, and never opens
// the port itself (opening can reset what is attached).

#include <optional>
#include <string>
#include <vector>

#include "link/port_doctor_system.h"

namespace q51 {

enum class PortCause {
    Missing,          // no such device node
    NoHardware,       // a ttyS node with no UART behind it
    OwnerOnly,        // only the owner (root, mostly) may use it
    NotInGroup,       // the device's group may use it; the user is not in it
    GroupNotInLogin,  // /etc/group lists the user, this login does not have the group yet
    Refused,          // the mode lets the user in, something else does not
    ModemManager,     // ModemManager holds it, or is the likely holder
    Brltty,           // brltty holds it, or took the adapter away
    ThisProgram,      // another window of this program holds it
    HeldByProcess,    // some other process holds it
    HeldUnseen,       // busy, held by a process this user cannot see
};

struct PortFinding {
    PortCause cause;
    std::string problem; // one sentence: what is wrong
    std::string fix;     // the command that fixes it, with what to do after
};

struct PortHolder {
    unsigned pid = 0;
    std::string name;    // the process's comm
    bool farEnd = false; // holds the master of this pseudo-terminal: its other end, no obstacle
};

// What the doctor learnt of one device.
struct PortDiagnosis {
    std::string device;     // as asked for
    std::string realDevice; // every link resolved; empty when missing
    std::string byIdName;   // its name under /dev/serial/by-id
    std::string driver;     // the tty's driver in sysfs, e.g. ftdi_sio
    std::string vendorId;   // the USB adapter's ids, four hex digits each
    std::string productId;
    std::optional<NodeFacts> node;
    std::string ownerName;
    std::string groupName;
    std::string userName;
    bool mayReadWrite = false;
    bool groupInLogin = false;
    bool groupInFile = false;
    std::vector<PortHolder> holders; // the processes seen holding it
    bool scanCut = false;            // the /proc scan hit its bounds
    std::vector<std::string> notes;  // worth knowing, not a cause
    std::vector<PortFinding> findings;

    [[nodiscard]] bool usable() const { return findings.empty(); }
};

struct DoctorHints {
    // Opening it was refused as busy: a holder this user cannot see is then
    // the likely cause.
    bool refusedAsBusy = false;
};

// The /proc scan's bounds (one scan serves every device asked about at once):
// the whole diagnosis stays well under a second.
inline constexpr std::size_t DoctorMaxProcesses = 4096;
inline constexpr std::size_t DoctorMaxDescriptors = 1024;
inline constexpr long long DoctorScanMilliseconds = 500;

[[nodiscard]] PortDiagnosis DiagnosePort(const PortDoctorSystem &system, const std::string &device,
                                         DoctorHints hints = {});
// Several devices with one scan of /proc, in the order given.
[[nodiscard]] std::vector<PortDiagnosis> DiagnosePorts(const PortDoctorSystem &system,
                                                       const std::vector<std::string> &devices, DoctorHints hints = {});

// The diagnosis as report lines: the device, then indented facts, then
// each problem with its fix (or that nothing stands in the way).
[[nodiscard]] std::vector<std::string> DescribeDiagnosis(const PortDiagnosis &diagnosis);

// The system's own doctor, for the windows and q51ctl.
[[nodiscard]] const PortDoctorSystem &LiveDoctorSystem();

} // namespace q51
