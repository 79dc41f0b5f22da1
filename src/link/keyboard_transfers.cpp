#include "link/keyboard_transfers.h"

#include "link/protocol/block_checksum.h"
#include "link/protocol/hex_text.h"
#include "link/protocol/keyboard_line.h"
#include "link/protocol/requests.h"
#include "link/protocol/typed_replies.h"
#include "link/transmit_texts.h"
#include "model/configuration.h"
#include "model/windows1252.h"

namespace q51 {

namespace {

namespace kb = protocol::keyboard;
namespace t = transmit_text;

constexpr int Attempts = 3;
constexpr auto Succeeded = KeyboardLink::Outcome::Succeeded;
constexpr auto Failed = KeyboardLink::Outcome::Failed;

KeyboardLink::Handshake wakeUp(char letter, Interval tick)
{
    return {QByteArray(kb::LettersPerTick, letter), Interval::WakeUpLetterPause, tick, kb::TransferHandshakeTicks};
}

QByteArray hexText(protocol::ByteView bytes)
{
    return QByteArray::fromStdString(protocol::HexText(bytes));
}

// What the decoder typed, as the single-byte character codes it stands for.
std::string typedBytes(const QString &typed)
{
    return Utf8ToWindows1252(typed.toStdString());
}

} // namespace

KeyboardTransfer::KeyboardTransfer(TransferKind kind, Configuration &config, PortIo &io, const ReplyBox &replyBox,
                                   QObject *parent)
    : QObject(parent), kind_(kind), config_(config), box_(replyBox), link_(io, this)
{
}

void KeyboardTransfer::start()
{
    switch (kind_) {
    case TransferKind::Download: download(); break;
    case TransferKind::Upload: upload(0); break;
    case TransferKind::Version: version(0); break;
    }
}

void KeyboardTransfer::abort()
{
    done_ = true;
    link_.release(Failed);
}

void KeyboardTransfer::finish(const char *caption, const QString &text, bool hideProgress,
                              KeyboardLink::Outcome outcome)
{
    if (done_)
        return;
    done_ = true;
    // The port is let go of before the result is told: after a failure no
    // queued write reaches it any more.
    const QString trouble = link_.release(outcome);
    if (onFinished)
        onFinished(TransferReport{QString::fromUtf8(caption), text, outcome == Failed ? trouble : QString()},
                   hideProgress);
}

void KeyboardTransfer::download()
{
    protocol::WriteBlockChecksum(config_.block);
    link_.handshake(box_, wakeUp(kb::DownloadLetter, Interval::DownloadHandshakeTick), [this](bool ready) {
        if (!ready) {
            finish(t::CfgMessage, QString::fromUtf8(t::TimesOutError), false, Failed);
            return;
        }
        // The decoder's "P" may come before the last character's pause is over.
        box_.clearAndFocus();
        link_.pause(Interval::ReadyToDataPause, [this] {
            constexpr int LastByte = BlockSize - 1;
            if (onProgress)
                onProgress(0, LastByte);
            const QByteArray text = hexText(config_.block);
            link_.type(
                text,
                [this](int typed) {
                    // Byte i is out once both of its digits are.
                    if (typed % 2 == 0 && onProgress)
                        onProgress(typed / 2 - 1, LastByte);
                },
                [this] {
                    link_.waitForMark(
                        box_, QLatin1Char(kb::AcceptedMark), Interval::KeyboardDownloadAccepted,
                        [this](bool accepted) {
                            finish(t::CfgMessage, QString::fromUtf8(accepted ? t::DownloadOk : t::DownloadFailed),
                                   true, accepted ? Succeeded : Failed);
                        },
                        KeyboardLink::BoxStart::KeepTyped);
                });
        });
    });
}

void KeyboardTransfer::upload(int attempt)
{
    link_.handshake(box_, wakeUp(kb::UploadLetter, Interval::ReplyHandshakeTick), [this, attempt](bool ready) {
        if (!ready) {
            finish(t::UploadMessage, QString::fromUtf8(t::TimesOutError), false, Failed);
            return;
        }
        if (onProgress)
            onProgress(0, BlockSize);
        link_.waitForLength(
            box_, int(kb::TypedBlockLength), Interval::KeyboardUploadData,
            [this](int typed) {
                if (onProgress)
                    onProgress(typed / 2, BlockSize);
            },
            [this, attempt](const QString &typed) {
                if (const auto block = protocol::DecodeTypedBlock(typedBytes(typed))) {
                    config_.block = *block; // the saved copy stays as it was
                    finish(t::UploadMessage, QString::fromUtf8(t::UploadOk), true, Succeeded);
                } else if (attempt + 1 == Attempts) {
                    finish(t::UploadMessage, QString::fromUtf8(t::UploadFailed), true, Failed);
                } else {
                    upload(attempt + 1);
                }
            });
    });
}

void KeyboardTransfer::version(int attempt)
{
    link_.handshake(box_, wakeUp(kb::QueryLetter, Interval::ReplyHandshakeTick), [this, attempt](bool ready) {
        if (!ready) {
            finish(t::UploadMessage, QString::fromUtf8(t::TimesOutError), false, Failed);
            return;
        }
        box_.clearAndFocus(); // as for a download: an early "P" counts
        link_.pause(Interval::ReadyToDataPause, [this, attempt] {
            link_.type(hexText(protocol::ReadVersionRequest()), {}, [this, attempt] {
                link_.waitForMark(
                    box_, QLatin1Char(kb::AcceptedMark), Interval::KeyboardVersionAccepted,
                    [this, attempt](bool accepted) {
                        if (accepted)
                            versionReply(attempt);
                        else
                            finish(t::SendCommandMessage, QString::fromUtf8(t::VersionCommandFailed), false, Failed);
                    },
                    KeyboardLink::BoxStart::KeepTyped);
            });
        });
    });
}

void KeyboardTransfer::versionReply(int attempt)
{
    const int length = int(kb::TypedVersionLength);
    if (onProgress)
        onProgress(0, length);
    link_.waitForLength(
        box_, length, Interval::KeyboardVersionData,
        [this, length](int typed) {
            if (onProgress)
                onProgress(typed, length);
        },
        [this, attempt](const QString &typed) {
            const auto text = protocol::DecodeTypedVersion(typedBytes(typed));
            if (!text && attempt + 1 < Attempts) {
                version(attempt + 1);
                return;
            }
            link_.unmaskInterrupts();
            if (text)
                finish(t::UploadMessage,
                       QString::fromUtf8(t::VersionInformation) + QString::fromStdString(Windows1252ToUtf8(*text)),
                       true, Succeeded);
            else
                finish(t::UploadMessage, QString::fromUtf8(t::UploadFailed), true, Failed);
        });
}

} // namespace q51
