#include "link/keyboard_link.h"

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

#include "link/portio/port_io.h"
#include "link/protocol/keyboard_line.h"

namespace q51 {

namespace kb = protocol::keyboard;

namespace {

// Every pause is owed in full, so each of the hundreds of paced writes costs
// its pause plus the wake-up after it. Linux lets a sleeping thread's timers
// fire up to 50 us late by default (its timer slack); while a keyboard link
// exists the UI thread asks for 1 ns instead, and gets its old value back
// when the last link goes. No wake-up is added, only made punctual.
class PreciseWakeUps {
public:
    static void hold()
    {
#ifdef Q_OS_LINUX
        if (holders_++ == 0) {
            saved_ = prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
            prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
        }
#endif
    }
    static void release()
    {
#ifdef Q_OS_LINUX
        if (--holders_ == 0 && saved_ > 0)
            prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(saved_), 0, 0, 0);
#endif
    }

private:
    // Links live on the UI thread only.
    static inline int holders_ = 0;
    static inline long saved_ = -1;
};

bool reads(const QString &text, QChar mark)
{
    return text.size() == 1 && text.at(0).toUpper() == mark.toUpper();
}

} // namespace

KeyboardLink::KeyboardLink(PortIo &io, QObject *parent) : QObject(parent), io_(io)
{
    PreciseWakeUps::hold();
    // A coarse timer may fire early; the decoder is owed every pause in full.
    for (QTimer *timer : {&paceTimer_, &tickTimer_, &timeoutTimer_})
        timer->setTimerType(Qt::PreciseTimer);
    paceTimer_.setSingleShot(true);
    // Re-armed as each tick's first letter is written, so ticks are never
    // closer than the interval even when one comes late.
    tickTimer_.setSingleShot(true);
    timeoutTimer_.setSingleShot(true);
    progressTimer_.setSingleShot(true);
    connect(&paceTimer_, &QTimer::timeout, this, &KeyboardLink::paceNext);
    connect(&tickTimer_, &QTimer::timeout, this, &KeyboardLink::onTick);
    connect(&timeoutTimer_, &QTimer::timeout, this, &KeyboardLink::endWait);
    connect(&progressTimer_, &QTimer::timeout, this, &KeyboardLink::reportProgress);
}

KeyboardLink::~KeyboardLink()
{
    abort();
    exchange_.reset(); // abandoned: nothing more is written
    PreciseWakeUps::release();
}

void KeyboardLink::begin()
{
    abort(); // one step at a time
    if (!exchange_)
        exchange_ = io_.BeginExchange();
    busy_ = true;
}

QString KeyboardLink::release(Outcome outcome)
{
    abort();
    if (!exchange_)
        return {};
    if (outcome == Outcome::Succeeded)
        exchange_->finish();
    const std::string trouble = exchange_->trouble();
    exchange_.reset();
    return QString::fromStdString(trouble);
}

void KeyboardLink::abort()
{
    ++generation_;
    paceTimer_.stop();
    tickTimer_.stop();
    timeoutTimer_.stop();
    progressTimer_.stop();
    disconnect(boxWatch_);
    pacing_ = false;
    tickPending_ = false;
    pacedEach_ = nullptr;
    pacedDone_ = nullptr;
    handshakeDone_ = nullptr;
    waitDone_ = nullptr;
    progress_ = nullptr;
    busy_ = false;
}

void KeyboardLink::writeData(char character)
{
    if (exchange_)
        exchange_->SetPortVal(kb::DataPort, static_cast<std::uint8_t>(character), 1);
}

void KeyboardLink::unmaskInterrupts()
{
    if (exchange_)
        exchange_->SetPortVal(kb::InterruptMaskPort, kb::UnmaskAllInterrupts, 1);
}

// ---- pacing ----

void KeyboardLink::pace(const QByteArray &bytes, Interval pauseAfterEach, std::function<void(int)> each,
                        std::function<void()> done)
{
    paced_ = bytes;
    pacedCount_ = 0;
    pacedPause_ = pauseAfterEach;
    pacedEach_ = std::move(each);
    pacedDone_ = std::move(done);
    pacing_ = true;
    paceNext();
}

void KeyboardLink::paceNext()
{
    if (!pacing_)
        return;
    if (pacedCount_ > 0 && pacedEach_) {
        const quint64 step = generation_;
        pacedEach_(pacedCount_);
        if (step != generation_)
            return; // the caller ended the step
    }
    if (pacedCount_ == paced_.size()) {
        pacing_ = false;
        pacedEach_ = nullptr;
        const auto done = std::move(pacedDone_);
        pacedDone_ = nullptr;
        if (done)
            done();
        return;
    }
    writeData(paced_.at(pacedCount_++));
    paceTimer_.start(scaledInterval(pacedPause_));
}

