#pragma once
// The transfer window's three exchanges by keyboard: download, upload (up to
// three attempts) and firmware version (up to three attempts), each a chain
// of KeyboardLink steps driven by the event loop. The window starts one,
// keeps its buttons disabled until it finishes, shows the progress it
// reports and then the message it ends with.

#include <functional>

#include <QObject>

#include "link/keyboard_link.h"
#include "link/reply_box.h"
#include "link/transmit_exchanges.h"

namespace q51 {

struct Configuration;
class PortIo;

class KeyboardTransfer final : public QObject {
    Q_OBJECT
public:
    KeyboardTransfer(TransferKind kind, Configuration &config, PortIo &io, const ReplyBox &replyBox,
                     QObject *parent = nullptr);

    // Show the progress bar with this value and maximum.
    std::function<void(int value, int maximum)> onProgress;
    // Called once at the end, unless aborted. hideProgress is false when the
    // exchange stopped early and the bar keeps whatever it showed. A failed
    // exchange's report names in its detail what went wrong with the port,
    // when something did.
    std::function<void(const TransferReport &report, bool hideProgress)> onFinished;

    // A download writes the block checksum into the block first.
    void start();
    // Ends the exchange silently: no further port writes, no onFinished.
    void abort();

private:
    void download();
    void upload(int attempt);
    void version(int attempt);
    void versionReply(int attempt);
    void finish(const char *caption, const QString &text, bool hideProgress, KeyboardLink::Outcome outcome);

    TransferKind kind_;
    Configuration &config_;
    ReplyBox box_;
    KeyboardLink link_;
    bool done_ = false;
};

} // namespace q51
