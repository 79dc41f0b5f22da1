// The command console: Status and Trigger by keyboard against the
// keyboard-wedge double and over RS232 on the fake port, the status lines,
// every result message, the controls while a command runs, closing in the
// middle of one, and opening it from the Tools menu.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

#include "link/fake_transport.h"
#include "link/intervals.h"
#include "link/protocol/hex_text.h"
#include "link/protocol/status_reply.h"
#include "model/configuration.h"
#include "sim/keyboard_wedge.h"
#include "support/event_wait.h"
#include "support/scaled_intervals.h"
#include "support/scripted_dialogs.h"
#include "support/shell_fixture.h"
#include "tools/command_console.h"

using namespace q51;
using sim::KeyboardWedge;
using sim::WedgeFault;
using test::ScaledIntervals;
using test::ScriptedDialogs;

Q_DECLARE_METATYPE(q51::sim::WedgeFault)

namespace {

constexpr std::uint16_t DataPort = 0x60;
constexpr std::uint16_t MaskPort = 0x21;
constexpr int Patience = 30000;

QByteArray statusReply(std::uint8_t status)
{
    const protocol::StatusBytes bytes = protocol::StatusReplyBytes(status);
    return QByteArray(1, '\x06') + QByteArray(reinterpret_cast<const char *>(bytes.data()), 6);
}

QStringList linesFor(const QString &statusHex, const char *mode, const char *pe, const char *tg, const char *decode)
{
    return {QStringLiteral("Status_Byte is: ") + statusHex, QStringLiteral("Reading Mode: ") + QLatin1String(mode),
            QLatin1String(pe), QLatin1String(tg), QLatin1String(decode)};
}

#define WAIT_FOR_MESSAGES(rig, count) \
    QVERIFY(test::waitUntil([&] { return (rig).dialogs.messages.size() >= (count); }, Patience)); \
    QCOMPARE(int((rig).dialogs.messages.size()), count)

struct Rig {
    Configuration config;
    ScriptedDialogs dialogs;
    KeyboardWedge wedge;
    QPointer<FakeTransport> port;
    std::unique_ptr<CommandConsole> console;

    bool open()
    {
        console = std::make_unique<CommandConsole>(config, dialogs, wedge, [this] {
            auto made = std::make_unique<FakeTransport>();
            port = made.get();
            return made;
        });
        console->show();
        console->activateWindow();
        return QTest::qWaitForWindowActive(console.get());
    }
    template <typename T = QWidget>
    T *find(const char *name) const { return console->findChild<T *>(QString::fromLatin1(name)); }
    void choose(int item, bool keyboard) const
    {
        find<QComboBox>("cboCMD")->setCurrentIndex(item);
        find<QAbstractButton>(keyboard ? "Option1_1" : "Option1_0")->click();
    }
    void send() const { find<QPushButton>("CmdSend")->click(); }
    QString log() const { return find<QPlainTextEdit>("txtMsg")->toPlainText(); }
    QString data() const { return QString::fromStdString(wedge.written(DataPort)); }
    bool controlsEnabled() const
    {
        return find("CmdSend")->isEnabled() && find("CmdClose")->isEnabled() && find("cboCMD")->isEnabled();
    }
    bool controlsDisabled() const
    {
        return !find("CmdSend")->isEnabled() && !find("CmdClose")->isEnabled() && !find("cboCMD")->isEnabled();
    }
    // The decoder on the serial line answers every request with these bytes.
    void answer(const QByteArray &reply) const
    {
        QObject::connect(port, &FakeTransport::requestWritten, port, [p = port, reply] { p->pushReply(reply); });
    }
};

} // namespace

class CommandConsoleTest : public QObject {
    Q_OBJECT

private slots:
    void opensWithItsControls();
    void keyboardStatus_data();
    void keyboardStatus();
    void keyboardTrigger();
    void keyboardFailures_data();
    void keyboardFailures();
    void keyboardHandshakeGivesUpAfterFiftyTicks();
    void shortReplyFailsAfterAnEarlierSuccess();
    void noItemSelectedDoesNothing_data();
    void noItemSelectedDoesNothing();
    void serialStatus_data();
    void serialStatus();
    void serialTriggerIsOkAtOnce();
    void serialPortNotAvailable();
    void closingMidCommand_data();
    void closingMidCommand();
    void openedModalFromTheToolsMenu();
};