void KeyboardLink::type(const QByteArray &text, std::function<void(int)> typed, std::function<void()> done)
{
    begin();
    pace(text, Interval::KeyDelay, std::move(typed), [this, done = std::move(done)] {
        busy_ = false;
        if (done)
            done();
    });
}

// ---- handshake ----

void KeyboardLink::handshake(const ReplyBox &box, const Handshake &how, std::function<void(bool)> done)
{
    begin();
    handshake_ = how;
    handshakeDone_ = std::move(done);
    timeId_ = 0;
    ready_ = false;
    box_ = box;
    box_.clearAndFocus();
    boxWatch_ = box_.watch(this, [this] {
        if (ready_ || !reads(box_.text(), QLatin1Char(kb::ReadyMark)))
            return;
        ready_ = true;
        if (!pacing_)
            finishHandshake();
    });
    tickTimer_.start(scaledInterval(how.tick));
}

void KeyboardLink::onTick()
{
    if (!handshakeDone_)
        return;
    if (pacing_) {
        // Still writing the last tick's letters: this tick comes after them.
        tickPending_ = true;
        return;
    }
    runTick();
}

void KeyboardLink::runTick()
{
    ++timeId_;
    if (timeId_ > handshake_.maxTicks || ready_) {
        finishHandshake();
        return;
    }
    pace(handshake_.tickText, handshake_.letterPause, {}, [this] {
        if (ready_) {
            finishHandshake();
        } else if (tickPending_) {
            tickPending_ = false;
            runTick();
        }
    });
    // The next tick counts from this one's first letter, written just now,
    // so ticks are never closer than the interval on the line however late
    // this one ran (a tick held back by the last one's letters included).
    if (handshakeDone_)
        tickTimer_.start(scaledInterval(handshake_.tick));
}

void KeyboardLink::finishHandshake()
{
    tickTimer_.stop();
    disconnect(boxWatch_);
    unmaskInterrupts();
    busy_ = false;
    const bool ready = ready_;
    const auto done = std::move(handshakeDone_);
    handshakeDone_ = nullptr;
    if (done)
        done(ready);
}

// ---- waits ----

void KeyboardLink::pause(Interval interval, std::function<void()> done)
{
    begin();
    unmaskAfterWait_ = false;
    waitDone_ = std::move(done);
    timeoutTimer_.start(scaledInterval(interval));
}

void KeyboardLink::startWait(const ReplyBox &box, Interval timeout, BoxStart start, std::function<void()> changed)
{
    unmaskAfterWait_ = true;
    box_ = box;
    if (start == BoxStart::Empty)
        box_.clearAndFocus();
    else
        box_.focus();
    boxWatch_ = box_.watch(this, changed);
    timeoutTimer_.start(scaledInterval(timeout));
    // What is there already counts. Last: this may end the step.
    if (start == BoxStart::KeepTyped)
        changed();
}

void KeyboardLink::waitForMark(const ReplyBox &box, QChar mark, Interval timeout, std::function<void(bool)> done,
                               BoxStart start)
{
    begin();
    waitDone_ = [this, mark, done = std::move(done)] { done(reads(box_.text(), mark)); };
    startWait(box, timeout, start, [this, mark] {
        if (reads(box_.text(), mark))
            endWait();
    });
}

void KeyboardLink::waitForLength(const ReplyBox &box, int length, Interval timeout, std::function<void(int)> progress,
                                 std::function<void(const QString &)> done)
{
    begin();
    waitDone_ = [this, done = std::move(done)] { done(box_.text()); };
    progress_ = std::move(progress);
    reportedLength_ = 0;
    // The length is checked at every keystroke, so that a reply is taken the
    // moment it is whole; progress, which repaints, once per pass: a decoder
    // may type hundreds of characters in one.
    startWait(box, timeout, BoxStart::Empty, [this, length] {
        if (int(box_.text().size()) == length)
            endWait();
        else if (progress_ && !progressTimer_.isActive())
            progressTimer_.start(0);
    });
}

// Reports the box's length if it changed since the last report; false when
// the caller ended the step from there.
bool KeyboardLink::reportProgress()
{
    progressTimer_.stop();
    const int typed = int(box_.text().size());
    if (!progress_ || typed == reportedLength_)
        return true;
    reportedLength_ = typed;
    const quint64 step = generation_;
    progress_(typed);
    return step == generation_;
}

void KeyboardLink::endWait()
{
    if (!waitDone_)
        return;
    timeoutTimer_.stop();
    disconnect(boxWatch_);
    if (!reportProgress())
        return;
    progress_ = nullptr;
    if (unmaskAfterWait_)
        unmaskInterrupts();
    busy_ = false;
    const auto done = std::move(waitDone_);
    waitDone_ = nullptr;
    done();
}

} // namespace q51
