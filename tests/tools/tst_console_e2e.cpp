// The command console over RS232 end to end: the real serial port on a
// pseudo-terminal against the simulator program, Status with the status
// byte the simulator is given, its faults, and Trigger; and the console and
// the test window when the simulator's device vanishes and comes back.

#include <QAbstractButton>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "link/intervals.h"
#include "link/portio/port_io.h"
#include "link/serial_port_transport.h"
#include "model/configuration.h"
#include "support/event_wait.h"
#include "support/scaled_intervals.h"
#include "support/scripted_dialogs.h"
#include "support/simulator_process.h"
#include "tools/command_console.h"
#include "tools/test_window.h"

using namespace q51;
using test::ScaledIntervals;
using test::ScriptedDialogs;
using test::SimulatorProcess;

namespace {

} // namespace

class ConsoleEndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void status_data();
    void status();
    void triggerReachesTheDecoder();
    void portComesBack_data();
    void portComesBack();

private:
    Configuration config;
    ScriptedDialogs dialogs;
    FailingPortIo portIo; // RS232 only here
    std::unique_ptr<CommandConsole> console;

    bool openOn(SimulatorProcess &sim, const QString &device = {})
    {
        qputenv("Q51_COM1", (device.isEmpty() ? sim.device() : device).toLocal8Bit());
        config.PortNumber = 1;
        dialogs.clear();
        console = std::make_unique<CommandConsole>(config, dialogs, portIo,
                                                   [] { return std::make_unique<SerialPortTransport>(); });
        console->show();
        console->findChild<QAbstractButton *>(QStringLiteral("Option1_0"))->click(); // RS232
        return true;
    }
    void send(int item)
    {
        console->findChild<QComboBox *>(QStringLiteral("cboCMD"))->setCurrentIndex(item);
        console->findChild<QPushButton *>(QStringLiteral("CmdSend"))->click();
    }
    bool waitForMessage()
    {
        return test::waitUntil([this] { return !dialogs.messages.isEmpty(); }, SimulatorProcess::Patience);
    }
};

void ConsoleEndToEndTest::cleanup()
{
    console.reset();
    qunsetenv("Q51_COM1");
}

void ConsoleEndToEndTest::status_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("status byte 0x2B")
        << QStringList{"--status-byte", "0x2B"} << "Send Status Command OK!"
        << QStringList{"Status_Byte is: 2B", "Reading Mode: Continuous/Auto Power", "PE On", "TG Off", "Decode OK"};
    QTest::newRow("status byte 0")
        << QStringList{"--status-byte", "0"} << "Send Status Command OK!"
        << QStringList{"Status_Byte is: 0", "Reading Mode: Trigger On/Off", "PE Off", "TG Off", "Decode Err"};
    QTest::newRow("in slow pieces") << QStringList{"--status-byte", "0x18", "--split", "2", "--pause", "20"}
                                    << "Send Status Command OK!"
                                    << QStringList{"Status_Byte is: 18", "Reading Mode: Trigger On/Off", "PE On",
                                                   "TG On", "Decode Err"};
    QTest::newRow("refused") << QStringList{"--refuse"} << "Send Status Command Failed!" << QStringList();
    QTest::newRow("bad BCC") << QStringList{"--bad-bcc"} << "Send Status Command Failed!" << QStringList();
    QTest::newRow("silence") << QStringList{"--silent"} << "Send Status Command Failed!" << QStringList();
    QTest::newRow("short reply") << QStringList{"--short", "6"} << "Send Status Command Failed!" << QStringList();
}

void ConsoleEndToEndTest::status()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    ScaledIntervals quick(0.05); // 250 ms for a reply that never comes
    SimulatorProcess sim;
    QVERIFY(sim.start(arguments));
    QVERIFY(openOn(sim));
    console->findChild<QPlainTextEdit *>(QStringLiteral("txtMsg"))->setPlainText(QStringLiteral("log"));
    send(0);
    QVERIFY(waitForMessage());
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages[0].title, QStringLiteral("Command Message"));
    QCOMPARE(dialogs.messages[0].text, text);
    QCOMPARE(console->findChild<QPlainTextEdit *>(QStringLiteral("txtMsg"))->toPlainText().split(QLatin1Char('\n')),
             QStringList{"log"} + lines);
    QVERIFY(test::waitUntil([&] { return sim.log().contains(QLatin1String("status")); }, SimulatorProcess::Patience));
}

