#pragma once
// One command of the command console, Status or Trigger, sent over an open
// serial port or by keyboard, as a chain of steps on the event loop. The
// console starts it with its controls disabled and turns the outcome into
// its log lines and message.

#include <functional>
#include <memory>
#include <optional>

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include "link/keyboard_link.h"
#include "link/protocol/typed_replies.h"
#include "link/reply_box.h"

namespace q51 {

class Exchange;
class PortIo;
class Transport;

enum class ConsoleItem { Status = 0, Trigger = 1 };

struct ConsoleOutcome {
    bool handshakeTimedOut = false; // keyboard only: the decoder never said it was ready
    bool succeeded = false;
    std::optional<protocol::StatusBytes> status; // a Status command that succeeded
    QString detail; // keyboard only, on failure: what went wrong with the port, when something did
};

class ConsoleCommand final : public QObject {
    Q_OBJECT
public:
    // Over a port the caller has opened; the command writes to it and waits
    // for the reply but leaves closing it to the caller.
    ConsoleCommand(ConsoleItem item, Transport &port, QObject *parent = nullptr);
    // By keyboard: the marks are typed into markBox, a status reply into
    // statusBox.
    ConsoleCommand(ConsoleItem item, PortIo &io, const ReplyBox &markBox, const ReplyBox &statusBox,
                   QObject *parent = nullptr);
    ~ConsoleCommand() override;

    // Called once at the end, unless aborted.
    std::function<void(const ConsoleOutcome &outcome)> onFinished;

    void start();
    // Ends the command silently: timers stopped, nothing more written.
    void abort();

private:
    void startSerial();
    void startKeyboard();
    void finish(ConsoleOutcome outcome);

    ConsoleItem item_;
    QPointer<Transport> port_;
    std::unique_ptr<KeyboardLink> link_;
    ReplyBox markBox_;
    ReplyBox statusBox_;
    QPointer<Exchange> exchange_;
    QTimer drain_;
    bool done_ = false;
};

} // namespace q51
