#include "sim/keyboard_wedge.h"

#include <algorithm>

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "link/protocol/block_checksum.h"
#include "link/protocol/commands.h"
#include "link/protocol/console_requests.h"
#include "link/protocol/frame.h"
#include "link/protocol/hex_text.h"
#include "link/protocol/keyboard_line.h"
#include "link/protocol/requests.h"
#include "link/protocol/status_reply.h"
#include "link/protocol/typed_replies.h"
#include "link/protocol/version_reply.h"
#include "model/factory_defaults.h"
#include "model/fixed_text.h"
#include "model/windows1252.h"

namespace q51::sim {

namespace kb = protocol::keyboard;

namespace {

std::string requestText(const protocol::Bytes &frame)
{
    return protocol::HexText(frame);
}

// The key a decoder presses for a character, as a keyboard would report it.
int keyFor(QChar c)
{
    const QChar upper = c.toUpper();
    if (upper >= QLatin1Char('A') && upper <= QLatin1Char('Z'))
        return Qt::Key_A + (upper.unicode() - 'A');
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return Qt::Key_0 + (c.unicode() - '0');
    return c.unicode() < 0x80 ? int(c.unicode()) : int(Qt::Key_unknown);
}

} // namespace

KeyboardWedge::KeyboardWedge() : block(FactoryBlock())
{
    protocol::WriteBlockChecksum(block);
    typist_.setSingleShot(true);
    typist_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&typist_, &QTimer::timeout, &context_, [this] { typeNext(); });
}

KeyboardWedge::~KeyboardWedge() = default;

bool KeyboardWedge::InitializeWinIo()
{
    ++initCalls_;
    return initializes;
}

void KeyboardWedge::ShutdownWinIo()
{
    ++shutdownCalls_;
}

bool KeyboardWedge::SetPortVal(std::uint16_t port, std::uint32_t value, int size)
{
    writes_.push_back({port, static_cast<std::uint8_t>(value), std::chrono::steady_clock::now()});
    if (port == kb::DataPort && size == 1 && !unplugged_)
        take(static_cast<char>(value));
    return true;
}

std::string KeyboardWedge::written(std::uint16_t port) const
{
    std::string out;
    for (const PortWrite &w : writes_)
        if (w.port == port)
            out += static_cast<char>(w.value);
    return out;
}

std::vector<PortWrite> KeyboardWedge::writesTo(std::uint16_t port) const
{
    std::vector<PortWrite> out;
    for (const PortWrite &w : writes_)
        if (w.port == port)
            out.push_back(w);
    return out;
}

bool KeyboardWedge::misbehaves(WedgeFault which) const
{
    return fault == which && (faultyExchanges < 0 || exchanges_ <= faultyExchanges);
}

// ---- what the host writes ----

void KeyboardWedge::take(char c)
{
    switch (state_) {
    case State::Idle:
        if (c != kb::DownloadLetter && c != kb::UploadLetter && c != kb::QueryLetter) {
            letters_ = 0;
            return;
        }
        letters_ = c == letter_ ? letters_ + 1 : 1;
        letter_ = c;
        if (burstsBeforeReady > 0 && letters_ == kb::LettersPerTick * burstsBeforeReady)
            wakeUp(c);
        return;
    case State::TakingBlock:
        taken_ += c;
        if (taken_.size() == kb::TypedBlockLength)
            blockTaken();
        return;
    case State::TakingRequest:
        taken_ += c;
        if (taken_.size() == requestText(protocol::StatusRequest()).size())
            requestTaken();
        return;
    }
}

void KeyboardWedge::wakeUp(char letter)
{
    ++exchanges_;
    letters_ = 0;
    letter_ = 0;
    if (misbehaves(WedgeFault::NeverAnswers))
        return;
    type(QString(typesLowerCase() ? QLatin1Char('s') : QLatin1Char(kb::ReadyMark)), std::chrono::milliseconds(0),
         true);
    taken_.clear();
    if (letter == kb::DownloadLetter) {
        state_ = State::TakingBlock;
    } else if (letter == kb::QueryLetter) {
        state_ = State::TakingRequest;
    } else if (!misbehaves(WedgeFault::SilentAfterRequest)) {
        answer(typedBlock(), turnaround, true);
    }
}

void KeyboardWedge::blockTaken()
{
    state_ = State::Idle;
    const auto received = protocol::DecodeTypedBlock(taken_);
    if (!received || misbehaves(WedgeFault::SilentAfterRequest))
        return; // a decoder that cannot take the block says nothing
    block = *received;
    answer(QString(typesLowerCase() ? QLatin1Char('p') : QLatin1Char(kb::AcceptedMark)), {}, true);
}

