#pragma once
// What the production station gives every unit: the site's golden
// configuration, the firmware it must run (when one is given), who runs the
// station and where backups go. The same for every port.

#include <optional>

#include <QString>

#include "link/protocol/bytes.h"
#include "link/serial_settings.h"
#include "model/configuration.h"

namespace q51 {

struct StationPlan {
    Configuration golden;        // as loaded; its checksum is written when it is sent
    QString goldenName;          // the file's name, as the tiles show it
    std::optional<protocol::Bytes> firmware; // the image to update to
    QString firmwareVersion;     // the version text the image brings
    QString operatorName;
    QString stationName;         // the host name, unless told otherwise
    QString backupFolder;        // empty: DefaultBackupFolder()
    SerialSettings settings{9600, 'N', 8, 1}; // how the station talks to each unit
};

// SHA-256 of the 256 block bytes, lower-case hex: what the records compare.
[[nodiscard]] QString BlockDigest(const Block &block);
// The golden block as it goes on the wire, its checksum written.
[[nodiscard]] Block GoldenBlock(const StationPlan &plan);

// A version text without the blanks the decoder pads it with.
[[nodiscard]] QString TrimmedVersion(const QString &text);
// The version texts compared as the decoder pads them: trailing blanks
// do not count.
[[nodiscard]] bool SameVersion(const QString &a, const QString &b);

} // namespace q51
