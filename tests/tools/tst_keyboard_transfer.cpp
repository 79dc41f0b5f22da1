// The transfer window by keyboard, against the keyboard-wedge double: what
// is written to the keyboard controller and with which pauses, the
// handshake's give-up, the upload and version attempts, the messages, the
// buttons and progress bar, and closing in the middle of a transfer.

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <memory>

#include "link/fake_transport.h"
#include "link/intervals.h"
#include "link/protocol/block_checksum.h"
#include "link/protocol/hex_text.h"
#include "model/configuration.h"
#include "sim/keyboard_wedge.h"
#include "support/event_wait.h"
#include "support/scaled_intervals.h"
#include "support/scripted_dialogs.h"
#include "support/stepped_block.h"
#include "tools/transmit_window.h"

using namespace q51;
using namespace std::chrono;
using sim::KeyboardWedge;
using sim::WedgeFault;
using test::ScaledIntervals;
using test::ScriptedDialogs;

Q_DECLARE_METATYPE(q51::sim::WedgeFault)

namespace {

constexpr std::uint16_t DataPort = 0x60;
constexpr std::uint16_t MaskPort = 0x21;
// Generous: the machine may be busy running the rest of the suite.
constexpr int Patience = 30000;

Block patternBlock(int seed)
{
    return test::SteppedBlock(seed, 11);
}

Block withChecksum(Block b)
{
    protocol::WriteBlockChecksum(b);
    return b;
}

QString repeated(const char *text, int times)
{
    return QString::fromLatin1(text).repeated(times);
}

// Until the transfer's message has come.
#define WAIT_FOR_MESSAGES(rig, count) \
    QVERIFY(test::waitUntil([&] { return (rig).dialogs.messages.size() >= (count); }, Patience)); \
    QCOMPARE(int((rig).dialogs.messages.size()), count)

const QStringList TransferButtons{"cmdTransmit", "cmdReceive", "CmdVersion", "cmdClose"};

// The transfer window in keyboard mode, with the wedge double for port I/O.
struct Rig {
    Configuration config;
    ScriptedDialogs dialogs;
    KeyboardWedge wedge;
    QPointer<FakeTransport> port;
    std::unique_ptr<TransmitWindow> window;

    Rig()
    {
        config.TransferMode = TransferModes::ByKeyboard;
        config.block = patternBlock(7);
        config.TakeSavedCopy();
    }
    // The decoder types into the focused widget, so the window must be the
    // active one.
    bool open()
    {
        window = std::make_unique<TransmitWindow>(config, dialogs, wedge, [this] {
            auto made = std::make_unique<FakeTransport>();
            port = made.get();
            return made;
        });
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get());
    }
    QPushButton *button(const QString &name) const { return window->findChild<QPushButton *>(name); }
    QProgressBar *progress() const { return window->findChild<QProgressBar *>(QStringLiteral("ProgressBar1")); }
    void press(const char *name) const { button(QString::fromLatin1(name))->click(); }
    QString data() const { return QString::fromStdString(wedge.written(DataPort)); }
    QStringList enabledButtons() const
    {
        QStringList out;
        for (const QString &name : TransferButtons)
            if (button(name)->isEnabled())
                out << name;
        return out;
    }
};

// Every gap between consecutive writes in [from, to) is at least `least`.
bool gapsAtLeast(const std::vector<sim::PortWrite> &writes, std::size_t from, std::size_t to, milliseconds least,
                 QString *why)
{
    for (std::size_t i = from + 1; i < to; ++i) {
        const auto gap = writes[i].at - writes[i - 1].at;
        if (gap < least) {
            *why = QStringLiteral("write %1 came %2 us after the one before, less than %3 ms")
                       .arg(i)
                       .arg(duration_cast<microseconds>(gap).count())
                       .arg(least.count());
            return false;
        }
    }
    return true;
}

} // namespace

class KeyboardTransferTest : public QObject {
    Q_OBJECT

private slots:
    void intervalTableHoldsTheKeyboardValues_data();
    void intervalTableHoldsTheKeyboardValues();
    void downloadWritesHandshakeThenBlockWithPauses();
    void downloadThenUploadRoundTripsTheBlock();
    void handshakeGivesUpAfterTwentyTicks_data();
    void handshakeGivesUpAfterTwentyTicks();
    void downloadNotAccepted();
    void uploadAttempts_data();
    void uploadAttempts();
    void versionQuery_data();
    void versionQuery();
    void buttonsAndProgressBar_data();
    void buttonsAndProgressBar();
    void closingMidTransferEndsItSilently_data();
    void closingMidTransferEndsItSilently();
};

