#include "link/firmware_update.h"

#include "link/firmware_update_texts.h"
#include "link/number_text.h"
#include "link/protocol/isp_frames.h"
#include "link/protocol/isp_limits.h"
#include "link/transport.h"

namespace q51 {

namespace {

namespace t = firmware_update_text;
using protocol::IspReply;

QByteArray toQt(const protocol::Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

protocol::ByteView view(const QByteArray &bytes)
{
    return protocol::AsBytes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

QString pageSendingText(std::size_t page, int attempt)
{
    return QString::fromUtf8(t::StatusPageSending) + withSignPlace(static_cast<int>(page))
           + QString::fromUtf8(t::StatusPageAttempt) + withSignPlace(attempt);
}

QString pageOkText(std::size_t page)
{
    return QString::fromUtf8(t::StatusPageOkBefore) + withSignPlace(static_cast<int>(page))
           + QString::fromUtf8(t::StatusPageOkAfter);
}

} // namespace

const char *FirmwareUpdateEndText(FirmwareUpdateEnd end)
{
    switch (end) {
    case FirmwareUpdateEnd::Succeeded: return t::UpdateOk;
    case FirmwareUpdateEnd::AccessTimedOut: return t::TimeOutError;
    case FirmwareUpdateEnd::WrongVersion: return t::WrongVersion;
    case FirmwareUpdateEnd::AccessRefused: return t::AccessFailed;
    case FirmwareUpdateEnd::EraseFailed: return t::EraseFailed;
    case FirmwareUpdateEnd::PageFailed: return t::PageFailed;
    case FirmwareUpdateEnd::EndFrameFailed: return t::EndFrameFailed;
    }
    return t::AccessFailed;
}

FirmwareUpdate::FirmwareUpdate(Transport &port, protocol::Bytes image, QObject *parent)
    : QObject(parent), port_(&port), image_(std::move(image)), pageCount_(protocol::IspPageCount(image_.size()))
{
    pause_.setSingleShot(true);
    pause_.setTimerType(Qt::PreciseTimer);
    connect(&pause_, &QTimer::timeout, this, [this] {
        if (step_ != Step::Done && afterPause_)
            (this->*afterPause_)();
    });
}

FirmwareUpdate::~FirmwareUpdate()
{
    abort();
}

void FirmwareUpdate::start()
{
    if (step_ != Step::Idle)
        return;
    emit statusChanged(QString::fromUtf8(t::StatusAccessing));
    send(Step::Access, protocol::IspAccessFrame(image_), Interval::IspAccessReply);
}

void FirmwareUpdate::abort()
{
    if (step_ == Step::Done)
        return;
    step_ = Step::Done;
    pause_.stop();
    if (exchange_) {
        exchange_->abort();
        exchange_->deleteLater();
        exchange_ = nullptr;
    }
}

void FirmwareUpdate::send(Step step, const protocol::Bytes &frame, Interval timeout)
{
    step_ = step;
    Exchange::Request request;
    request.bytes = toQt(frame);
    request.threshold = 1; // every answer is one byte, and only the first counts
    request.timeout = timeout;
    request.judge = [access = step == Step::Access](const QByteArray &reply) {
        return static_cast<int>(access ? protocol::JudgeIspAccessReply(view(reply))
                                       : protocol::JudgeIspStepReply(view(reply)));
    };
    if (!port_) {
        // The port went with its window; say so from the event loop, as an
        // exchange would.
        QMetaObject::invokeMethod(
            this, [this] { onReply(ExchangeResult{ExchangeEnd::PortLost, 0, {}, false}); }, Qt::QueuedConnection);
        return;
    }
    exchange_ = new Exchange(*port_, std::move(request), this);
    connect(exchange_, &Exchange::finished, this, &FirmwareUpdate::onReply);
    exchange_->start();
}

void FirmwareUpdate::onReply(const ExchangeResult &result)
{
    if (exchange_) {
        exchange_->deleteLater();
        exchange_ = nullptr;
    }
    int verdict = static_cast<int>(IspReply::NothingReceived);
    if (result.end == ExchangeEnd::Judged)
        verdict = result.verdict;
    else if (result.end == ExchangeEnd::PortLost)
        portLost_ = true;

    switch (step_) {
    case Step::Access: afterAccess(verdict); break;
    case Step::Erase:
        if (verdict != static_cast<int>(IspReply::Accepted)) {
            end(FirmwareUpdateEnd::EraseFailed);
            break;
        }
        emit statusChanged(QString::fromUtf8(t::StatusEraseOk));
        page_ = 0;
        attempt_ = 0;
        sendPage();
        break;
    case Step::Page: afterPage(verdict); break;
    case Step::Idle:
    case Step::Done: break; // aborted meanwhile
    }
}

void FirmwareUpdate::afterAccess(int verdict)
{
    switch (static_cast<IspReply>(verdict)) {
    case IspReply::Accepted:
        emit statusChanged(QString::fromUtf8(t::StatusAccessOk));
        after(Interval::IspShortWait, &FirmwareUpdate::erase);
        return;
    case IspReply::WrongVersion: end(FirmwareUpdateEnd::WrongVersion); return;
    case IspReply::Refused: end(FirmwareUpdateEnd::AccessRefused); return;
    case IspReply::NothingReceived: end(FirmwareUpdateEnd::AccessTimedOut); return;
    }
    end(FirmwareUpdateEnd::AccessRefused);
}

void FirmwareUpdate::erase()
{
    emit statusChanged(QString::fromUtf8(t::StatusErasing));
    send(Step::Erase, protocol::IspEraseFrame(), Interval::IspEraseReply);
}

void FirmwareUpdate::sendPage()
{
    if (page_ >= pageCount_) {
        after(Interval::IspShortWait, &FirmwareUpdate::sendEnd);
        return;
    }
    ++attempt_;
    emit statusChanged(pageSendingText(page_, attempt_));
    send(Step::Page, protocol::IspPageFrame(image_, page_), Interval::IspPageReply);
}

void FirmwareUpdate::afterPage(int verdict)
{
    if (verdict == static_cast<int>(IspReply::Accepted)) {
        emit statusChanged(pageOkText(page_));
        ++page_;
        attempt_ = 0;
        emit pagesAccepted(static_cast<int>(page_));
        after(Interval::IspPagePause, &FirmwareUpdate::sendPage);
        return;
    }
    if (attempt_ < protocol::IspPageAttempts) {
        sendPage();
        return;
    }
    end(FirmwareUpdateEnd::PageFailed);
}

void FirmwareUpdate::sendEnd()
{
    // No answer is awaited. The short wait after it lets the frame leave
    // before the caller closes the port.
    if (!port_ || !port_->discardTransmit() || !port_->write(toQt(protocol::IspEndFrame()))) {
        portLost_ = true;
        end(FirmwareUpdateEnd::EndFrameFailed);
        return;
    }
    after(Interval::IspShortWait, &FirmwareUpdate::succeed);
}

void FirmwareUpdate::succeed()
{
    // A line lost while the end frame was leaving took the frame with it.
    if (!port_ || !port_->isOpen()) {
        portLost_ = true;
        end(FirmwareUpdateEnd::EndFrameFailed);
        return;
    }
    end(FirmwareUpdateEnd::Succeeded);
}

void FirmwareUpdate::after(Interval interval, void (FirmwareUpdate::*next)())
{
    afterPause_ = next;
    pause_.start(scaledInterval(interval));
}

void FirmwareUpdate::end(FirmwareUpdateEnd result)
{
    if (step_ == Step::Done)
        return;
    step_ = Step::Done;
    pause_.stop();
    // Last statement: a handler may delete this object (deleteLater).
    emit finished(result, portLost_);
}

} // namespace q51
