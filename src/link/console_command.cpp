#include "link/console_command.h"

#include "link/exchange.h"
#include "link/protocol/console_requests.h"
#include "link/protocol/hex_text.h"
#include "link/protocol/keyboard_line.h"
#include "link/protocol/status_reply.h"
#include "link/transport.h"

namespace q51 {

namespace {

namespace kb = protocol::keyboard;

protocol::Bytes requestFor(ConsoleItem item)
{
    return item == ConsoleItem::Status ? protocol::StatusRequest() : protocol::TriggerRequest();
}

QByteArray toQt(const protocol::Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

protocol::ByteView view(const QByteArray &bytes)
{
    return protocol::AsBytes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

} // namespace

ConsoleCommand::ConsoleCommand(ConsoleItem item, Transport &port, QObject *parent)
    : QObject(parent), item_(item), port_(&port)
{
    drain_.setSingleShot(true);
}

ConsoleCommand::ConsoleCommand(ConsoleItem item, PortIo &io, const ReplyBox &markBox, const ReplyBox &statusBox,
                               QObject *parent)
    : QObject(parent), item_(item), link_(std::make_unique<KeyboardLink>(io)), markBox_(markBox),
      statusBox_(statusBox)
{
    drain_.setSingleShot(true);
}

ConsoleCommand::~ConsoleCommand()
{
    abort();
}

void ConsoleCommand::start()
{
    if (link_)
        startKeyboard();
    else
        startSerial();
}

void ConsoleCommand::abort()
{
    done_ = true;
    drain_.stop();
    if (link_)
        link_->release(KeyboardLink::Outcome::Failed);
    if (exchange_) {
        exchange_->abort();
        exchange_->deleteLater();
        exchange_ = nullptr;
    }
}

void ConsoleCommand::finish(ConsoleOutcome outcome)
{
    if (done_)
        return;
    done_ = true;
    if (link_) {
        // Let go of the port before the outcome is told: after a failure no
        // queued write reaches it any more.
        const QString trouble =
            link_->release(outcome.succeeded ? KeyboardLink::Outcome::Succeeded : KeyboardLink::Outcome::Failed);
        if (!outcome.succeeded)
            outcome.detail = trouble;
    }
    if (onFinished)
        onFinished(outcome);
}

void ConsoleCommand::startSerial()
{
    if (!port_) {
        finish({});
        return;
    }
    if (item_ == ConsoleItem::Trigger) {
        // No reply comes. The frame must still leave the port before the
        // caller closes it, or closing would drop it; a frame that could not
        // be written at all is reported as the failure it is.
        port_->discardTransmit();
        if (!port_->write(toQt(requestFor(item_)))) {
            QMetaObject::invokeMethod(this, [this] { finish({}); }, Qt::QueuedConnection);
            return;
        }
        connect(&drain_, &QTimer::timeout, this, [this] { finish({false, true, std::nullopt, {}}); });
        drain_.start(scaledInterval(Interval::CommandDrain));
        return;
    }

    Exchange::Request request;
    request.bytes = toQt(requestFor(item_));
    request.threshold = static_cast<int>(protocol::StatusLimits.receiveThreshold);
    request.timeout = Interval::StatusReply;
    request.judge = [](const QByteArray &reply) {
        return static_cast<int>(protocol::JudgeStatusReply(view(reply)).state);
    };
    exchange_ = new Exchange(*port_, std::move(request), this);
    connect(exchange_, &Exchange::finished, this, [this](const ExchangeResult &result) {
        if (exchange_) {
            exchange_->deleteLater();
            exchange_ = nullptr;
        }
        ConsoleOutcome outcome;
        if (result.end == ExchangeEnd::Judged) {
            const protocol::StatusReply reply = protocol::JudgeStatusReply(view(result.reply));
            outcome.succeeded = reply.state == protocol::InputPos::Accepted;
            outcome.status = reply.bytes;
        }
        finish(outcome);
    });
    exchange_->start();
}

void ConsoleCommand::startKeyboard()
{
    const KeyboardLink::Handshake wakeUp{QByteArray(kb::LettersPerTick, kb::QueryLetter), Interval::KeyDelay,
                                         Interval::ConsoleHandshakeTick, kb::ConsoleHandshakeTicks};
    link_->handshake(markBox_, wakeUp, [this](bool ready) {
        if (!ready) {
            finish({true, false, std::nullopt, {}});
            return;
        }
        markBox_.clearAndFocus(); // the decoder's "P" may come before the last pause is over
        link_->pause(Interval::ReadyToDataPause, [this] {
            const QByteArray request = QByteArray::fromStdString(protocol::HexText(requestFor(item_)));
            link_->type(request, {}, [this] {
                link_->waitForMark(markBox_, QLatin1Char(kb::AcceptedMark), Interval::KeyboardCommandAccepted,
                                   [this](bool accepted) {
                                       if (!accepted || item_ == ConsoleItem::Trigger) {
                                           finish({false, accepted, std::nullopt, {}});
                                           return;
                                       }
                                       link_->waitForLength(
                                           statusBox_, int(kb::TypedStatusLength), Interval::KeyboardStatusData, {},
                                           [this](const QString &typed) {
                                               const auto status = protocol::DecodeTypedStatus(typed.toStdString());
                                               finish({false, status.has_value(), status, {}});
                                           });
                                   },
                                   KeyboardLink::BoxStart::KeepTyped);
            });
        });
    });
}

} // namespace q51