void KeyboardTransferTest::intervalTableHoldsTheKeyboardValues_data()
{
    QTest::addColumn<Interval>("interval");
    QTest::addColumn<int>("milliseconds");
    QTest::newRow("key delay") << Interval::KeyDelay << 5;
    QTest::newRow("after a wake-up letter") << Interval::WakeUpLetterPause << 2;
    QTest::newRow("before the first data character") << Interval::ReadyToDataPause << 25;
    QTest::newRow("download handshake tick") << Interval::DownloadHandshakeTick << 30;
    QTest::newRow("upload and version handshake tick") << Interval::ReplyHandshakeTick << 50;
    QTest::newRow("console handshake tick") << Interval::ConsoleHandshakeTick << 40;
    QTest::newRow("P after a download") << Interval::KeyboardDownloadAccepted << 3000;
    QTest::newRow("typed block") << Interval::KeyboardUploadData << 10000;
    QTest::newRow("P after a version request") << Interval::KeyboardVersionAccepted << 1000;
    QTest::newRow("typed version") << Interval::KeyboardVersionData << 5000;
    QTest::newRow("P after a command") << Interval::KeyboardCommandAccepted << 3000;
    QTest::newRow("typed status") << Interval::KeyboardStatusData << 3000;
    QTest::newRow("status over RS232") << Interval::StatusReply << 5000;
}

void KeyboardTransferTest::intervalTableHoldsTheKeyboardValues()
{
    QFETCH(Interval, interval);
    QFETCH(int, milliseconds);
    QCOMPARE(nominalInterval(interval).count(), milliseconds);
    // The pause after each data character is the shared KeyDelay setting.
    QCOMPARE(int(nominalInterval(Interval::KeyDelay).count()), int(Configuration{}.KeyDelay));
}

void KeyboardTransferTest::downloadWritesHandshakeThenBlockWithPauses()
{
    ScaledIntervals quick(0.2);
    Rig r;
    r.wedge.burstsBeforeReady = 3;
    QVERIFY(r.open());
    r.press("cmdTransmit");
    WAIT_FOR_MESSAGES(r, 1);
    QCOMPARE(r.dialogs.messages[0].title, QStringLiteral("CFG Message"));
    QCOMPARE(r.dialogs.messages[0].text, QStringLiteral("Download OK!"));

    // The checksum went into the block before it was sent.
    const Block sent = withChecksum(patternBlock(7));
    QVERIFY(r.config.block == sent);
    QVERIFY(r.wedge.block == sent);

    // Three ticks of five letters, then the 512 characters of the block.
    const QString blockText = QString::fromStdString(protocol::HexText(sent));
    QCOMPARE(r.data(), repeated("AAAAA", 3) + blockText);
    // The interrupt mask is cleared after the handshake and after the "P".
    const auto &all = r.wedge.writes();
    QCOMPARE(QString::fromStdString(r.wedge.written(MaskPort)), QString(2, QChar(0)));
    QCOMPARE(all[15].port, MaskPort);
    QCOMPARE(all.back().port, MaskPort);

    const auto data = r.wedge.writesTo(DataPort);
    QString why;
    for (std::size_t burst = 0; burst < 3; ++burst)
        QVERIFY2(gapsAtLeast(data, burst * 5, burst * 5 + 5, scaledInterval(Interval::WakeUpLetterPause), &why),
                 qPrintable(why));
    QVERIFY2(data[15].at - data[14].at >= scaledInterval(Interval::ReadyToDataPause), "25 ms before the data");
    QVERIFY2(gapsAtLeast(data, 15, data.size(), scaledInterval(Interval::KeyDelay), &why), qPrintable(why));
    // Ticks come one tick interval apart at least.
    QVERIFY(data[5].at - data[0].at >= scaledInterval(Interval::DownloadHandshakeTick));
    QVERIFY(data[10].at - data[5].at >= scaledInterval(Interval::DownloadHandshakeTick));
    QVERIFY(r.config.savedCopy == patternBlock(7));
}

