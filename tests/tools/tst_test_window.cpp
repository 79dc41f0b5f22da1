// The keyboard and RS232 test window over the fake port: batches shown with
// control bytes spelled out, the line-break option, the two counters that
// empty the boxes, the clear buttons and focus rules, a port that cannot be
// opened, and the port closed with the window.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "in_process_decoder.h"
#include "link/spelled_bytes.h"
#include "model/configuration.h"
#include "support/scripted_dialogs.h"
#include "tools/test_window.h"

using namespace q51;
using test::ScaledIntervals;
using test::ScriptedDialogs;

namespace {

struct Rig {
    Configuration config;
    ScriptedDialogs dialogs;
    QPointer<FakeTransport> port;
    std::unique_ptr<TestWindow> window;

    explicit Rig(int portNumber = 1, bool portFails = false)
    {
        config.PortNumber = std::int16_t(portNumber);
        window = std::make_unique<TestWindow>(config, dialogs, test::fakePortInto(port));
        if (portFails)
            port->refuseOpen(OpenFailureKind::NoSuchDevice);
        window->show();
    }

    template <typename T = QWidget>
    T *find(const char *name) const { return window->findChild<T *>(QString::fromLatin1(name)); }
    QPlainTextEdit *keyboard() const { return find<QPlainTextEdit>("txtKB"); }
    QPlainTextEdit *rs232() const { return find<QPlainTextEdit>("TxtRS232"); }

    // Sends one batch and waits until it is shown.
    bool receive(const QByteArray &bytes)
    {
        const QString before = rs232()->toPlainText();
        port->pushReply(bytes);
        return QTest::qWaitFor([&] { return rs232()->toPlainText() != before; }, 5000);
    }
};

} // namespace

class TestWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() { setIntervalScale(0.05); }
    void cleanup() { setIntervalScale(1.0); }

    void spelledOut_data();
    void spelledOut();
    void controlsAndPortLine();
    void batchIsOneLine_data();
    void batchIsOneLine();
    void rs232BoxEmptiedAtThe42ndBatch();
    void withoutLineBreaksTheBoxIsNeverEmptied();
    void keyboardBoxEmptiedAfter41EnterKeys();
    void clearButtonsAndFocus();
    void portNotAvailableLeavesTheKeyboardBox();
    void closingClosesThePort();
};

void TestWindowTest::spelledOut_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("scan with terminator") << QByteArray::fromHex("0241420d0a") << "<STX>AB<CR><LF>";
    QTest::newRow("every control name")
        << QByteArray::fromHex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f")
        << "<NUL><SOH><STX><ETX><EOT><ENQ><ACK><BEL><BS><HT><LF><VT><FF><CR><SO><SI>"
           "<DLE><DC1><DC2><DC3><DC4><NAK><SYN><ETB><CAN><EM><SUB><ESC><FS><GS><RS><US>";
    QTest::newRow("space and DEL are characters") << QByteArray::fromHex("207f") << QStringLiteral(" \x7f");
    QTest::newRow("single-byte characters") << QByteArray::fromHex("e9801f") << QStringLiteral("é€<US>");
}

void TestWindowTest::spelledOut()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QCOMPARE(SpellOutBytes(bytes), shown);
}

void TestWindowTest::controlsAndPortLine()
{
    Rig rig(2);
    rig.config.BaudText = "4800"; // read when the window opened, not later
    QCOMPARE(rig.window->objectName(), QStringLiteral("DDT"));
    QCOMPARE(rig.window->windowTitle(), QStringLiteral("Keyboard_RS232 Test"));
    QCOMPARE(rig.find<QLabel>("LblPort")->text(), QStringLiteral("COM 2 :  9600,N,8,1"));
    QCOMPARE(rig.find<QLabel>("Label2")->text(), QStringLiteral("Keyboard"));
    QCOMPARE(rig.find<QLabel>("Label4")->text(), QStringLiteral("RS232"));
    QCOMPARE(rig.find<QPushButton>("Command1")->text(), QStringLiteral("Clear"));
    QCOMPARE(rig.find<QPushButton>("Command2")->text(), QStringLiteral("Clear"));
    QCOMPARE(rig.find<QCheckBox>("Check1")->text(), QStringLiteral("CR+LF Enable"));
    QVERIFY(rig.find<QCheckBox>("Check1")->isChecked());
    QVERIFY(rig.rs232()->isReadOnly());
    QVERIFY(!rig.keyboard()->isReadOnly());
    QVERIFY(rig.port->isOpen());
    QCOMPARE(rig.port->lastSettings(), (SerialSettings{9600, 'N', 8, 1}));
    QCOMPARE(rig.port->lastPortNumber(), 2);
    QVERIFY(rig.dialogs.messages.isEmpty());
}

void TestWindowTest::batchIsOneLine_data()
{
    QTest::addColumn<bool>("lineBreaks");
    QTest::addColumn<QString>("shown");
    QTest::newRow("CR+LF enabled") << true << "<STX>AB<CR><LF>\n";
    QTest::newRow("CR+LF disabled") << false << "<STX>AB<CR><LF>";
}

