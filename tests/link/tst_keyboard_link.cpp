// The keyboard line with no widget at all: the link takes the decoder's
// keystrokes through its typed-reply interface, so a plain source stands in
// for the window's box. A decoder double answers each wake-up letter it is
// written by typing into that source, as a real one types into the focus.

#include <QPointer>
#include <QTest>

#include <functional>
#include <memory>

#include "link/keyboard_link.h"
#include "link/portio/port_io.h"
#include "link/reply_box.h"
#include "support/event_wait.h"
#include "support/scaled_intervals.h"

using namespace q51;

namespace {

class PlainSource final : public TypedReplySource {
public:
    QString text() const override { return text_; }
    void clear() override { setText({}); }
    void takeFocus() override { ++focusTaken; }
    void type(const QString &characters) { setText(text_ + characters); }
    int focusTaken = 0;

private:
    void setText(const QString &text)
    {
        text_ = text;
        emit textChanged();
    }
    QString text_;
};

// Records the data-port writes and runs `onWrite` after each, on the next
// pass of the event loop, as a decoder answers after the host's write.
class RecordingPort final : public PortIo {
public:
    bool InitializeWinIo() override { return true; }
    bool SetPortVal(std::uint16_t port, std::uint32_t value, int) override
    {
        if (port == KeyboardDataPort) {
            written += char(value);
            if (onWrite)
                QTimer::singleShot(0, [this] { onWrite(written); });
        }
        return true;
    }
    void ShutdownWinIo() override {}
    QByteArray written;
    std::function<void(const QByteArray &)> onWrite;
};

const KeyboardLink::Handshake WakeUp{"AB", Interval::WakeUpLetterPause, Interval::DownloadHandshakeTick, 3};

} // namespace

class KeyboardLinkTest : public QObject {
    Q_OBJECT

private slots:
    void handshakeEndsWhenTheSourceReadsReady();
    void waitForLengthTakesTheTypedReply();
    void sourceGoneMidWaitEndsAtTheTimeOut();

private:
    test::ScaledIntervals scale_{0.01};
};

void KeyboardLinkTest::handshakeEndsWhenTheSourceReadsReady()
{
    RecordingPort port;
    PlainSource source;
    source.type(QStringLiteral("left over"));
    port.onWrite = [&](const QByteArray &written) {
        if (written == "AB")
            source.type(QStringLiteral("s"));
    };
    KeyboardLink link(port);
    std::optional<bool> ready;
    link.handshake(ReplyBox(&source), WakeUp, [&](bool r) { ready = r; });
    QVERIFY(test::waitUntil([&] { return ready.has_value(); }, 5000));
    QVERIFY(*ready);
    QCOMPARE(port.written, QByteArray("AB")); // the answer came before a second tick
    QCOMPARE(source.text(), QStringLiteral("s")); // emptied first, then typed into
    QVERIFY(source.focusTaken > 0);
}

void KeyboardLinkTest::waitForLengthTakesTheTypedReply()
{
    RecordingPort port;
    PlainSource source;
    KeyboardLink link(port);
    QList<int> progress;
    std::optional<QString> reply;
    link.waitForLength(ReplyBox(&source), 6, Interval::KeyboardUploadData, [&](int n) { progress << n; },
                       [&](const QString &text) { reply = text; });
    QTimer::singleShot(0, [&] { source.type(QStringLiteral("0206")); });
    QTimer::singleShot(1, [&] { source.type(QStringLiteral("1D")); });
    QVERIFY(test::waitUntil([&] { return reply.has_value(); }, 5000));
    QCOMPARE(*reply, QStringLiteral("02061D"));
    QCOMPARE(progress.last(), 6);
    QVERIFY(!link.isBusy());
}

void KeyboardLinkTest::sourceGoneMidWaitEndsAtTheTimeOut()
{
    RecordingPort port;
    auto source = std::make_unique<PlainSource>();
    KeyboardLink link(port);
    std::optional<bool> seen;
    link.waitForMark(ReplyBox(source.get()), QLatin1Char('P'), Interval::KeyboardDownloadAccepted,
                     [&](bool s) { seen = s; });
    source.reset(); // the window closed under the wait
    QVERIFY(test::waitUntil([&] { return seen.has_value(); }, 5000));
    QVERIFY(!*seen);
}

QTEST_GUILESS_MAIN(KeyboardLinkTest)
#include "tst_keyboard_link.moc"