void KeyboardTransferTest::downloadThenUploadRoundTripsTheBlock()
{
    ScaledIntervals quick(0.05);
    Rig r;
    QVERIFY(r.open());
    r.press("cmdTransmit");
    WAIT_FOR_MESSAGES(r, 1);
    QCOMPARE(r.dialogs.messages[0].text, QStringLiteral("Download OK!"));
    const Block downloaded = r.config.block;

    r.config.block = patternBlock(3);
    r.wedge.clearLog();
    r.press("cmdReceive");
    WAIT_FOR_MESSAGES(r, 2);
    QCOMPARE(r.dialogs.messages[1].title, QStringLiteral("Upload Message"));
    QCOMPARE(r.dialogs.messages[1].text, QStringLiteral("   Upload OK!"));
    QVERIFY(r.config.block == downloaded);
    QVERIFY(r.config.savedCopy == patternBlock(7)); // not touched by either
    QCOMPARE(r.data(), QStringLiteral("UUUUU"));
    QCOMPARE(QString::fromStdString(r.wedge.written(MaskPort)), QString(2, QChar(0)));
    QString why;
    QVERIFY2(gapsAtLeast(r.wedge.writesTo(DataPort), 0, 5, scaledInterval(Interval::WakeUpLetterPause), &why),
             qPrintable(why));
}

void KeyboardTransferTest::handshakeGivesUpAfterTwentyTicks_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QString>("caption");
    QTest::newRow("download") << "cmdTransmit" << "A" << "CFG Message";
    QTest::newRow("upload") << "cmdReceive" << "U" << "Upload Message";
    QTest::newRow("version") << "CmdVersion" << "C" << "Upload Message";
}

void KeyboardTransferTest::handshakeGivesUpAfterTwentyTicks()
{
    QFETCH(QString, button);
    QFETCH(QString, letter);
    QFETCH(QString, caption);
    ScaledIntervals quick(0.02);
    Rig r;
    r.wedge.fault = WedgeFault::NeverAnswers;
    QVERIFY(r.open());
    const Block before = r.config.block;
    r.button(button)->click();
    WAIT_FOR_MESSAGES(r, 1);
    QCOMPARE(r.dialogs.messages[0].title, caption);
    QCOMPARE(r.dialogs.messages[0].text, QStringLiteral("Times Out Error"));
    // Twenty ticks of five letters, nothing more: no second attempt.
    QCOMPARE(r.data(), letter.repeated(100));
    QCOMPARE(QString::fromStdString(r.wedge.written(MaskPort)), QString(1, QChar(0)));
    QCOMPARE(r.enabledButtons(), TransferButtons);
    QVERIFY(!r.progress()->isVisible());
    if (button != QLatin1String("cmdTransmit"))
        QVERIFY(r.config.block == before);
    test::runFor(int(scaledInterval(Interval::ReplyHandshakeTick).count()) * 5);
    QCOMPARE(r.data().size(), 100);
}

void KeyboardTransferTest::downloadNotAccepted()
{
    ScaledIntervals quick(0.02);
    Rig r;
    r.wedge.fault = WedgeFault::SilentAfterRequest;
    QVERIFY(r.open());
    r.press("cmdTransmit");
    WAIT_FOR_MESSAGES(r, 1);
    QCOMPARE(r.dialogs.messages[0].title, QStringLiteral("CFG Message"));
    QCOMPARE(r.dialogs.messages[0].text, QStringLiteral("Download Failed!"));
    QCOMPARE(r.data().size(), 5 + 512);
    QVERIFY(!r.progress()->isVisible());
    QCOMPARE(r.enabledButtons(), TransferButtons);
}

void KeyboardTransferTest::uploadAttempts_data()
{
    QTest::addColumn<WedgeFault>("fault");
    QTest::addColumn<int>("faultyExchanges");
    QTest::addColumn<int>("handshakes");
    QTest::addColumn<QString>("text");
    QTest::newRow("good") << WedgeFault::None << 0 << 1 << "   Upload OK!";
    QTest::newRow("lower-case digits") << WedgeFault::LowerCase << -1 << 1 << "   Upload OK!";
    QTest::newRow("511 characters twice, then 512") << WedgeFault::ShortReply << 2 << 3 << "   Upload OK!";
    QTest::newRow("511 characters every time") << WedgeFault::ShortReply << -1 << 3 << "Upload Failed!";
    QTest::newRow("checksum mismatch every time") << WedgeFault::BadChecksum << -1 << 3 << "Upload Failed!";
    QTest::newRow("checksum mismatch once") << WedgeFault::BadChecksum << 1 << 2 << "   Upload OK!";
    QTest::newRow("silence after S") << WedgeFault::SilentAfterRequest << -1 << 3 << "Upload Failed!";
}

