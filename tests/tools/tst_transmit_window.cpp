// The transfer window over the fake port: the link-setting choices and the
// rules they drive, the opening steps, the three transfers' button states
// and messages, and closing in the middle of a transfer.

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QGroupBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <memory>

#include "link/fake_transport.h"
#include "link/intervals.h"
#include "link/link_settings_choices.h"
#include "link/protocol/frame.h"
#include "support/scaled_intervals.h"
#include "support/scripted_dialogs.h"
#include "support/shell_fixture.h"
#include "tools/transmit_window.h"

using namespace q51;
using test::ScaledIntervals;
using test::ScriptedDialogs;

namespace {

QByteArray bytesOf(const protocol::Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

// ACK and a reply frame, as a well-behaved decoder sends it.
QByteArray acknowledged(std::uint8_t command, const QByteArray &payload)
{
    const auto frame = protocol::BuildFrame(command, protocol::AsBytes({payload.constData(), size_t(payload.size())}));
    return QByteArray(1, '\x06') + bytesOf(frame);
}

QByteArray patternBlock()
{
    QByteArray block(BlockSize, '\0');
    for (int i = 0; i < BlockSize; ++i)
        block[i] = char(i * 7 + 3);
    return block;
}

// Builds a window the way the main window does, keeping hold of its port.
TransmitWindow::TransportFactory fakePortInto(QPointer<FakeTransport> &port)
{
    return [&port] {
        auto made = std::make_unique<FakeTransport>();
        port = made.get();
        return made;
    };
}

struct Rig {
    Configuration config;
    ScriptedDialogs dialogs;
    test::CountingPortIo portIo;
    QPointer<FakeTransport> port;
    std::unique_ptr<TransmitWindow> window;

    void open()
    {
        window = std::make_unique<TransmitWindow>(config, dialogs, portIo, fakePortInto(port));
        window->show();
    }
    template <typename T = QWidget>
    T *find(const QString &name) const { return window->findChild<T *>(name); }
    QPushButton *button(const char *name) const { return find<QPushButton>(QString::fromLatin1(name)); }
    QAbstractButton *option(const char *group, int index) const
    {
        return find<QAbstractButton>(QStringLiteral("%1_%2").arg(QLatin1String(group)).arg(index));
    }
    void click(const char *group, int index) const { option(group, index)->click(); }
    bool repliesEnabled() const { return button("cmdReceive")->isEnabled() && button("CmdVersion")->isEnabled(); }
    bool repliesDisabled() const { return !button("cmdReceive")->isEnabled() && !button("CmdVersion")->isEnabled(); }
    // The decoder answers every request with these bytes.
    void answer(const QByteArray &reply) const
    {
        QObject::connect(port, &FakeTransport::requestWritten, port, [p = port, reply] { p->pushReply(reply); });
    }
};

// The main window with a transfer window on the fake port; other pages are blank.
struct ShellRig {
    Configuration config;
    ScriptedDialogs dialogs;
    test::CountingPortIo portIo;
    QPointer<FakeTransport> port;
    QPointer<TransmitWindow> transmit;
    std::unique_ptr<MainWindow> main;

    ShellRig()
    {
        ShellServices services{dialogs, portIo, [](const QString &, const QStringList &) { return true; },
                               [] { return QStringLiteral("08/12/2026"); },
                               [this](int page) -> QWidget * {
                                   if (page != Page::Transmit)
                                       return new QWidget;
                                   transmit = new TransmitWindow(config, dialogs, portIo, fakePortInto(port));
                                   return transmit.data();
                               }};
        main = std::make_unique<MainWindow>(config, services);
        main->startUp();
        main->show();
    }
};

const char *const SerialOnlyFrames[] = {"FraPort", "FraBaud", "FraDatabits", "FraStopbits", "FraParity"};

} // namespace

class TransmitWindowTest : public QObject {
    Q_OBJECT

private slots:
    void everyOptionWritesWhatItReadsBack_data();
    void everyOptionWritesWhatItReadsBack();
    void framingTextStaysFiveCharacters_data();
    void framingTextStaysFiveCharacters();
    void parityRule_data();
    void parityRule();
    void reselectingAnOptionDoesNothing();
    void byKeyboardClosesPortAndFreesButtons();
    void openingRunsEachStoredChoiceOnce_data();
    void openingRunsEachStoredChoiceOnce();
    void portNotAvailable();
    void openingWithUnavailableStoredPortSaysSoOnce();
    void openingInKeyboardModeWithAnotherPort();
    void openingStepsRunOnFirstShowOnly();
    void storedValuesNoOptionStandsFor();
    void buttonsDuringAndAfterTransfer_data();
    void buttonsDuringAndAfterTransfer();
    void serialVersionHidesAnEarlierProgressBar_data();
    void serialVersionHidesAnEarlierProgressBar();
    void lostPortEndsTransferAsTimeOut();
    void closingWindowMidTransfer();
    void closingFromMainWindowMidTransfer_data();
    void closingFromMainWindowMidTransfer();
    void closeButtonClosesPortAndWindow();
};

void TransmitWindowTest::everyOptionWritesWhatItReadsBack_data()
{
    QTest::addColumn<int>("setting");
    QTest::addColumn<int>("index");
    for (const LinkChoiceGroup &group : LinkChoiceGroups()) {
        for (int i = 0; i < int(group.options.size()); ++i)
            QTest::addRow("%s %s", group.controlName, group.options[size_t(i)]) << int(group.setting) << i;
    }
}

void TransmitWindowTest::everyOptionWritesWhatItReadsBack()
{
    QFETCH(int, setting);
    QFETCH(int, index);
    Configuration config;
    ApplyLinkChoice(config, LinkSetting(setting), index);
    QCOMPARE(StoredLinkChoice(config, LinkSetting(setting)), std::optional<int>(index));
    QCOMPARE(config.FramingText.str().size(), size_t(5));
    QVERIFY(parseSerialSettings(QString::fromStdString(config.SettingsString())).has_value());
}

void TransmitWindowTest::framingTextStaysFiveCharacters_data()
{
    QTest::addColumn<QStringList>("clicks"); // "group:index"
    QTest::addColumn<QString>("framing");
    QTest::newRow("E,7,2") << QStringList{"OptParity:1", "optDatabits:0", "optStopbits:1"} << "E,7,2";
    QTest::newRow("there and back") << QStringList{"optDatabits:0", "OptParity:4", "optDatabits:1", "OptParity:0"}
                                    << "N,8,1";
    QTest::newRow("every parity, then 2 stop bits")
        << QStringList{"OptParity:1", "OptParity:2", "OptParity:3", "OptParity:4", "optStopbits:1"} << "S,8,2";
}

void TransmitWindowTest::framingTextStaysFiveCharacters()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, framing);
    Rig r;
    r.open();
    for (const QString &click : clicks) {
        const QStringList parts = click.split(QLatin1Char(':'));
        r.click(parts[0].toLatin1().constData(), parts[1].toInt());
        QCOMPARE(r.config.FramingText.str().size(), size_t(5));
    }
    QCOMPARE(QString::fromStdString(r.config.FramingText.str()), framing);
    // The port was reopened with what the window shows.
    const SerialSettings applied = r.port->lastSettings();
    QCOMPARE(QStringLiteral("%1,%2,%3").arg(QLatin1Char(applied.parity)).arg(applied.dataBits).arg(applied.stopBits),
             framing);
    QVERIFY(r.dialogs.messages.isEmpty());
}

