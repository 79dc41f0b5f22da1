#pragma once
// Every sentence the port doctor says, in one place. %1, %2, ... are
// filled in order; a fix is one command the user can paste, with what to
// do after it.

namespace q51::doctor_text {

// The report's labels, each line of one port indented under its device.
inline constexpr const char *DeviceLabel = "Device:  ";
inline constexpr const char *AdapterLabel = "Adapter: ";
inline constexpr const char *AccessLabel = "Access:  ";
inline constexpr const char *UserLabel = "You:     ";
inline constexpr const char *HeldLabel = "Held by: ";
inline constexpr const char *NoteLabel = "Note:    ";
inline constexpr const char *ProblemLabel = "Problem: ";
inline constexpr const char *FixLabel = "Fix:     ";

inline constexpr const char *DevicePresent = "present";
inline constexpr const char *DeviceLinked = "present, %1";
inline constexpr const char *DeviceMissing = "missing";
inline constexpr const char *AdapterUnknown = "none known (no /dev/serial/by-id name, no driver in /sys)";
inline constexpr const char *AdapterByIdName = "%1";
inline constexpr const char *AdapterDriver = "driver %1";
inline constexpr const char *AdapterUsbId = "USB %1:%2";
inline constexpr const char *AccessLine = "%1 %2 %3";
inline constexpr const char *UserMayUse = "%1, may read and write it";
inline constexpr const char *UserInGroup = "%1, in %2 in this login";
inline constexpr const char *UserGroupNotInLogin = "%1, listed in %2 in /etc/group but not in this login";
inline constexpr const char *UserNotInGroup = "%1, not in %2";
inline constexpr const char *HolderLine = "%1 (pid %2)";
inline constexpr const char *FarEndLine = "%1 (pid %2), the pseudo-terminal's other end";
inline constexpr const char *HeldByNobody = "no process this user can see";
inline constexpr const char *AllWell = "Nothing stands in the way of opening %1.";
inline constexpr const char *NoProcScan = "The scan of /proc stopped early; a holder may be missing from it.";
inline constexpr const char *UnseenDaemon =
    "%1 (pid %2) is running, and this user cannot see which devices it holds; sudo q51ctl doctor %3 can.";

// Problems.
inline constexpr const char *MissingProblem = "%1 does not exist.";
inline constexpr const char *NoHardwareProblem = "%1 exists, but no serial port hardware stands behind it.";
inline constexpr const char *OwnerOnlyProblem = "Only %2 may read and write %1 (mode %3, group %4).";
inline constexpr const char *NotInGroupProblem = "%2 may not use %1: it belongs to the %3 group, and %2 is not in it.";
inline constexpr const char *GroupNotInLoginProblem =
    "You were added to %2 but have not logged in again: this login is not in %2 yet, so %1 is refused.";
inline constexpr const char *RefusedProblem =
    "%1 is refused although its mode lets the %2 group in: an access list or a security module stands in the way.";
inline constexpr const char *ModemManagerProblem =
    "ModemManager (pid %2) holds %1: it opens serial adapters to look for modems.";
inline constexpr const char *ModemManagerLikelyProblem =
    "%1 is busy, and ModemManager (pid %2) is running: it opens serial adapters to look for modems and is the "
    "likely holder.";
inline constexpr const char *BrlttyProblem =
    "brltty (pid %2) holds %1: it takes some USB serial adapters for braille displays.";
inline constexpr const char *BrlttyTookAdapterProblem =
    "%1 does not exist, and brltty (pid %2) has claimed USB adapter %3:%4: it takes some USB serial adapters for "
    "braille displays, and the serial device goes away.";
inline constexpr const char *ThisProgramProblem = "Another window of this program holds %1.";
inline constexpr const char *HeldProblem = "%2 (pid %3) holds %1 open.";
inline constexpr const char *HeldUnseenProblem = "%1 is busy, held by a process this user cannot see.";

// Fixes.
inline constexpr const char *ChooseExistingPortFix = "Plug the adapter in, or choose a port that exists: q51ctl ports";
inline constexpr const char *JoinGroupFix = "sudo usermod -aG %1 $USER  (then log out and in again)";
inline constexpr const char *NewLoginFix = "newgrp %1  (for this shell; or log out and in again)";
inline constexpr const char *GiveToGroupFix = "%1  (gives the device to the %2 group; join it if you are not in it)";
inline constexpr const char *AccessListFix = "getfacl %1  (shows who may use it; ask your administrator for access)";
inline constexpr const char *ModemManagerFix =
    "%1  (then unplug and replug the adapter; ModemManager keeps its modems)";
inline constexpr const char *BrlttyRuleFix = "%1  (then unplug and replug the adapter; brltty keeps its displays)";
inline constexpr const char *BrlttyConfigFix =
    "sudo systemctl restart brltty, after naming your own braille display in /etc/brltty.conf "
    "(braille-device usb:ITS-SERIAL-NUMBER) so that brltty probes no other adapter";
inline constexpr const char *ThisProgramFix = "Finish or close the other window that uses the port.";
inline constexpr const char *CloseHolderFix = "Close %1, or end it: kill %2";
inline constexpr const char *FindHolderFix = "sudo fuser -v %1  (names the process; then close it)";

// The udev rules the fixes write: the match, the file name and the whole command.
inline constexpr const char *UdevMatchUsbParent =
    "SUBSYSTEMS==\"usb\", ATTRS{idVendor}==\"%1\", ATTRS{idProduct}==\"%2\"";
inline constexpr const char *UdevMatchUsbDevice = "SUBSYSTEM==\"usb\", ATTR{idVendor}==\"%1\", ATTR{idProduct}==\"%2\"";
inline constexpr const char *UdevMatchKernelName = "KERNEL==\"%1\"";
inline constexpr const char *UdevRuleCommand =
    "echo '%1, %2' | sudo tee /etc/udev/rules.d/%3 && sudo udevadm control --reload && sudo udevadm trigger";
inline constexpr const char *GroupAndModeAssignment = "GROUP=\"%1\", MODE=\"0660\"";
inline constexpr const char *ModemManagerAssignment = "ENV{ID_MM_DEVICE_IGNORE}=\"1\"";
inline constexpr const char *BrlttyAssignment = "ENV{SYSTEMD_WANTS}=\"\"";
inline constexpr const char *GroupRuleFile = "70-q51-serial-group.rules";
inline constexpr const char *ModemManagerRuleFile = "70-q51-modemmanager-ignore.rules";
// After brltty's own 85-brltty.rules, which asks for its service.
inline constexpr const char *BrlttyRuleFile = "86-q51-brltty-ignore.rules";

} // namespace q51::doctor_text