void KeyboardTransferTest::uploadAttempts()
{
    QFETCH(WedgeFault, fault);
    QFETCH(int, faultyExchanges);
    QFETCH(int, handshakes);
    QFETCH(QString, text);
    // 500 ms for the 512 characters, which the double types in far less.
    ScaledIntervals quick(0.05);
    Rig r;
    r.wedge.fault = fault;
    r.wedge.faultyExchanges = faultyExchanges;
    r.wedge.block = withChecksum(patternBlock(5));
    QVERIFY(r.open());
    const Block before = r.config.block;

    r.press("cmdReceive");
    WAIT_FOR_MESSAGES(r, 1);
    QCOMPARE(r.dialogs.messages[0].title, QStringLiteral("Upload Message"));
    QCOMPARE(r.dialogs.messages[0].text, text);
    QCOMPARE(r.data(), repeated("UUUUU", handshakes));
    // Cleared after each handshake and after each wait for the block.
    QCOMPARE(r.wedge.written(MaskPort).size(), std::size_t(2 * handshakes));
    const bool ok = text == QLatin1String("   Upload OK!");
    QVERIFY(r.config.block == (ok ? r.wedge.block : before));
    QVERIFY(r.config.savedCopy == before);
    QVERIFY(!r.progress()->isVisible());
    QCOMPARE(r.enabledButtons(), TransferButtons);
}

void KeyboardTransferTest::versionQuery_data()
{
    QTest::addColumn<WedgeFault>("fault");
    QTest::addColumn<int>("faultyExchanges");
    QTest::addColumn<int>("attempts");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    const QString version = QStringLiteral("Version Information:\r\n\r\nV51 Firmware 2.07  2004-10-11 ");
    QTest::newRow("good") << WedgeFault::None << 0 << 1 << "Upload Message" << version;
    QTest::newRow("header typed 02061d every time")
        << WedgeFault::LowerCaseHeader << -1 << 3 << "Upload Message" << "Upload Failed!";
    QTest::newRow("header typed 02061d once") << WedgeFault::LowerCaseHeader << 1 << 2 << "Upload Message" << version;
    QTest::newRow("everything in lower case") << WedgeFault::LowerCase << -1 << 3 << "Upload Message"
                                              << "Upload Failed!";
    QTest::newRow("bad BCC") << WedgeFault::BadChecksum << -1 << 3 << "Upload Message" << "Upload Failed!";
    QTest::newRow("39 characters twice") << WedgeFault::ShortReply << 2 << 3 << "Upload Message" << version;
    QTest::newRow("no P after the request") << WedgeFault::SilentAfterRequest << -1 << 1 << "Send Command Message"
                                            << "Send Get Firmware Version's Command Failed!";
}

void KeyboardTransferTest::versionQuery()
{
    QFETCH(WedgeFault, fault);
    QFETCH(int, faultyExchanges);
    QFETCH(int, attempts);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    ScaledIntervals quick(0.05);
    Rig r;
    r.wedge.fault = fault;
    r.wedge.faultyExchanges = faultyExchanges;
    r.wedge.versionText = "V51 Firmware 2.07  2004-10-11";
    QVERIFY(r.open());
    const Block before = r.config.block;

    r.press("CmdVersion");
    WAIT_FOR_MESSAGES(r, 1);
    QCOMPARE(r.dialogs.messages[0].title, caption);
    QCOMPARE(r.dialogs.messages[0].text, text);
    QCOMPARE(r.data(), repeated("CCCCC02850384", attempts));
    QVERIFY(r.config.block == before);
    QCOMPARE(r.enabledButtons(), TransferButtons);

    // Each request: 25 ms after the handshake's last letter, the key delay
    // after each character.
    const auto data = r.wedge.writesTo(DataPort);
    QString why;
    for (int a = 0; a < attempts; ++a) {
        const std::size_t start = std::size_t(a) * 13;
        QVERIFY2(gapsAtLeast(data, start, start + 5, scaledInterval(Interval::WakeUpLetterPause), &why),
                 qPrintable(why));
        QVERIFY(data[start + 5].at - data[start + 4].at >= scaledInterval(Interval::ReadyToDataPause));
        QVERIFY2(gapsAtLeast(data, start + 5, start + 13, scaledInterval(Interval::KeyDelay), &why), qPrintable(why));
    }
}