void TransmitWindowTest::parityRule_data()
{
    QTest::addColumn<int>("parity");
    QTest::addColumn<bool>("repliesAllowed");
    QTest::newRow("None") << 0 << true;
    QTest::newRow("Even") << 1 << false;
    QTest::newRow("Odd") << 2 << false;
    QTest::newRow("Mark") << 3 << true;
    QTest::newRow("Space") << 4 << true;
}

void TransmitWindowTest::parityRule()
{
    QFETCH(int, parity);
    QFETCH(bool, repliesAllowed);
    Rig r;
    r.open();
    r.click("OptParity", repliesAllowed ? 2 : 3); // start from the opposite state
    QCOMPARE(r.repliesEnabled(), !repliesAllowed);
    r.click("OptParity", parity);
    QCOMPARE(r.repliesEnabled(), repliesAllowed);
    QCOMPARE(r.repliesDisabled(), !repliesAllowed);

    // Only a successful reopen applies the rule.
    r.port->refuseOpen(OpenFailureKind::NoSuchDevice);
    r.click("OptParity", repliesAllowed ? 1 : 0);
    QCOMPARE(r.repliesEnabled(), repliesAllowed);
    QCOMPARE(r.dialogs.texts(), QStringList{"COM 1: not available."});
}

void TransmitWindowTest::reselectingAnOptionDoesNothing()
{
    Rig r;
    r.open();
    const int opens = r.port->openCount();
    r.click("optBaud", 3); // already selected
    r.click("OptMode", 1);
    QCOMPARE(r.port->openCount(), opens);
    r.click("optBaud", 4);
    QCOMPARE(r.port->openCount(), opens + 1);
    QCOMPARE(r.config.BaudText, std::string("19200"));
}

