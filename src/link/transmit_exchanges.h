#pragma once
// The three serial exchanges of the transfer window (download, upload,
// firmware version): the request each sends, how many reply bytes it waits
// for and how long, how its reply is judged, and the message it ends with.
// The window only starts them and shows the result.

#include <optional>

#include <QString>

#include "link/exchange.h"

namespace q51 {

struct Configuration;

enum class TransferKind { Download, Upload, Version };

// What the user is told when an exchange ends.
struct TransferReport {
    QString caption;
    QString text;
    QString detail; // empty, or why the port went away
    // A version query refused by the decoder stops at once; every other
    // ending also hides the progress bar an earlier keyboard attempt showed.
    bool stoppedEarly = false;
};

// The request for the exchange. A download first writes the block checksum
// into bytes 254 and 255 of the block, so the frame carries it.
[[nodiscard]] Exchange::Request PrepareTransfer(TransferKind kind, Configuration &config);
// The firmware version query on its own: it touches no configuration.
[[nodiscard]] Exchange::Request VersionQuery();
// The 30-character version text of an accepted version reply, trailing
// blanks kept; nothing for any other reply.
[[nodiscard]] std::optional<QString> AcceptedVersionText(const QByteArray &reply);

// Turns the finished exchange into its message. An accepted upload replaces
// the whole block (the saved copy stays as it was); nothing else touches the
// block. A lost port reads as a time-out: no reply came.
[[nodiscard]] TransferReport CompleteTransfer(TransferKind kind, const ExchangeResult &result,
                                              Configuration &config);

} // namespace q51