void CommandConsoleTest::opensWithItsControls()
{
    Rig r;
    QVERIFY(r.open());
    QCOMPARE(r.console->objectName(), QStringLiteral("frmCMD"));
    QCOMPARE(r.console->windowTitle(), QStringLiteral("Command"));
    QCOMPARE(r.find<QWidget>("Label1")->property("text").toString(), QStringLiteral("Send Command"));
    auto *list = r.find<QComboBox>("cboCMD");
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->itemText(0), QStringLiteral("Status"));
    QCOMPARE(list->itemText(1), QStringLiteral("Trigger"));
    QCOMPARE(list->currentIndex(), 0);
    QCOMPARE(r.find<QAbstractButton>("Option1_0")->text(), QStringLiteral("RS232"));
    QCOMPARE(r.find<QAbstractButton>("Option1_1")->text(), QStringLiteral("Keyboard"));
    QVERIFY(r.find<QAbstractButton>("Option1_1")->isChecked());
    QCOMPARE(r.find<QPushButton>("CmdSend")->text(), QStringLiteral("Send Command"));
    QCOMPARE(r.find<QPushButton>("CmdClose")->text(), QStringLiteral("Exit"));
    QCOMPARE(r.find<QLineEdit>("Text1")->text(), QStringLiteral("Text2"));
    QVERIFY(!r.port->isOpen()); // no port until a command needs one
    r.find<QPushButton>("CmdClose")->click();
    QVERIFY(!r.console->isVisible());
}

void CommandConsoleTest::keyboardStatus_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("0x2B") << 0x2B << linesFor("2B", "Continuous/Auto Power", "PE On", "TG Off", "Decode OK");
    QTest::newRow("0x00") << 0x00 << linesFor("0", "Trigger On/Off", "PE Off", "TG Off", "Decode Err");
    QTest::newRow("0xFE") << 0xFE << linesFor("FE", "Flash/Auto Power On", "PE On", "TG On", "Decode OK");
}

void CommandConsoleTest::keyboardStatus()
{
    QFETCH(int, status);
    QFETCH(QStringList, lines);
    ScaledIntervals quick(0.1);
    Rig r;
    r.wedge.statusByte = std::uint8_t(status);
    QVERIFY(r.open());
    r.find<QPlainTextEdit>("txtMsg")->setPlainText(QStringLiteral("earlier log"));
    r.send();
    QVERIFY(r.controlsDisabled());
    WAIT_FOR_MESSAGES(r, 1);
    QCOMPARE(r.dialogs.messages[0].title, QStringLiteral("Command Message"));
    QCOMPARE(r.dialogs.messages[0].text, QStringLiteral("Send Status Command OK!"));
    // The typed reply, then the status lines.
    const QString typed = QString::fromStdString(protocol::HexText(protocol::StatusReplyBytes(std::uint8_t(status))));
    QCOMPARE(r.log().split(QLatin1Char('\n')), QStringList{typed} + lines);
    QCOMPARE(r.data(), QStringLiteral("CCCCC02830382"));
    // Cleared after the handshake, the "P" and the status reply.
    QCOMPARE(r.wedge.written(MaskPort).size(), std::size_t(3));
    QVERIFY(r.controlsEnabled());
    QVERIFY(r.port->openCount() == 0);

    // Each request character is followed by the key delay, and the request
    // comes 25 ms after the handshake.
    const auto data = r.wedge.writesTo(DataPort);
    for (std::size_t i = 1; i < data.size(); ++i) {
        const auto least = i == 5 ? scaledInterval(Interval::ReadyToDataPause) : scaledInterval(Interval::KeyDelay);
        QVERIFY2(data[i].at - data[i - 1].at >= least, qPrintable(QString::number(i)));
    }
}

void CommandConsoleTest::keyboardTrigger()
{
    ScaledIntervals quick(0.1);
    Rig r;
    QVERIFY(r.open());
    r.find<QPlainTextEdit>("txtMsg")->setPlainText(QStringLiteral("kept"));
    r.choose(1, true);
    r.send();
    WAIT_FOR_MESSAGES(r, 1);
    QCOMPARE(r.dialogs.messages[0].title, QStringLiteral("Command Message"));
    QCOMPARE(r.dialogs.messages[0].text, QStringLiteral("Send Trigger Command OK!"));
    QCOMPARE(r.data(), QStringLiteral("CCCCC02820383"));
    QCOMPARE(r.log(), QStringLiteral("kept"));
    QCOMPARE(r.wedge.written(MaskPort).size(), std::size_t(2));
    QVERIFY(r.controlsEnabled());
}

void CommandConsoleTest::keyboardFailures_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<WedgeFault>("fault");
    QTest::addColumn<QString>("text");
    QTest::newRow("status, lower case") << 0 << WedgeFault::LowerCase << "Send Status Command OK!";
    QTest::newRow("status, no P") << 0 << WedgeFault::SilentAfterRequest << "Send Status Command Failed!";
    QTest::newRow("status, XOR not 0") << 0 << WedgeFault::BadChecksum << "Send Status Command Failed!";
    QTest::newRow("status, second byte not 02") << 0 << WedgeFault::NotAStatusReply << "Send Status Command Failed!";
    QTest::newRow("status, 11 characters") << 0 << WedgeFault::ShortReply << "Send Status Command Failed!";
    QTest::newRow("trigger, no P") << 1 << WedgeFault::SilentAfterRequest << "Send Trigger Command Failed!";
    QTest::newRow("trigger, lower-case p") << 1 << WedgeFault::LowerCase << "Send Trigger Command OK!";
}