void TransmitWindowTest::byKeyboardClosesPortAndFreesButtons()
{
    Rig r;
    r.open();
    r.click("OptParity", 2);
    QVERIFY(!r.port->isOpen()); // tried, then let go until an exchange needs it
    QVERIFY(r.repliesDisabled());

    r.click("OptMode", 0);
    QCOMPARE(r.config.TransferMode, TransferModes::ByKeyboard);
    QVERIFY(!r.port->isOpen());
    for (const char *frame : SerialOnlyFrames)
        QVERIFY2(!r.find(QString::fromLatin1(frame))->isEnabled(), frame);
    QVERIFY(r.find(QStringLiteral("FraMode"))->isEnabled());
    QVERIFY(r.repliesEnabled());

    // Back to RS232: the port opens again and odd parity takes the buttons away.
    r.click("OptMode", 1);
    QVERIFY(!r.port->isOpen()); // tried, then let go until an exchange needs it
    for (const char *frame : SerialOnlyFrames)
        QVERIFY2(r.find(QString::fromLatin1(frame))->isEnabled(), frame);
    QVERIFY(r.repliesDisabled());
    QVERIFY(r.dialogs.messages.isEmpty());
}

void TransmitWindowTest::openingRunsEachStoredChoiceOnce_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("baud");
    QTest::addColumn<QString>("framing");
    QTest::addColumn<int>("opens");
    QTest::addColumn<QStringList>("checked");
    // One open for the RS232 mode, one more per stored value that differs
    // from the window's initial choice.
    QTest::newRow("start-up values") << 1 << "9600" << "N,8,1" << 1
                                     << QStringList{"OptPort_0", "optBaud_3", "OptParity_0"};
    QTest::newRow("600 baud") << 1 << "600" << "N,8,1" << 2 << QStringList{"optBaud_5"};
    QTest::newRow("Com 3, 600 baud, even parity")
        << 3 << "600" << "E,8,1" << 4 << QStringList{"OptPort_2", "optBaud_5", "OptParity_1"};
    QTest::newRow("everything differs") << 4 << "19200" << "M,7,2" << 6
                                        << QStringList{"OptPort_3", "optBaud_4", "optDatabits_0", "optStopbits_1",
                                                       "OptParity_3"};
}

void TransmitWindowTest::openingRunsEachStoredChoiceOnce()
{
    QFETCH(int, port);
    QFETCH(QString, baud);
    QFETCH(QString, framing);
    QFETCH(int, opens);
    QFETCH(QStringList, checked);
    Rig r;
    r.config.PortNumber = std::int16_t(port);
    r.config.BaudText = baud.toStdString();
    r.config.FramingText = framing.toStdString();
    r.open();

    QCOMPARE(r.port->openCount(), opens);
    QVERIFY(!r.port->isOpen()); // tried, then let go until an exchange needs it
    QCOMPARE(r.port->lastPortNumber(), port);
    QCOMPARE(QString::fromStdString(r.config.SettingsString()), baud + QLatin1Char(',') + framing);
    QCOMPARE(r.port->lastSettings(), *parseSerialSettings(baud + QLatin1Char(',') + framing));
    for (const QString &name : checked)
        QVERIFY2(r.find<QAbstractButton>(name)->isChecked(), qPrintable(name));
    const bool oddOrEven = framing.startsWith(QLatin1Char('E')) || framing.startsWith(QLatin1Char('O'));
    QCOMPARE(r.repliesDisabled(), oddOrEven);
    QVERIFY(r.dialogs.messages.isEmpty());
}

void TransmitWindowTest::portNotAvailable()
{
    Rig r;
    r.open();
    r.port->refuseOpen(OpenFailureKind::NoSuchDevice);
    r.click("OptPort", 2);
    QCOMPARE(int(r.config.PortNumber), 3);
    QVERIFY(!r.port->isOpen());
    QCOMPARE(r.dialogs.messages.size(), 1);
    QCOMPARE(r.dialogs.messages[0].text, QStringLiteral("COM 3: not available."));
    QCOMPARE(r.dialogs.messages[0].title, QString::fromUtf8(DefaultCaption));
    QCOMPARE(r.dialogs.messages[0].buttons, MessageButtons::Ok);

    // Once the port is there, pressing a transfer button opens it again.
    r.port->allowOpen();
    r.answer(QByteArray(1, '\x06'));
    r.button("cmdTransmit")->click();
    QTRY_COMPARE(r.dialogs.messages.size(), 2);
    QCOMPARE(r.dialogs.messages[1].text, QStringLiteral("Download OK!"));
    QCOMPARE(r.port->lastPortNumber(), 3);
}

