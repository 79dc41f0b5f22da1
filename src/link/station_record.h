#pragma once
// What the production station keeps of one unit it has handled: one record
// per decoder plugged in, whatever the result. The station's engine fills it
// in; the records store keeps it (database or spool) and answers queries.

#include <optional>

#include <QDateTime>
#include <QString>

namespace q51 {

// The steps of a unit's cycle, in order. Record: the unit was verified but
// its record could not be kept anywhere, so it is no PASS.
enum class UnitStep { Identify, Backup, Firmware, Download, ReadBack, Verify, Record };

// "identify", "backup", "firmware", "download", "readback", "verify",
// "record": the words stored in the records and accepted back from them.
[[nodiscard]] QString UnitStepWord(UnitStep step);
[[nodiscard]] std::optional<UnitStep> UnitStepFromWord(const QString &word);
// "reading the version", ...: for the tiles and the console.
[[nodiscard]] QString UnitStepText(UnitStep step);

struct StationRecord {
    QString unitId;          // unique per unit (a UUID): a record sent twice is stored once
    QDateTime time;          // when the unit's cycle began, UTC
    QString station;         // the host name
    QString operatorName;
    QString port;            // the device ("/dev/ttyUSB0") or "COM1"
    QString adapterSerial;   // empty when the adapter reports none
    QString decoderVersion;  // the version text, trailing blanks trimmed
    QString foundDigest;     // SHA-256 of the 256-byte block found, lower-case hex; empty: never read
    QString goldenDigest;    // of the golden block as sent, checksum included
    QString firmwareBefore;  // empty when no firmware update was asked for
    QString firmwareAfter;
    bool passed = false;
    std::optional<UnitStep> failedStep; // set exactly when !passed
    QString problem;         // what went wrong, in plain words; empty on a pass
    double seconds = 0;      // the cycle's length

    friend bool operator==(const StationRecord &, const StationRecord &) = default;
};

} // namespace q51