void KeyboardTransferTest::buttonsAndProgressBar_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("maximum");
    QTest::newRow("download") << "cmdTransmit" << 255;
    QTest::newRow("upload") << "cmdReceive" << 256;
    QTest::newRow("version") << "CmdVersion" << 40;
}

void KeyboardTransferTest::buttonsAndProgressBar()
{
    QFETCH(QString, button);
    QFETCH(int, maximum);
    ScaledIntervals quick(0.05);
    Rig r;
    QVERIFY(r.open());
    QList<int> values;
    bool seenVisible = false;
    connect(r.progress(), &QProgressBar::valueChanged, r.progress(), [&](int value) {
        values << value;
        seenVisible |= r.progress()->isVisible();
    });

    r.button(button)->click();
    // The click came back at once: the transfer runs on the event loop.
    QVERIFY(r.window->transferRunning());
    QVERIFY(r.dialogs.messages.isEmpty());
    QCOMPARE(r.enabledButtons(), QStringList());
    QVERIFY(!r.window->findChild<QWidget *>(QStringLiteral("FraMode"))->isEnabled());
    // Buttons pressed meanwhile start nothing.
    for (const QString &name : TransferButtons)
        r.button(name)->click();
    WAIT_FOR_MESSAGES(r, 1);
    QVERIFY2(!r.dialogs.messages[0].text.contains(QLatin1String("Fail")), qPrintable(r.dialogs.messages[0].text));
    QVERIFY(seenVisible);
    QCOMPARE(r.progress()->maximum(), maximum);
    QVERIFY(!values.isEmpty());
    QCOMPARE(values.last(), maximum);
    QVERIFY(std::is_sorted(values.begin(), values.end()));
    QVERIFY(!r.progress()->isVisible());
    QCOMPARE(r.enabledButtons(), TransferButtons);
    QVERIFY(r.window->findChild<QWidget *>(QStringLiteral("FraMode"))->isEnabled());
}

void KeyboardTransferTest::closingMidTransferEndsItSilently_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("writesBeforeClosing"); // to the data port
    QTest::newRow("download, during the handshake") << "cmdTransmit" << 3;
    QTest::newRow("download, during the block") << "cmdTransmit" << 100;
    QTest::newRow("upload, while the block is typed") << "cmdReceive" << 5;
    QTest::newRow("version, during the request") << "CmdVersion" << 8;
}

void KeyboardTransferTest::closingMidTransferEndsItSilently()
{
    QFETCH(QString, button);
    QFETCH(int, writesBeforeClosing);
    ScaledIntervals quick(0.05);
    Rig r;
    r.wedge.burstsBeforeReady = writesBeforeClosing == 3 ? 0 : 1;
    r.wedge.turnaround = milliseconds(0);
    QVERIFY(r.open());
    const Block before = r.config.block;
    r.button(button)->click();
    QVERIFY(test::waitUntil([&] { return int(r.wedge.written(DataPort).size()) >= writesBeforeClosing; }, Patience));
    if (button == QLatin1String("cmdReceive"))
        QVERIFY(test::waitUntil(
            [&] { return r.window->findChild<QLineEdit *>(QStringLiteral("Text1"))->text().size() > 10; }, Patience));
    r.window->close();
    QVERIFY(!r.window->transferRunning());
    const std::size_t writes = r.wedge.writes().size();
    test::runFor(300); // longer than any pause or tick here
    QCOMPARE(r.wedge.writes().size(), writes);
    QVERIFY(r.dialogs.messages.isEmpty());
    if (button != QLatin1String("cmdTransmit"))
        QVERIFY(r.config.block == before);
    r.window.reset(); // and nothing goes wrong after it is gone
    test::runFor(50);
    QVERIFY(r.dialogs.messages.isEmpty());
}

QTEST_MAIN(KeyboardTransferTest)
#include "tst_keyboard_transfer.moc"
