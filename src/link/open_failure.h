#pragma once
// Why a port could not be opened, in terms a user can act on.

#include <QString>

namespace q51 {

enum class OpenFailureKind {
    NoSuchDevice,
    PermissionDenied,
    InUse,
    UnsupportedSettings,
    Other,
};

struct OpenFailure {
    OpenFailureKind kind = OpenFailureKind::Other;
    int portNumber = 0;
    QString device;     // the device name "Com n" resolved to
    QString systemText; // the driver's own words, used for Other
    QString group;      // PermissionDenied: the group that owns the device
    QString heldBy;     // InUse: the window of this program holding it
};

// One sentence for the detail line of the not-available message.
[[nodiscard]] QString describeOpenFailure(const OpenFailure &failure);

// The same for q51ctl, whose user picks a port with --port or Q51_COM<n>,
// not in a window; a device only root may open is told as such.
[[nodiscard]] QString describeOpenFailureForCommandLine(const OpenFailure &failure);

} // namespace q51