void ConsoleEndToEndTest::triggerReachesTheDecoder()
{
    SimulatorProcess sim;
    QVERIFY(sim.start({}));
    QVERIFY(openOn(sim));
    send(1);
    QVERIFY(waitForMessage());
    QCOMPARE(dialogs.messages[0].text, QStringLiteral("Send Trigger Command OK!"));
    // The port was closed after the command, with the frame sent.
    QVERIFY(test::waitUntil([&] { return sim.log().contains(QLatin1String("trigger")); }, SimulatorProcess::Patience));
    // And again: the console opens the port for every command.
    dialogs.clear();
    send(1);
    QVERIFY(waitForMessage());
    QCOMPARE(dialogs.messages[0].text, QStringLiteral("Send Trigger Command OK!"));
    QVERIFY(test::waitUntil([&] { return sim.log().count(QLatin1String("trigger")) == 2; }, SimulatorProcess::Patience));
}

void ConsoleEndToEndTest::portComesBack_data()
{
    QTest::addColumn<bool>("testWindow");
    QTest::addColumn<QString>("log"); // where the window writes about its port
    QTest::newRow("command console") << false << "txtMsg";
    QTest::newRow("test window") << true << "TxtRS232";
}

void ConsoleEndToEndTest::portComesBack()
{
    QFETCH(bool, testWindow);
    QFETCH(QString, log);
    ScaledIntervals quick(0.05);
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("com1"));
    SimulatorProcess sim;
    QVERIFY(sim.start({"--link", link}));
    QPointer<Transport> port;
    std::unique_ptr<TestWindow> window;
    if (testWindow) {
        qputenv("Q51_COM1", link.toLocal8Bit());
        config.PortNumber = 1;
        dialogs.clear();
        window = std::make_unique<TestWindow>(config, dialogs, [&port] {
            auto made = std::make_unique<SerialPortTransport>();
            port = made.get();
            return made;
        });
        window->show();
        QVERIFY(port && port->isOpen());
    } else {
        QVERIFY(openOn(sim, link));
        send(0); // the console follows the adapter of its last command
        QVERIFY(waitForMessage());
        QCOMPARE(dialogs.messages[0].text, QStringLiteral("Send Status Command OK!"));
    }
    QWidget *shown = testWindow ? static_cast<QWidget *>(window.get()) : console.get();
    auto *box = shown->findChild<QPlainTextEdit *>(log);
    const auto says = [&](const QStringList &lines) {
        const QStringList ending = lines + QStringList{QString()}; // each line ended
        return test::waitUntil(
            [&] {
                const QStringList all = box->toPlainText().split(QLatin1Char('\n'));
                return all.size() >= ending.size() && all.mid(all.size() - ending.size()) == ending;
            },
            SimulatorProcess::Patience);
    };
    const QStringList lost{"Port lost"};
    const QStringList lostAndBack{"Port lost", "Port back"};

    QVERIFY(sim.toggleVanish());
    QVERIFY2(says(lost), qPrintable(box->toPlainText()));
    QVERIFY(sim.toggleVanish());
    QVERIFY2(says(lostAndBack), qPrintable(box->toPlainText()));

    // Back for real: the next command, or what the decoder sends, gets through.
    dialogs.clear();
    if (testWindow) {
        QVERIFY(port->isOpen());
        QVERIFY(port->write(QByteArray::fromHex("02830382"))); // asks for a status reply
        QVERIFY(test::waitUntil([&] { return box->toPlainText().contains(QLatin1String("<ACK><STX><STX>")); },
                                SimulatorProcess::Patience));
    } else {
        send(0);
        QVERIFY(waitForMessage());
        QCOMPARE(dialogs.messages[0].text, QStringLiteral("Send Status Command OK!"));
    }
    QVERIFY(dialogs.messages.size() <= 1); // nothing about the port in a box

    // Closed while the port is away, and the device back after: nothing breaks.
    QVERIFY(sim.toggleVanish());
    QVERIFY(says(lost));
    window.reset();
    console.reset();
    QVERIFY(sim.toggleVanish());
    QVERIFY(test::waitUntil([&] { return sim.log().count(QLatin1String("back on")) == 2; }, SimulatorProcess::Patience));
    test::runFor(200);
}

QTEST_MAIN(ConsoleEndToEndTest)
#include "tst_console_e2e.moc"
