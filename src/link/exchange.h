#pragma once
// One request and its reply over a transport. The exchange discards stale
// bytes, writes the request, gathers the reply from however many chunks it
// arrives in, and once the threshold is reached hands everything gathered to
// the caller's judge. It ends exactly once: judged, timed out or port lost,
// unless aborted, after which it says nothing. Waiting costs no CPU: it
// rests on the transport's arrival signal and one single-shot timer.
//
// The engine knows nothing of frames: what the bytes mean is the judge's
// business, so every protocol exchange can share it.

#include <chrono>
#include <functional>
#include <optional>

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include "link/intervals.h"

namespace q51 {

class Transport;

enum class ExchangeEnd {
    Judged,   // the threshold was reached and the judge gave its verdict
    TimedOut, // fewer bytes than the threshold arrived in time
    PortLost, // the device went away, or the request could not be written
};

struct ExchangeResult {
    ExchangeEnd end = ExchangeEnd::TimedOut;
    int verdict = 0;  // the judge's answer; meaningful only for Judged
    QByteArray reply; // every byte gathered, also when timed out or lost
    // The first part was judged and the rest of the reply awaited (see
    // Request::continuation). A time-out or loss then came while the rest
    // was due, and verdict holds the first part's.
    bool continued = false;
};

class Exchange final : public QObject {
    Q_OBJECT
public:
    // Given all bytes gathered (at least threshold of them), returns the
    // caller's verdict. Called at most once.
    using Judge = std::function<int(const QByteArray &reply)>;

    // For a reply too long to wait for by a byte count: after the first
    // part, every later chunk goes to `take`, which returns the final
    // verdict once the reply is complete, or nothing to wait for more.
    struct Continuation {
        Interval firstWait = Interval::DownloadReply; // for the first later chunk
        Interval nextWait = Interval::DownloadReply;  // after each chunk that did not end it
        std::function<std::optional<int>(const QByteArray &chunk)> take;
    };

    struct Request {
        QByteArray bytes;
        int threshold = 1; // reply bytes to wait for; below 1 counts as 1
        Interval timeout = Interval::DownloadReply;
        Judge judge;
        // Once the threshold is reached, keep gathering this long before
        // judging, so a reply that arrives in pieces is judged as whole as
        // the line allows. Unset: judge at once.
        std::optional<Interval> settle = std::nullopt;
        // Asked once with the judge's verdict; returning a continuation
        // keeps the exchange going for the rest of the reply. Unset: the
        // verdict ends the exchange.
        std::function<std::optional<Continuation>(int verdict)> continuation = {};
        // A wait worked out for this request (from the line's speed, say),
        // scaled as the intervals are, in place of timeout.
        std::optional<std::chrono::milliseconds> wait = std::nullopt;
    };

    Exchange(Transport &transport, Request request, QObject *parent = nullptr);
    ~Exchange() override;

    // Runs the exchange; finished() follows from the event loop, never from
    // inside start(). A second call does nothing.
    void start();

    // Stops waiting: timer stopped, transport let go, no finished() after
    // this. Safe in any state; the exchange may be deleted (with deleteLater
    // from its own handlers) afterwards.
    void abort();

    [[nodiscard]] bool isRunning() const { return state_ == State::Running; }

signals:
    void finished(const q51::ExchangeResult &result);
    // Reply bytes arrived; `gathered` counts all of them so far. For
    // progress bars: handlers must not end the exchange.
    void progressed(qsizetype gathered);

private:
    enum class State { Idle, Running, Done };
    enum class Phase { Waiting, Settling, Continuing };

    void gather();
    void judgeFirstPart();
    void takeMore(const QByteArray &chunk);
    void finish(ExchangeEnd end, int verdict = 0);
    void letGo();

    QPointer<Transport> transport_;
    Request request_;
    QTimer timer_;
    QTimer settleTimer_;
    QByteArray gathered_;
    State state_ = State::Idle;
    Phase phase_ = Phase::Waiting;
    std::optional<Continuation> continuation_;
    int firstVerdict_ = 0;
};

} // namespace q51