void KeyboardWedge::requestTaken()
{
    state_ = State::Idle;
    if (misbehaves(WedgeFault::SilentAfterRequest))
        return;
    const QString accepted(typesLowerCase() ? QLatin1Char('p') : QLatin1Char(kb::AcceptedMark));
    if (taken_ == requestText(protocol::ReadVersionRequest())) {
        answer(accepted, {}, false);
        answer(typedVersion(), turnaround, true);
    } else if (taken_ == requestText(protocol::StatusRequest())) {
        answer(accepted, {}, false);
        answer(typedStatus(), turnaround, true);
    } else if (taken_ == requestText(protocol::TriggerRequest())) {
        answer(accepted, {}, true);
    }
}

// ---- what it types ----

QString KeyboardWedge::hex(const std::string &bytes) const
{
    const QString text = QString::fromStdString(protocol::HexText(protocol::AsBytes(bytes)));
    return typesLowerCase() ? text.toLower() : text;
}

QString KeyboardWedge::shortened(QString reply) const
{
    if (misbehaves(WedgeFault::ShortReply))
        reply.chop(1);
    return reply;
}

QString KeyboardWedge::typedBlock() const
{
    Block sent = block;
    if (misbehaves(WedgeFault::BadChecksum))
        ++sent[protocol::ChecksumLowIndex];
    return shortened(hex(std::string(sent.begin(), sent.end())));
}

QString KeyboardWedge::typedVersion() const
{
    const std::string text = FixedText<protocol::VersionTextSize>(versionText).str();
    protocol::Bytes frame = protocol::BuildFrame(protocol::Command::VersionReply, protocol::AsBytes(text));
    if (misbehaves(WedgeFault::BadChecksum))
        frame.back() ^= 0x01;
    // STX, command and length as hex, the text as itself, ETX and BCC as hex.
    QString header = hex(std::string(frame.begin(), frame.begin() + 3));
    if (misbehaves(WedgeFault::LowerCaseHeader))
        header = header.toLower();
    const QString tail = hex(std::string(frame.end() - 2, frame.end()));
    return shortened(header + QString::fromStdString(Windows1252ToUtf8(text)) + tail);
}

QString KeyboardWedge::typedStatus() const
{
    protocol::StatusBytes reply = protocol::StatusReplyBytes(statusByte);
    if (misbehaves(WedgeFault::BadChecksum))
        reply.back() ^= 0x01;
    if (misbehaves(WedgeFault::NotAStatusReply)) {
        reply[protocol::StatusMarkIndex] ^= 0x01;
        reply.back() ^= 0x01; // the XOR still checks out
    }
    return shortened(hex(std::string(reply.begin(), reply.end())));
}

void KeyboardWedge::answer(QString text, std::chrono::milliseconds after, bool last)
{
    if (misbehaves(WedgeFault::Garbage)) {
        // Neither hex digits nor marks.
        static const QString noise = QStringLiteral("#?*!");
        for (qsizetype i = 0; i < text.size(); ++i)
            text[i] = noise.at(i % noise.size());
    }
    type(text, after);
    if (last && misbehaves(WedgeFault::ExtraKeystrokes))
        type(extraKeystrokes, turnaround);
}

void KeyboardWedge::type(const QString &text, std::chrono::milliseconds after, bool readyMark)
{
    if (text.isEmpty() || unplugged_)
        return;
    const bool idle = pending_.isEmpty();
    pending_.append({text, after, readyMark});
    if (idle)
        typist_.start(after);
}

void KeyboardWedge::typeNext()
{
    bool replyDone = false;
    for (int n = 0; n < std::max(1, keystrokesPerPass) && !replyDone && !pending_.isEmpty(); ++n) {
        Keystrokes &next = pending_.first();
        const QChar c = next.text.front();
        const bool readyMark = next.readyMark;
        next.text.remove(0, 1);
        replyDone = next.text.isEmpty();
        if (replyDone)
            pending_.removeFirst();
        if (readyMark)
            typedSinceReady_ = 0;
        else if (cutHere())
            continue;
        press(c); // may make the host write, and so queue more typing
    }
    if (unplugged_) {
        pending_.clear();
        return;
    }
    // A new reply waits its pause.
    if (!pending_.isEmpty() && !typist_.isActive())
        typist_.start(replyDone ? pending_.first().pause : keystrokeGap);
}

bool KeyboardWedge::cutHere()
{
    const bool unplugs = misbehaves(WedgeFault::UnpluggedMidReply);
    const bool cuts = unplugs || misbehaves(WedgeFault::StallMidReply);
    if (cuts && typedSinceReady_ >= keystrokesBeforeCut)
        return true;
    ++typedSinceReady_;
    // This keystroke is the last one it gets out.
    if (unplugs && typedSinceReady_ == keystrokesBeforeCut)
        unplugged_ = true;
    return false;
}

void KeyboardWedge::press(QChar c)
{
    typed_ += c;
    QWidget *target = QApplication::focusWidget();
    if (!target) {
        ++lost_;
        return;
    }
    const auto modifiers = c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
    QKeyEvent press(QEvent::KeyPress, keyFor(c), modifiers, QString(c));
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, keyFor(c), modifiers, QString(c));
    if (QWidget *stillThere = QApplication::focusWidget())
        QCoreApplication::sendEvent(stillThere, &release);
}

} // namespace q51::sim