void TransmitWindowTest::openingWithUnavailableStoredPortSaysSoOnce()
{
    Rig r;
    r.config.PortNumber = 3;
    r.config.BaudText = "600";
    r.window = std::make_unique<TransmitWindow>(r.config, r.dialogs, r.portIo, fakePortInto(r.port));
    r.port->refuseOpen(OpenFailureKind::NoSuchDevice);
    r.window->show();
    QCOMPARE(r.dialogs.texts(), QStringList{"COM 3: not available."});
    QCOMPARE(int(r.config.PortNumber), 3);
    QVERIFY(!r.port->isOpen());
    // The remaining opening steps are skipped: the baud group keeps 9600.
    QVERIFY(r.option("optBaud", 3)->isChecked());
    QCOMPARE(r.config.BaudText, std::string("600"));
}

void TransmitWindowTest::openingInKeyboardModeWithAnotherPort()
{
    Rig r;
    r.config.TransferMode = TransferModes::ByKeyboard;
    r.config.PortNumber = 3;
    r.config.FramingText = "O,8,1";
    r.open();
    // The port choice ran (and opened Com 3) before keyboard mode closed it.
    QCOMPARE(r.port->lastPortNumber(), 3);
    QVERIFY(r.port->openCount() >= 1);
    QVERIFY(!r.port->isOpen());
    QVERIFY(r.option("OptPort", 2)->isChecked());
    QVERIFY(r.option("OptMode", 0)->isChecked());
    for (const char *frame : SerialOnlyFrames)
        QVERIFY2(!r.find(QString::fromLatin1(frame))->isEnabled(), frame);
    QVERIFY(r.repliesEnabled()); // whatever the parity
    QVERIFY(r.dialogs.messages.isEmpty());
}

// Closing the firmware-update window first is the main window's part
// (tst_service_tools); shown again, the window sets nothing up again.
void TransmitWindowTest::openingStepsRunOnFirstShowOnly()
{
    Rig r;
    r.open();
    QCOMPARE(r.port->openCount(), 1);
    r.window->hide();
    r.window->show();
    QCOMPARE(r.port->openCount(), 1);
    QVERIFY(!r.port->isOpen()); // tried, then let go until an exchange needs it
}

void TransmitWindowTest::storedValuesNoOptionStandsFor()
{
    // A configuration file may carry any number in these two fields.
    Rig r;
    r.config.PortNumber = 9;
    r.config.TransferMode = 2;
    r.window = std::make_unique<TransmitWindow>(r.config, r.dialogs, r.portIo, fakePortInto(r.port));
    r.port->refuseOpen(OpenFailureKind::NoSuchDevice);
    r.window->show();
    QCOMPARE(r.dialogs.texts(), QStringList{"COM 9: not available."});
    for (int i = 0; i < 4; ++i)
        QVERIFY(!r.option("OptPort", i)->isChecked());
    QVERIFY(r.option("OptMode", 1)->isChecked()); // anything but 0 is RS232

    r.port->allowOpen();
    r.click("OptPort", 0); // a change, though Com 1 was the initial choice
    QCOMPARE(int(r.config.PortNumber), 1);
    QVERIFY(!r.port->isOpen()); // tried, then let go until an exchange needs it
    QCOMPARE(r.port->lastPortNumber(), 1);
}

void TransmitWindowTest::buttonsDuringAndAfterTransfer_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("framing");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QStringList>("disabledDuring");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    const QStringList all{"cmdTransmit", "cmdReceive", "CmdVersion", "cmdClose"};
    const QByteArray ack(1, '\x06');
    QTest::newRow("download, no parity") << "cmdTransmit" << "N,8,1" << ack
                                         << QStringList{"cmdTransmit", "cmdClose"} << "CFG Message" << "Download OK!";
    // Download leaves the reply buttons as the parity rule set them.
    QTest::newRow("download, odd parity") << "cmdTransmit" << "O,8,1" << QByteArray("\x15")
                                          << all << "CFG Message" << "Download Failed!";
    QTest::newRow("download, silence") << "cmdTransmit" << "N,8,1" << QByteArray()
                                       << QStringList{"cmdTransmit", "cmdClose"} << "CFG Message" << "Time Out Error!";
    QTest::newRow("upload") << "cmdReceive" << "N,8,1" << acknowledged(0x01, patternBlock()) << all
                            << "Upload Message" << "   Upload OK!";
    QTest::newRow("upload, lone refusal byte") << "cmdReceive" << "M,8,1" << QByteArray("\x15") << all
                                               << "Upload Message" << "Time Out Error!";
    QTest::newRow("version") << "CmdVersion" << "S,8,1" << acknowledged(0x06, QByteArray(30, 'v')) << all
                             << "Upload Message" << QStringLiteral("Version Information:\r\n\r\n") + QString(30, 'v');
}

