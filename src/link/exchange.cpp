#include "link/exchange.h"

#include "link/transport.h"

namespace q51 {

Exchange::Exchange(Transport &transport, Request request, QObject *parent)
    : QObject(parent), transport_(&transport), request_(std::move(request))
{
    if (request_.threshold < 1)
        request_.threshold = 1;
    timer_.setSingleShot(true);
    // A coarse timer may fire up to 5% early; a decoder is owed its full time.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { finish(ExchangeEnd::TimedOut, firstVerdict_); });
    settleTimer_.setSingleShot(true);
    settleTimer_.setTimerType(Qt::PreciseTimer);
    connect(&settleTimer_, &QTimer::timeout, this, [this] {
        if (state_ != State::Running || !transport_)
            return;
        // Whatever came while settling, announced or not yet.
        gathered_ += transport_->readAll();
        judgeFirstPart();
    });
}

Exchange::~Exchange()
{
    abort();
}

void Exchange::start()
{
    if (state_ != State::Idle)
        return;
    state_ = State::Running;
    Transport *port = transport_.data();
    if (!port) {
        // Owner already torn down: nobody is left to tell.
        state_ = State::Done;
        return;
    }

    connect(port, &Transport::bytesArrived, this, &Exchange::gather);
    connect(port, &Transport::portLost, this, [this] { finish(ExchangeEnd::PortLost, firstVerdict_); });
    // The port is going away with its window: end silently, no message after.
    connect(port, &QObject::destroyed, this, &Exchange::abort);

    // Stale bytes (a late answer to an earlier request) go before the request
    // is sent, so that no byte of this reply can be discarded with them.
    port->discardTransmit();
    port->discardReceive();
    timer_.start(request_.wait ? scaledDuration(*request_.wait) : scaledInterval(request_.timeout));
    if (!port->write(request_.bytes)) {
        timer_.stop();
        QMetaObject::invokeMethod(
            this, [this] { finish(ExchangeEnd::PortLost); }, Qt::QueuedConnection);
    }
}

void Exchange::abort()
{
    if (state_ == State::Done)
        return;
    state_ = State::Done;
    letGo();
}

void Exchange::gather()
{
    if (state_ != State::Running || !transport_)
        return;
    const QByteArray chunk = transport_->readAll();
    gathered_ += chunk;
    if (!chunk.isEmpty())
        emit progressed(gathered_.size());
    switch (phase_) {
    case Phase::Waiting:
        if (gathered_.size() < request_.threshold)
            return;
        timer_.stop();
        if (request_.settle) {
            phase_ = Phase::Settling;
            settleTimer_.start(scaledInterval(*request_.settle));
            return;
        }
        judgeFirstPart();
        return;
    case Phase::Settling:
        return; // judged when the settling time is up
    case Phase::Continuing:
        if (!chunk.isEmpty())
            takeMore(chunk);
        return;
    }
}

void Exchange::judgeFirstPart()
{
    const int verdict = request_.judge ? request_.judge(gathered_) : 0;
    if (request_.continuation) {
        if (std::optional<Continuation> more = request_.continuation(verdict)) {
            continuation_ = std::move(more);
            firstVerdict_ = verdict;
            phase_ = Phase::Continuing;
            timer_.start(scaledInterval(continuation_->firstWait));
            return;
        }
    }
    finish(ExchangeEnd::Judged, verdict);
}

void Exchange::takeMore(const QByteArray &chunk)
{
    const std::optional<int> verdict =
        continuation_->take ? continuation_->take(chunk) : std::optional<int>(firstVerdict_);
    if (verdict) {
        finish(ExchangeEnd::Judged, *verdict);
        return;
    }
    timer_.start(scaledInterval(continuation_->nextWait));
}

void Exchange::finish(ExchangeEnd end, int verdict)
{
    if (state_ != State::Running)
        return;
    state_ = State::Done;
    letGo();
    // Last statement: a handler may delete this exchange (deleteLater).
    emit finished(ExchangeResult{end, verdict, gathered_, phase_ == Phase::Continuing});
}

void Exchange::letGo()
{
    timer_.stop();
    settleTimer_.stop();
    if (transport_)
        disconnect(transport_.data(), nullptr, this, nullptr);
}

} // namespace q51
