#pragma once
// The firmware update over an open port: access frame, a short wait, erase,
// the pages (three attempts each, a pause after each accepted one), a short
// wait and the end frame. Every step waits on the port and timers, never
// blocking, and reports the status line the user follows it by. The update
// ends exactly once, unless aborted, after which it says nothing.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include "link/exchange.h"
#include "link/protocol/bytes.h"

namespace q51 {

class Transport;

enum class FirmwareUpdateEnd {
    Succeeded,
    AccessTimedOut, // no answer to the access frame
    WrongVersion,   // the decoder says the image is not for it
    AccessRefused,
    EraseFailed,
    PageFailed, // a page was refused (or not answered) three times
    // The end frame could not be written: the decoder never heard the
    // update finish, so it is no success whatever the pages did.
    EndFrameFailed,
};

// The message the update's end is told with.
const char *FirmwareUpdateEndText(FirmwareUpdateEnd end);

class FirmwareUpdate final : public QObject {
    Q_OBJECT
public:
    // The image is the whole file, smaller than 64K. The port must be open
    // with the update's settings; the update never closes it.
    FirmwareUpdate(Transport &port, protocol::Bytes image, QObject *parent = nullptr);
    ~FirmwareUpdate() override;

    // Begins with the access frame; everything else follows from the event
    // loop. A second call does nothing.
    void start();
    // Stops at once: no frame, status or finished() after this.
    void abort();

signals:
    void statusChanged(const QString &text);
    // Pages the decoder has accepted so far.
    void pagesAccepted(int count);
    // portLost: the device went away or refused a write along the way.
    void finished(q51::FirmwareUpdateEnd end, bool portLost);

private:
    enum class Step { Idle, Access, Erase, Page, Done };

    void send(Step step, const protocol::Bytes &frame, Interval timeout);
    void onReply(const ExchangeResult &result);
    void afterAccess(int verdict);
    void erase();
    void sendPage();
    void afterPage(int verdict);
    void sendEnd();
    void succeed();
    // Runs next after the interval, unless aborted first.
    void after(Interval interval, void (FirmwareUpdate::*next)());
    void end(FirmwareUpdateEnd result);

    QPointer<Transport> port_;
    protocol::Bytes image_;
    std::size_t pageCount_ = 0;
    std::size_t page_ = 0;
    int attempt_ = 0;
    Step step_ = Step::Idle;
    bool portLost_ = false;
    QPointer<Exchange> exchange_;
    QTimer pause_;
    void (FirmwareUpdate::*afterPause_)() = nullptr;
};

} // namespace q51