void TransmitWindowTest::buttonsDuringAndAfterTransfer()
{
    QFETCH(QString, button);
    QFETCH(QString, framing);
    QFETCH(QByteArray, reply);
    QFETCH(QStringList, disabledDuring);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    // Replies end the wait at once; only the time-outs need a short one.
    ScaledIntervals quick(text == QLatin1String("Time Out Error!") ? 0.02 : 1.0);
    Rig r;
    r.config.FramingText = framing.toStdString();
    r.config.block.fill(0x22);
    r.open();
    const QStringList all{"cmdTransmit", "cmdReceive", "CmdVersion", "cmdClose"};
    QStringList enabledBefore;
    for (const QString &name : all)
        if (r.find(name)->isEnabled())
            enabledBefore << name;
    if (!reply.isEmpty())
        r.answer(reply);

    r.find<QPushButton>(button)->click();
    // click() came back while the exchange waits: nothing blocks the window.
    QVERIFY(r.window->transferRunning());
    for (const QString &name : all)
        QVERIFY2(r.find(name)->isEnabled() == !disabledDuring.contains(name), qPrintable(name));
    QVERIFY(!r.find(QStringLiteral("FraParity"))->isEnabled());
    QVERIFY(r.dialogs.messages.isEmpty());
    // A button left enabled starts no second exchange on the same port.
    for (const QString &name : all)
        r.find<QPushButton>(name)->click();
    QCOMPARE(r.port->writes().size(), 1);

    QTRY_COMPARE(r.dialogs.messages.size(), 1);
    QCOMPARE(r.dialogs.messages[0].title, caption);
    QCOMPARE(r.dialogs.messages[0].text, text);
    QVERIFY(!r.window->transferRunning());
    QStringList enabledAfter;
    for (const QString &name : all)
        if (r.find(name)->isEnabled())
            enabledAfter << name;
    QCOMPARE(enabledAfter, enabledBefore);
    QVERIFY(r.find(QStringLiteral("FraParity"))->isEnabled());
    QVERIFY(!r.port->isOpen()); // tried, then let go until an exchange needs it
}

void TransmitWindowTest::serialVersionHidesAnEarlierProgressBar_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("barStays");
    QTest::newRow("version shown") << acknowledged(0x06, QByteArray(30, 'v'))
                                   << QStringLiteral("Version Information:\r\n\r\n") + QString(30, 'v') << false;
    QTest::newRow("refused") << QByteArray(36, '\x15') << "Send Command Failed!" << false;
    QTest::newRow("silence") << QByteArray() << "Time Out Error!" << false;
    QByteArray broken = acknowledged(0x06, QByteArray(30, 'v'));
    broken[35] = char(broken[35] ^ 0x01);
    QTest::newRow("bad frame stops at once") << broken << "Send Get Firmware Version's Command Failed!" << true;
}

// An earlier keyboard attempt may have left the progress bar up; the serial
// query's ending hides it, except the one that stops at once.
void TransmitWindowTest::serialVersionHidesAnEarlierProgressBar()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, text);
    QFETCH(bool, barStays);
    ScaledIntervals quick(0.02);
    Rig r;
    r.open();
    auto *bar = r.find<QProgressBar>(QStringLiteral("ProgressBar1"));
    bar->setVisible(true);
    if (!reply.isEmpty())
        r.answer(reply);
    r.button("CmdVersion")->click();
    QTRY_COMPARE(r.dialogs.messages.size(), 1);
    QCOMPARE(r.dialogs.messages[0].text, text);
    QCOMPARE(bar->isVisible(), barStays);
}