void CommandConsoleTest::keyboardFailures()
{
    QFETCH(int, item);
    QFETCH(WedgeFault, fault);
    QFETCH(QString, text);
    ScaledIntervals quick(0.05);
    Rig r;
    r.wedge.fault = fault;
    QVERIFY(r.open());
    r.choose(item, true);
    r.send();
    WAIT_FOR_MESSAGES(r, 1);
    QCOMPARE(r.dialogs.messages[0].title, QStringLiteral("Command Message"));
    QCOMPARE(r.dialogs.messages[0].text, text);
    const bool statusLines = item == 0 && text.endsWith(QLatin1String("OK!"));
    QCOMPARE(r.log().contains(QLatin1String("Status_Byte is: ")), statusLines);
    QVERIFY(r.controlsEnabled());
}

void CommandConsoleTest::keyboardHandshakeGivesUpAfterFiftyTicks()
{
    ScaledIntervals quick(0.02);
    Rig r;
    r.wedge.fault = WedgeFault::NeverAnswers;
    QVERIFY(r.open());
    r.send();
    WAIT_FOR_MESSAGES(r, 1);
    QCOMPARE(r.dialogs.messages[0].title, QStringLiteral("Command Message"));
    QCOMPARE(r.dialogs.messages[0].text, QStringLiteral("Times Out Error"));
    QCOMPARE(r.data(), QStringLiteral("CCCCC").repeated(50));
    QVERIFY(r.controlsEnabled());
}

void CommandConsoleTest::shortReplyFailsAfterAnEarlierSuccess()
{
    ScaledIntervals quick(0.05);
    Rig r;
    QVERIFY(r.open());
    r.send();
    WAIT_FOR_MESSAGES(r, 1);
    QCOMPARE(r.dialogs.messages[0].text, QStringLiteral("Send Status Command OK!"));

    r.wedge.fault = WedgeFault::ShortReply;
    r.wedge.statusByte = 0x00;
    r.send();
    WAIT_FOR_MESSAGES(r, 2);
    QCOMPARE(r.dialogs.messages[1].text, QStringLiteral("Send Status Command Failed!"));
    // The 11 characters typed, and no status lines from the earlier reply.
    QCOMPARE(r.log().size(), 11);
    QVERIFY(!r.log().contains(QLatin1Char('\n')));
}

void CommandConsoleTest::noItemSelectedDoesNothing_data()
{
    QTest::addColumn<bool>("keyboard");
    QTest::newRow("keyboard") << true;
    QTest::newRow("RS232") << false;
}

void CommandConsoleTest::noItemSelectedDoesNothing()
{
    QFETCH(bool, keyboard);
    Rig r;
    QVERIFY(r.open());
    r.choose(-1, keyboard);
    QCOMPARE(r.find<QComboBox>("cboCMD")->currentIndex(), -1);
    r.send();
    QVERIFY(!r.console->commandRunning());
    QVERIFY(r.controlsEnabled());
    test::runFor(50);
    QVERIFY(r.wedge.writes().empty());
    QCOMPARE(r.port->openCount(), 0);
    QVERIFY(r.dialogs.messages.isEmpty());
}

void CommandConsoleTest::serialStatus_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines"); // after the earlier log
    QTest::newRow("0x2B") << statusReply(0x2B) << "Send Status Command OK!"
                          << linesFor("2B", "Continuous/Auto Power", "PE On", "TG Off", "Decode OK");
    QTest::newRow("0x00") << statusReply(0x00) << "Send Status Command OK!"
                          << linesFor("0", "Trigger On/Off", "PE Off", "TG Off", "Decode Err");
    QByteArray nak = statusReply(0x2B);
    nak[0] = 0x15;
    QTest::newRow("not acknowledged") << nak << "Send Status Command Failed!" << QStringList();
    QByteArray badXor = statusReply(0x2B);
    badXor[6] = char(badXor[6] ^ 0x10);
    QTest::newRow("bad XOR") << badXor << "Send Status Command Failed!" << QStringList();
    QTest::newRow("six bytes: time-out") << statusReply(0x2B).left(6) << "Send Status Command Failed!" << QStringList();
    QTest::newRow("silence: time-out") << QByteArray() << "Send Status Command Failed!" << QStringList();
}

