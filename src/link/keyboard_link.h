#pragma once
// The host's side of the keyboard-wedge line, as asynchronous steps on the
// event loop: the wake-up handshake, pauses, typing text to the keyboard
// controller with a pause after each character, and waits for what the
// decoder types into a reply box. One step runs at a time; each ends by
// calling its done function once, as the last thing it does, so the caller
// may start the next step from there. Nothing blocks: pacing and time-outs
// are timers, typed answers arrive as the box's change signal. abort()
// ends any step silently.
//
// The first step takes hold of the port for the exchange (PortIo's
// BeginExchange); the owner lets go of it with release() when the exchange
// has its result or is abandoned, and destroying the link abandons it.
//
// After every wait for a typed answer the interrupt controller's mask
// register is cleared, as the protocol prescribes (the port-I/O backend
// decides whether that write reaches the hardware).

#include <functional>
#include <memory>

#include <QByteArray>
#include <QChar>
#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QTimer>

#include "link/intervals.h"
#include "link/reply_box.h"

namespace q51 {

class PortExchange;
class PortIo;

class KeyboardLink final : public QObject {
    Q_OBJECT
public:
    explicit KeyboardLink(PortIo &io, QObject *parent = nullptr);
    ~KeyboardLink() override;

    struct Handshake {
        QByteArray tickText; // written at every tick, e.g. "AAAAA"
        Interval letterPause;
        Interval tick;
        int maxTicks; // gives up at the tick after this many
    };

    // Empties the box, gives it the focus, then writes tickText at every
    // tick until the box reads "S" (either case). done(true) when the
    // decoder was ready before the tick after maxTicks. A tick's letters are
    // always written whole: an answer typed during them is taken once they
    // are out, and a tick due meanwhile comes once they are.
    void handshake(const ReplyBox &box, const Handshake &how, std::function<void(bool ready)> done);

    void pause(Interval interval, std::function<void()> done);

    // Writes each character code to the data port followed by the key delay;
    // typed(n) after the n-th character's pause.
    void type(const QByteArray &text, std::function<void(int typed)> typed, std::function<void()> done);

    // How a wait treats what the box already holds. Keystrokes typed while
    // the host is still writing count as typed after it: a decoder may
    // answer before the host's last pause is over. So a caller that writes
    // before waiting empties the box before writing and keeps what it holds.
    enum class BoxStart { Empty, KeepTyped };

    // Gives the box the focus (emptied first, unless KeepTyped) and waits
    // until it reads the mark (either case) or the time is up; done(true)
    // when it reads the mark.
    void waitForMark(const ReplyBox &box, QChar mark, Interval timeout, std::function<void(bool seen)> done,
                     BoxStart start = BoxStart::Empty);

    // Empties the box, gives it the focus and waits until it holds exactly
    // `length` characters or the time is up; done() gets the box's text.
    // progress(n) comes at most once per pass of the event loop, and with
    // the box's final length before done().
    void waitForLength(const ReplyBox &box, int length, Interval timeout, std::function<void(int length)> progress,
                       std::function<void(const QString &text)> done);

    void abort();
    [[nodiscard]] bool isBusy() const { return busy_; }

    // Ends the hold on the port. Succeeded: the writes asked for may still
    // go out; otherwise none more reaches the port. Returns what went wrong
    // with the port during the exchange (for the user), empty when nothing
    // did. A later step takes hold anew.
    enum class Outcome { Succeeded, Failed };
    QString release(Outcome outcome);

    // Clears the interrupt controller's mask register now.
    void unmaskInterrupts();

private:
    void begin();
    void writeData(char character);

    void pace(const QByteArray &bytes, Interval pauseAfterEach, std::function<void(int)> each,
              std::function<void()> done);
    void paceNext();

    void onTick();
    void runTick();
    void finishHandshake();

    void startWait(const ReplyBox &box, Interval timeout, BoxStart start, std::function<void()> changed);
    void endWait();
    bool reportProgress();

    PortIo &io_;
    std::unique_ptr<PortExchange> exchange_;
    bool busy_ = false;
    // Bumped by every new step and by abort(), so that a callback of an
    // earlier step that ended the step can tell.
    quint64 generation_ = 0;

    // Pacing: the bytes still to go, each followed by its pause.
    QTimer paceTimer_;
    QByteArray paced_;
    int pacedCount_ = 0;
    bool pacing_ = false;
    Interval pacedPause_ = Interval::KeyDelay;
    std::function<void(int)> pacedEach_;
    std::function<void()> pacedDone_;

    // Handshake (the tick timer and its counter).
    QTimer tickTimer_;
    Handshake handshake_{};
    int timeId_ = 0;
    bool ready_ = false;
    bool tickPending_ = false;
    std::function<void(bool)> handshakeDone_;

    // Waiting for the box, or a plain pause (the time-out timer).
    QTimer timeoutTimer_;
    ReplyBox box_;
    QMetaObject::Connection boxWatch_;
    bool unmaskAfterWait_ = false;
    std::function<void()> waitDone_;

    // A waitForLength's progress, due at the next pass of the event loop.
    QTimer progressTimer_;
    std::function<void(int)> progress_;
    int reportedLength_ = 0;
};

} // namespace q51
