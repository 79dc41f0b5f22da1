#pragma once
// Bringing a decoder in line with a file, in order: read the decoder's
// block, keep it as a backup .cfg, send the decoder its own block with the
// chosen settings taken from the file, read it back and compare. Any step
// that fails ends the sequence and says which step it was; the file is
// never touched, and a backup once written stays as it is. The window and
// q51ctl both run this one sequence.

#include <functional>
#include <vector>

#include <QString>

#include "link/exchange.h"
#include "link/task.h"
#include "link/transmit_exchanges.h"
#include "model/configuration.h"

namespace q51 {

struct Setting;
class Transport;

// Every setting whose part of the two configurations differs; the header
// values and the checksum are left out, as they do not describe the block.
[[nodiscard]] std::vector<const Setting *> DifferingSettings(const Configuration &a, const Configuration &b);

// Copies each setting's value from `from` into `to` through its codec.
// False (to partly written) when a value would not go in.
bool TakeSettings(const std::vector<const Setting *> &settings, const Configuration &from, Configuration &to);

enum class ApplyStep { ReadBackup, SaveBackup, Download, ReadBack, Verify, Done };

// "reading the decoder's block for the backup", ...: for progress lines and
// failures.
[[nodiscard]] QString ApplyStepText(ApplyStep step);

struct ApplyRequest {
    Configuration file;                     // a copy: the open configuration stays as it is
    std::vector<const Setting *> settings;  // taken from the file; the rest stay as the decoder has them
    bool wholeBlock = false;                // send the file's whole block instead
    QString backupFolder;                   // empty: DefaultBackupFolder()
    QString portLabel;                      // names the backup, "COM1"
};

struct ApplyResult {
    ApplyStep failed = ApplyStep::Done; // Done: every step succeeded
    ExchangeResult exchange;            // the failing exchange's, for the exit code
    QString problem;                    // what went wrong, in plain words
    QString backupPath;                 // empty until the backup is written
    Configuration before;               // the decoder's block as read for the backup
    Configuration sent;                 // the block sent, checksum included
    Configuration readBack;             // as read back
    std::vector<const Setting *> mismatched; // Verify: settings that did not arrive as sent

    [[nodiscard]] bool ok() const { return failed == ApplyStep::Done; }
};

// step: the one now running; gathered/expected: reply bytes so far.
using ApplyProgress = std::function<void(ApplyStep step, qsizetype gathered, qsizetype expected)>;

// One transfer of the transfer window awaited: ok, or the exchange and why
// it failed in the transfer window's words.
struct TransferDone {
    bool ok = false;
    ExchangeResult exchange;
    QString why; // empty when ok
};
// progress sees the reply bytes gathered and how many are expected.
Task<TransferDone> Transferred(Transport &port, TransferKind kind, Configuration &config,
                               std::function<void(qsizetype gathered, qsizetype expected)> progress = {});

// Runs on an open port and leaves it open. Destroying the task stops it
// where it waits, silently.
Task<ApplyResult> ApplyToDecoder(Transport &port, ApplyRequest request, ApplyProgress onProgress = {});

// The decoder's block alone, as the first step reads it.
Task<ApplyResult> ReadDecoderBlock(Transport &port, Configuration file, ApplyProgress onProgress = {});

} // namespace q51