void TestWindowTest::batchIsOneLine()
{
    QFETCH(bool, lineBreaks);
    QFETCH(QString, shown);
    ScaledIntervals real(1.0); // 200 ms: the pieces below arrive well within it
    Rig rig;
    if (!lineBreaks)
        rig.find<QCheckBox>("Check1")->click();
    // A scan that arrives in pieces is one batch.
    rig.port->pushReply(QByteArray::fromHex("0241"));
    rig.port->pushReply(QByteArray::fromHex("42"));
    rig.port->pushReply(QByteArray::fromHex("0d0a"));
    QVERIFY(QTest::qWaitFor([&rig] { return !rig.rs232()->toPlainText().isEmpty(); }, 5000));
    QTest::qWait(50);
    QCOMPARE(rig.rs232()->toPlainText(), shown);
}

void TestWindowTest::rs232BoxEmptiedAtThe42ndBatch()
{
    Rig rig;
    for (int i = 1; i <= 41; ++i)
        QVERIFY(rig.receive(QByteArray("scan") + QByteArray::number(i)));
    QCOMPARE(rig.rs232()->toPlainText().count(QLatin1Char('\n')), 41);
    QVERIFY(rig.rs232()->toPlainText().startsWith(QLatin1String("scan1\n")));
    QVERIFY(rig.receive("scan42"));
    QCOMPARE(rig.rs232()->toPlainText(), QStringLiteral("scan42\n"));
}

void TestWindowTest::withoutLineBreaksTheBoxIsNeverEmptied()
{
    Rig rig;
    rig.find<QCheckBox>("Check1")->click();
    QString expected;
    for (int i = 1; i <= 45; ++i) {
        QVERIFY(rig.receive(QByteArray("s") + QByteArray::number(i)));
        expected += QStringLiteral("s%1").arg(i);
    }
    QCOMPARE(rig.rs232()->toPlainText(), expected);
}

void TestWindowTest::keyboardBoxEmptiedAfter41EnterKeys()
{
    Rig rig;
    QPlainTextEdit *box = rig.keyboard();
    for (int i = 0; i < 40; ++i) {
        QTest::keyClick(box, Qt::Key_A);
        QTest::keyClick(box, i % 2 ? Qt::Key_Return : Qt::Key_Enter);
    }
    QTest::keyClick(box, Qt::Key_B); // after 40: nothing happens yet
    QCOMPARE(box->toPlainText().count(QLatin1Char('\n')), 40);
    QTest::keyClick(box, Qt::Key_Return); // the 41st
    QCOMPARE(box->toPlainText().count(QLatin1Char('\n')), 41);
    QTest::keyClick(box, Qt::Key_C); // emptied first, then entered
    QCOMPARE(box->toPlainText(), QStringLiteral("c"));
}

void TestWindowTest::clearButtonsAndFocus()
{
    Rig rig;
    QApplication::setActiveWindow(rig.window.get());
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
    QVERIFY(rig.receive("abc"));
    QTest::keyClicks(rig.keyboard(), "typed");

    rig.find<QCheckBox>("Check1")->setFocus();
    rig.rs232()->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(rig.keyboard()));

    rig.find<QPushButton>("Command1")->setFocus();
    rig.find<QPushButton>("Command1")->click();
    QVERIFY(rig.rs232()->toPlainText().isEmpty());
    QCOMPARE(rig.keyboard()->toPlainText(), QStringLiteral("typed"));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(rig.keyboard()));

    rig.find<QPushButton>("Command2")->setFocus();
    rig.find<QPushButton>("Command2")->click();
    QVERIFY(rig.keyboard()->toPlainText().isEmpty());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(rig.keyboard()));

    rig.find<QCheckBox>("Check1")->setFocus();
    rig.find<QCheckBox>("Check1")->click();
    QVERIFY(!rig.find<QCheckBox>("Check1")->isChecked());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(rig.keyboard()));
}

void TestWindowTest::portNotAvailableLeavesTheKeyboardBox()
{
    Rig rig(3, true);
    QCOMPARE(rig.dialogs.texts(), QStringList{"COM 3: not available."});
    QVERIFY(!rig.port->isOpen());
    QVERIFY(rig.window->isVisible());
    QTest::keyClicks(rig.keyboard(), "still here");
    QCOMPARE(rig.keyboard()->toPlainText(), QStringLiteral("still here"));
}

void TestWindowTest::closingClosesThePort()
{
    Rig rig;
    QVERIFY(rig.port->isOpen());
    rig.port->pushReply("late");
    rig.window->reject();
    QVERIFY(!rig.port->isOpen());
    QTest::qWait(50);
    QVERIFY(rig.rs232()->toPlainText().isEmpty());
}

QTEST_MAIN(TestWindowTest)
#include "tst_test_window.moc"