void TransmitWindowTest::lostPortEndsTransferAsTimeOut()
{
    Rig r;
    r.config.block.fill(0x33);
    const Block before = r.config.block;
    r.open();
    QObject::connect(r.port, &FakeTransport::requestWritten, r.port, [&r] {
        r.port->pushReply(acknowledged(0x01, patternBlock()).left(100));
        QMetaObject::invokeMethod(r.port, [&r] { r.port->loseConnection(); }, Qt::QueuedConnection);
    });
    r.button("cmdReceive")->click();
    QTRY_COMPARE(r.dialogs.messages.size(), 1);
    QCOMPARE(r.dialogs.messages[0].text, QStringLiteral("Time Out Error!"));
    QCOMPARE(r.dialogs.messages[0].title, QStringLiteral("Upload Message"));
    QVERIFY(!r.dialogs.messages[0].detail.isEmpty());
    QVERIFY(!r.port->isOpen());
    QVERIFY(r.config.block == before);
    QVERIFY(r.repliesEnabled() && r.button("cmdTransmit")->isEnabled() && r.button("cmdClose")->isEnabled());
}

void TransmitWindowTest::closingWindowMidTransfer()
{
    ScaledIntervals quick(0.01);
    Rig r;
    r.config.block.fill(0x44);
    const Block before = r.config.block;
    r.open();
    r.button("cmdReceive")->click();
    QVERIFY(r.window->transferRunning());
    r.window->close();
    QVERIFY(!r.window->transferRunning());
    QVERIFY(!r.port->isOpen());
    r.port->pushReply(acknowledged(0x01, patternBlock())); // too late: the port is closed
    QTest::qWait(int(scaledInterval(Interval::UploadReply).count()) * 4);
    QVERIFY(r.dialogs.messages.isEmpty());
    QVERIFY(r.config.block == before);
    r.window.reset();
    QVERIFY(r.port.isNull());
}

void TransmitWindowTest::closingFromMainWindowMidTransfer_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("menu toggle") << "mnuConfigTransmit";
    QTest::newRow("toolbar") << "transmit";
    QTest::newRow("opening a page") << "mnuConfigComm";
    QTest::newRow("window frame") << "frame";
    QTest::newRow("Exit") << "mnuFileExit";
}

void TransmitWindowTest::closingFromMainWindowMidTransfer()
{
    QFETCH(QString, how);
    ScaledIntervals quick(0.01);
    ShellRig s;
    const Block before = s.config.block;
    s.main->action(QStringLiteral("mnuConfigTransmit"))->trigger();
    QVERIFY(s.transmit && s.port && !s.port->isOpen());
    s.transmit->findChild<QPushButton *>(QStringLiteral("cmdReceive"))->click();
    QVERIFY(s.transmit->transferRunning());
    const qsizetype messagesBefore = s.dialogs.messages.size();

    if (how == QLatin1String("frame")) {
        s.main->mdiArea()->subWindowList().constFirst()->close();
    } else {
        if (how == QLatin1String("mnuFileExit"))
            s.dialogs.answers.enqueue(Answer::No); // "Do you want to save your file?"
        s.main->action(how)->trigger();
    }
    QCOMPARE(int(s.config.ActivePage), how == QLatin1String("mnuConfigComm") ? int(Page::Communication) : 0);
    QVERIFY(!s.port || !s.port->isOpen());
    QTRY_VERIFY(s.transmit.isNull()); // the frame deletes it later
    QVERIFY(s.port.isNull());
    QTest::qWait(int(scaledInterval(Interval::UploadReply).count()) * 4);
    for (qsizetype i = messagesBefore; i < s.dialogs.messages.size(); ++i)
        QVERIFY2(s.dialogs.messages[i].title != QLatin1String("Upload Message"), qPrintable(s.dialogs.messages[i].text));
    QVERIFY(s.config.block == before);
}

void TransmitWindowTest::closeButtonClosesPortAndWindow()
{
    ShellRig s;
    s.main->action(QStringLiteral("mnuConfigTransmit"))->trigger();
    QVERIFY(s.port && !s.port->isOpen());
    s.transmit->findChild<QPushButton *>(QStringLiteral("cmdClose"))->click();
    QCOMPARE(int(s.config.ActivePage), 0);
    QVERIFY(s.main->action(QStringLiteral("mnuConfigDefault"))->isEnabled());
    QTRY_VERIFY(s.transmit.isNull());
    QVERIFY(s.main->mdiArea()->subWindowList().isEmpty());
    QVERIFY(s.dialogs.messages.isEmpty());
}

QTEST_MAIN(TransmitWindowTest)
#include "tst_transmit_window.moc"
