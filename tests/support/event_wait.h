#pragma once
// Waits in a real event loop, so that timers fire when they are due.
// QTest::qWait and the QTRY_ macros sleep 10 ms between passes of the
// event loop, which stretches every millisecond pause of the keyboard line.

#include <functional>

#include <QEventLoop>
#include <QTimer>

namespace q51::test {

// True once the condition holds; false when timeoutMs passed first.
inline bool waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    if (condition())
        return true;
    QEventLoop loop;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    poll.start(2);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return condition();
}

// Lets the event loop run for the given time.
inline void runFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace q51::test