void CommandConsoleTest::serialStatus()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    ScaledIntervals quick(0.01);
    Rig r;
    r.config.PortNumber = 2;
    r.config.BaudText = "19200";
    QVERIFY(r.open());
    r.find<QPlainTextEdit>("txtMsg")->setPlainText(QStringLiteral("earlier log"));
    r.choose(0, false);
    if (!reply.isEmpty())
        r.answer(reply);
    r.send();
    QVERIFY(r.controlsDisabled());
    QVERIFY(r.port->isOpen());
    WAIT_FOR_MESSAGES(r, 1);
    QCOMPARE(r.dialogs.messages[0].title, QStringLiteral("Command Message"));
    QCOMPARE(r.dialogs.messages[0].text, text);
    QCOMPARE(r.log().split(QLatin1Char('\n')), QStringList{"earlier log"} + lines);
    QCOMPARE(r.port->written(), QByteArray("\x02\x83\x03\x82", 4));
    QCOMPARE(r.port->lastPortNumber(), 2);
    QCOMPARE(r.port->lastSettings().baudRate, 19200);
    QVERIFY(!r.port->isOpen()); // no port held between commands
    QVERIFY(r.controlsEnabled());
    QVERIFY(r.wedge.writes().empty());
}

void CommandConsoleTest::serialTriggerIsOkAtOnce()
{
    Rig r;
    QVERIFY(r.open());
    r.choose(1, false);
    r.send();
    QCOMPARE(r.port->openCount(), 1);
    WAIT_FOR_MESSAGES(r, 1);
    QCOMPARE(r.dialogs.messages[0].title, QStringLiteral("Command Message"));
    QCOMPARE(r.dialogs.messages[0].text, QStringLiteral("Send Trigger Command OK!"));
    QCOMPARE(r.port->written(), QByteArray("\x02\x82\x03\x83", 4));
    QVERIFY(!r.port->isOpen());
    QVERIFY(r.controlsEnabled());

    // Again: the port opens for each command.
    r.send();
    WAIT_FOR_MESSAGES(r, 2);
    QCOMPARE(r.port->openCount(), 2);
}

void CommandConsoleTest::serialPortNotAvailable()
{
    Rig r;
    r.config.PortNumber = 3;
    QVERIFY(r.open());
    r.port->refuseOpen(OpenFailureKind::NoSuchDevice);
    r.choose(0, false);
    r.send();
    QCOMPARE(r.dialogs.texts(), QStringList{"COM 3: not available."});
    QCOMPARE(r.dialogs.messages[0].title, QString::fromUtf8(DefaultCaption));
    QVERIFY(!r.console->commandRunning());
    QVERIFY(r.controlsEnabled());
    test::runFor(50);
    QCOMPARE(r.dialogs.messages.size(), 1);
}

void CommandConsoleTest::closingMidCommand_data()
{
    QTest::addColumn<bool>("keyboard");
    QTest::newRow("keyboard, during the handshake") << true;
    QTest::newRow("RS232, waiting for the status") << false;
}

void CommandConsoleTest::closingMidCommand()
{
    QFETCH(bool, keyboard);
    ScaledIntervals quick(0.02);
    Rig r;
    r.wedge.fault = WedgeFault::NeverAnswers;
    QVERIFY(r.open());
    r.choose(0, keyboard);
    r.send();
    QVERIFY(r.console->commandRunning());
    if (keyboard)
        QVERIFY(test::waitUntil([&] { return !r.wedge.writes().empty(); }, Patience));
    r.console->reject(); // Escape, the title bar or Exit
    QVERIFY(!r.console->commandRunning());
    QVERIFY(!r.port->isOpen());
    const std::size_t writes = r.wedge.writes().size();
    test::runFor(200);
    QCOMPARE(r.wedge.writes().size(), writes);
    QVERIFY(r.dialogs.messages.isEmpty());
    r.console.reset();
    QVERIFY(r.port.isNull());
}

void CommandConsoleTest::openedModalFromTheToolsMenu()
{
    test::Shell s;
    s.trigger("mnuConfigTransmit");
    QCOMPARE(int(s.config.ActivePage), int(Page::Transmit));
    QString seen;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        QWidget *w = QApplication::activeModalWidget();
        if (!w)
            return;
        seen = w->objectName() + QLatin1Char('/') + w->windowTitle();
        modal = w->isModal();
        w->findChild<QPushButton *>(QStringLiteral("CmdClose"))->click();
    });
    s.trigger("mnuToolCmd");
    QCOMPARE(seen, QStringLiteral("frmCMD/Command"));
    QVERIFY(modal);
    QCOMPARE(int(s.config.ActivePage), 0); // the transfer window was closed first
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(CommandConsoleTest)
#include "tst_command_console.moc"
