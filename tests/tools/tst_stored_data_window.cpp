// The stored-data window over the fake port: the request frames and their
// confirmations, the group-number checks, every outcome of a read (records
// kept, checks, a reply cut short, time-outs), the size listing, the free
// space, clearing, the port let go after every request, and closing mid-request.

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "in_process_decoder.h"
#include "link/protocol/frame.h"
#include "model/configuration.h"
#include "support/scripted_dialogs.h"
#include "tools/stored_data_window.h"

using namespace q51;
using test::ScaledIntervals;
using test::ScriptedDialogs;

namespace {

QByteArray Xored(QByteArray reply)
{
    std::uint8_t x = 0;
    for (qsizetype i = 1; i < reply.size(); ++i)
        x ^= std::uint8_t(reply[i]);
    return reply.append(char(x));
}

QByteArray Record(const QByteArray &data)
{
    std::uint8_t x = 0;
    for (const char c : data)
        x ^= std::uint8_t(c);
    return char(data.size() + 2) + data + char(x);
}

// ACK, 02 61, the length, the records, ETX, BCC.
QByteArray ReadReply(const QByteArray &records)
{
    const int length = int(records.size()) - 1;
    return Xored(QByteArray::fromHex("060261") + char(length / 256) + char(length % 256) + records + '\x03');
}

const QByteArray Example = QByteArray::fromHex("0602610006044142030343430361");

struct Rig {
    Configuration config;
    ScriptedDialogs dialogs;
    QPointer<FakeTransport> port;
    std::unique_ptr<StoredDataWindow> window;
    // The decoder's answer to every request: chunks, each after its pause.
    QList<QPair<int, QByteArray>> reply;

    Rig()
    {
        window = std::make_unique<StoredDataWindow>(config, dialogs, test::fakePortInto(port));
        QObject::connect(port, &FakeTransport::requestWritten, port, [this] {
            int at = 0;
            for (const auto &[pause, chunk] : reply) {
                at += pause;
                QTimer::singleShot(at, port, [p = port, c = chunk] { p->pushReply(c); });
            }
        });
        window->show();
    }

    void answer(const QByteArray &whole) { reply = {{0, whole}}; }

    template <typename T = QWidget>
    T *find(const char *name) const { return window->findChild<T *>(QString::fromLatin1(name)); }
    QPushButton *button(const char *name) const { return find<QPushButton>(name); }
    QPlainTextEdit *memory() const { return find<QPlainTextEdit>("TxtMemory"); }

    void chooseRange(const QString &start, const QString &end)
    {
        find<QAbstractButton>("OptRead_1")->click();
        find<QLineEdit>("TxtStartNO")->setText(start);
        find<QLineEdit>("TxtEndNo")->setText(end);
        dialogs.clear(); // the field checks are tested on their own
    }

    // Runs a request and waits until it has ended.
    bool run(const char *name, qsizetype messagesAfter = 2)
    {
        button(name)->click();
        return QTest::qWaitFor([&] { return !window->requestRunning() && dialogs.messages.size() >= messagesAfter; },
                               20000);
    }
};

const char *const FiveButtons[] = {"CmdRead", "CmdSize", "CmdFree", "CmdClear", "CmdClose"};

} // namespace

class StoredDataWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() { setIntervalScale(0.01); }
    void cleanup() { setIntervalScale(1.0); }

    void controlsAndOpening();
    void requestFrames_data();
    void requestFrames();
    void cancelSendsNothing();
    void rangeChecks_data();
    void rangeChecks();
    void fieldChecks();
    void readOutcomes_data();
    void readOutcomes();
    void readInChunks();
    void readTimeOuts_data();
    void readTimeOuts();
    void sizes_data();
    void sizes();
    void freeSpace_data();
    void freeSpace();
    void clear_data();
    void clear();
    void portNotAvailable();
    void closingMidReadIsSilent();
};

void StoredDataWindowTest::controlsAndOpening()
{
    Rig rig;
    QCOMPARE(rig.window->objectName(), QStringLiteral("Memory"));
    QCOMPARE(rig.find<QLabel>("Label1")->text(), QStringLiteral("Memory Managerment"));
    QCOMPARE(rig.find<QAbstractButton>("OptRead_0")->text(), QStringLiteral("All Saved Groups Data"));
    QCOMPARE(rig.find<QAbstractButton>("OptRead_1")->text(), QStringLiteral("Data from Start Group to End Group"));
    QCOMPARE(rig.find<QLabel>("Label2")->text(), QStringLiteral("Start Group NO :"));
    QCOMPARE(rig.find<QLabel>("Label3")->text(), QStringLiteral("End Group NO :"));
    const QStringList captions{"Read Group Data", "Get Size Of Groups", "Get Free Space", "Clear Data", "Close"};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(rig.button(FiveButtons[i])->text(), captions[i]);
    QVERIFY(!rig.port->isOpen());
    QVERIFY(rig.dialogs.messages.isEmpty());

    const char *const rangeControls[] = {"Label2", "Label3", "TxtStartNO", "TxtEndNo"};
    QVERIFY(rig.find<QAbstractButton>("OptRead_0")->isChecked());
    for (const char *name : rangeControls)
        QVERIFY2(!rig.find(name)->isEnabled(), name);
    rig.find<QAbstractButton>("OptRead_1")->click();
    for (const char *name : rangeControls)
        QVERIFY2(rig.find(name)->isEnabled(), name);
    rig.find<QAbstractButton>("OptRead_0")->click();
    for (const char *name : rangeControls)
        QVERIFY2(!rig.find(name)->isEnabled(), name);

    rig.find<QLineEdit>("TxtStartNO")->setText(QStringLiteral("12"));
    rig.window->hide();
    rig.window->show(); // shown again: no second opening empties the box
    QCOMPARE(rig.find<QLineEdit>("TxtStartNO")->text(), QStringLiteral("12"));
}

void StoredDataWindowTest::requestFrames_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("start"); // empty: all groups
    QTest::addColumn<QString>("end");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("confirmation");
    QTest::addColumn<QString>("title");
    QTest::newRow("read all") << "CmdRead" << "" << "" << QByteArray("02c003c1") << "This will read saved group data!"
                              << "Read Memory Message";
    QTest::newRow("read 1..300") << "CmdRead" << "1" << "300" << QByteArray("0241030001012c036f")
                                 << "This will read saved group data!" << "Read Memory Message";
    QTest::newRow("clear all") << "CmdClear" << "" << "" << QByteArray("02c403c5")
                               << "This Will Clear Saved Group Data!" << "Clear Memory Message";
    QTest::newRow("clear 0..2000") << "CmdClear" << "0" << "2000" << QByteArray("024003000007d00395")
                                   << "This Will Clear Saved Group Data!" << "Clear Memory Message";
    QTest::newRow("sizes ignore the range") << "CmdSize" << "3" << "4" << QByteArray("02c303c2")
                                            << "This will read size of saved group data!" << "Read Memory Message";
    QTest::newRow("free space ignores the range") << "CmdFree" << "3" << "4" << QByteArray("02c203c3")
                                                  << "This Will Read Free Group Space!" << "Read Free Memory Message";
}

void StoredDataWindowTest::requestFrames()
{
    QFETCH(QString, button);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QByteArray, frame);
    QFETCH(QString, confirmation);
    QFETCH(QString, title);
    Rig rig;
    rig.config.PortNumber = 2;
    rig.config.BaudText = "4800";
    if (!start.isEmpty())
        rig.chooseRange(start, end);
    rig.button(button.toLatin1().constData())->click();
    QCOMPARE(rig.port->writes().size(), 1);
    QCOMPARE(rig.port->writes()[0].toHex(), frame);
    QCOMPARE(rig.port->lastPortNumber(), 2);
    QCOMPARE(rig.port->lastSettings().baudRate, 4800);
    QCOMPARE(rig.dialogs.messages[0].title, title);
    QCOMPARE(rig.dialogs.messages[0].text, confirmation);
    QCOMPARE(rig.dialogs.messages[0].buttons, MessageButtons::OkCancel);
    QTRY_VERIFY(!rig.window->requestRunning()); // times out: no decoder here
}

void StoredDataWindowTest::cancelSendsNothing()
{
    Rig rig;
    for (const char *name : {"CmdRead", "CmdSize", "CmdFree", "CmdClear"}) {
        rig.dialogs.answers.enqueue(Answer::Cancel);
        rig.button(name)->click();
    }
    QCOMPARE(rig.dialogs.messages.size(), 4);
    QCOMPARE(rig.port->openCount(), 0);
    QVERIFY(rig.port->writes().isEmpty());
}

void StoredDataWindowTest::rangeChecks_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    const QString read = QStringLiteral("Read Memory Message");
    const QString startInvalid = QStringLiteral("Your Input For Start Group No Is Invalid!");
    QTest::newRow("start 2001") << "CmdRead" << "2001" << "2001" << startInvalid << read;
    QTest::newRow("negative start") << "CmdRead" << "-1" << "5" << startInvalid << read;
    QTest::newRow("empty start") << "CmdRead" << "" << "5" << startInvalid << read;
    QTest::newRow("start not a number") << "CmdRead" << "abc" << "5" << startInvalid << read;
    QTest::newRow("decimal start") << "CmdRead" << "1.5" << "5" << startInvalid << read;
    QTest::newRow("bad end") << "CmdRead" << "5" << "x" << "Your Input For End Group No Is Invalid!" << read;
    QTest::newRow("end before start") << "CmdRead" << "10" << "5"
                                      << "End Group NO Must Be Larger Than Or Equal To Start Group NO!" << read;
    QTest::newRow("clear: end before start") << "CmdClear" << "10" << "5"
                                             << "End Group NO Must Be Larger Than Or Equal To Start Group NO!"
                                             << "Clear Memory Message";
}

void StoredDataWindowTest::rangeChecks()
{
    QFETCH(QString, button);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, text);
    QFETCH(QString, title);
    Rig rig;
    rig.chooseRange(start, end);
    rig.button(button.toLatin1().constData())->click();
    QCOMPARE(rig.dialogs.messages.size(), 2);
    QCOMPARE(rig.dialogs.messages[1].title, title);
    QCOMPARE(rig.dialogs.messages[1].text, text);
    QVERIFY(rig.port->writes().isEmpty());
    QVERIFY(!rig.port->isOpen());
    QVERIFY(!rig.window->requestRunning());
    for (const char *name : FiveButtons)
        QVERIFY2(rig.button(name)->isEnabled(), name);
}

void StoredDataWindowTest::fieldChecks()
{
    Rig rig;
    rig.find<QAbstractButton>("OptRead_1")->click();
    QLineEdit *end = rig.find<QLineEdit>("TxtEndNo");
    QTest::keyClicks(end, "2001"); // 2, 20, 200 pass; 2001 does not
    QCOMPARE(rig.dialogs.texts(), QStringList{"You Must Input A Number Between 0-2000"});
    QCOMPARE(rig.dialogs.messages[0].title, QStringLiteral("Input Message"));
    QCOMPARE(end->text(), QStringLiteral("2001")); // the text stays
    end->setText(QStringLiteral("15"));
    QCOMPARE(rig.dialogs.messages.size(), 1);

    // The start box is checked when it loses the focus.
    QApplication::setActiveWindow(rig.window.get());
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
    QLineEdit *start = rig.find<QLineEdit>("TxtStartNO");
    start->setFocus();
    QTest::keyClicks(start, "-3");
    QCOMPARE(rig.dialogs.messages.size(), 1);
    end->setFocus();
    QCOMPARE(rig.dialogs.messages.size(), 2);
    QCOMPARE(rig.dialogs.messages[1].text, QStringLiteral("You Must Input A Number Between 0-2000"));
    start->setFocus();
    start->setText(QStringLiteral("12"));
    end->setFocus();
    QCOMPARE(rig.dialogs.messages.size(), 2);
}

void StoredDataWindowTest::readOutcomes_data()
{
    QTest::addColumn<QString>("start"); // empty: all groups
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("text");
    const QString before = QStringLiteral("earlier text");
    QTest::newRow("two groups") << "" << Example << "Group 0 : ABGroup 1 : C" << "Read Saved Data OK!";
    QTest::newRow("range from 7") << "7" << Example << "Group 7 : ABGroup 8 : C" << "Read Saved Data OK!";
    QByteArray spoilt = Example;
    spoilt[13] = '\x62';
    QTest::newRow("frame check fails after the text") << "" << spoilt << "Group 0 : ABGroup 1 : C"
                                                      << "CheckSum Error!";
    QByteArray badGroup = Record("C");
    badGroup[2] = 'D';
    QTest::newRow("group check fails: earlier records kept")
        << "" << ReadReply(Record("AB") + badGroup + Record("EF")) << "Group 0 : AB" << "Group 1 Data CheckSum Error!";
    QTest::newRow("group length 0") << "" << ReadReply(Record("AB") + QByteArray::fromHex("00414203"))
                                    << "Group 0 : AB" << "Group 1 Data Length Invalid!";
    QTest::newRow("no data in the range") << "" << Xored(QByteArray::fromHex("060261ffff03")) << before
                                          << "There Is No Data In The Range!";
    QByteArray tooLong = Example;
    tooLong[3] = '\x75';
    QTest::newRow("length high byte 0x75") << "" << tooLong << before << "Data Length Invalid! ";
    QByteArray refused = Example;
    refused[0] = '\x15';
    QTest::newRow("not acknowledged") << "" << refused << before << "Send Read Saved Data Command Failed!";
    QTest::newRow("six bytes") << "" << Example.left(6) << before << "No Send Command Sequence!";
    QByteArray header = Example;
    header[2] = '\x62';
    QTest::newRow("wrong reply command") << "" << header << before << "Command Error!";
}

void StoredDataWindowTest::readOutcomes()
{
    QFETCH(QString, start);
    QFETCH(QByteArray, reply);
    QFETCH(QString, shown);
    QFETCH(QString, text);
    Rig rig;
    rig.memory()->setPlainText(QStringLiteral("earlier text"));
    if (!start.isEmpty())
        rig.chooseRange(start, QStringLiteral("2000"));
    rig.answer(reply);
    QVERIFY(rig.run("CmdRead"));
    QCOMPARE(rig.memory()->toPlainText(), shown);
    QCOMPARE(rig.dialogs.messages.size(), 2);
    QCOMPARE(rig.dialogs.messages[1].title, QStringLiteral("Read Memory Message"));
    QCOMPARE(rig.dialogs.messages[1].text, text);
    QVERIFY(!rig.port->isOpen());
    for (const char *name : FiveButtons)
        QVERIFY2(rig.button(name)->isEnabled(), name);
}

void StoredDataWindowTest::readInChunks()
{
    ScaledIntervals real(1.0); // the 100 ms settling time sees only the first chunk
    Rig rig;
    QByteArray records;
    QString shown;
    for (int i = 0; i < 30; ++i) {
        const QByteArray data = QByteArray("scan-") + QByteArray::number(i * 37);
        records += Record(data);
        shown += QStringLiteral("Group %1 : %2").arg(i).arg(QString::fromLatin1(data));
    }
    const QByteArray reply = ReadReply(records);
    rig.reply = {{0, reply.left(9)}};
    for (qsizetype at = 9; at < reply.size(); at += 50)
        rig.reply.append({150, reply.mid(at, 50)});
    rig.button("CmdRead")->click();
    QVERIFY(QTest::qWaitFor([&rig] { return !rig.button("CmdRead")->isEnabled(); }, 1000));
    for (const char *name : FiveButtons)
        QVERIFY2(!rig.button(name)->isEnabled(), name);
    QVERIFY(QTest::qWaitFor([&rig] { return rig.dialogs.messages.size() == 2; }, 20000));
    QCOMPARE(rig.dialogs.messages[1].text, QStringLiteral("Read Saved Data OK!"));
    QCOMPARE(rig.memory()->toPlainText(), shown);
    QCOMPARE(rig.find<QProgressBar>("ProgressBar1")->maximum(), int(records.size()));
    QCOMPARE(rig.find<QProgressBar>("ProgressBar1")->value(), int(records.size()));
}

void StoredDataWindowTest::readTimeOuts_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("text");
    QTest::newRow("no reply") << QByteArray() << "earlier text" << "Time Out Error!";
    QTest::newRow("reply stops after the first record")
        << ReadReply(Record("AB") + Record("CD")).left(9) << "Group 0 : AB"
        << "Received Data Is Less Than Total Length!";
}

void StoredDataWindowTest::readTimeOuts()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, shown);
    QFETCH(QString, text);
    Rig rig;
    rig.memory()->setPlainText(QStringLiteral("earlier text"));
    if (!reply.isEmpty())
        rig.answer(reply);
    QVERIFY(rig.run("CmdRead"));
    QCOMPARE(rig.dialogs.messages[1].text, text);
    QCOMPARE(rig.memory()->toPlainText(), shown);
    QVERIFY(!rig.port->isOpen());
}

void StoredDataWindowTest::sizes_data()
{
    QTest::addColumn<QByteArray>("sizes");
    QTest::addColumn<bool>("spoil");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("text"); // empty: no message
    QTest::newRow("12, 30, 0") << QByteArray::fromHex("0c1e") << false << "Group 0 : 12\tGroup 1 : 30\t" << "";
    QTest::newRow("five a line") << QByteArray::fromHex("01020304050607") << false
                                 << "Group 0 : 1\tGroup 1 : 2\tGroup 2 : 3\tGroup 3 : 4\tGroup 4 : 5\n"
                                    "Group 5 : 6\tGroup 6 : 7\t"
                                 << "";
    QTest::newRow("check sum error keeps the listing") << QByteArray::fromHex("0c1e") << true
                                                      << "Group 0 : 12\tGroup 1 : 30\t" << "Check Sum Error!";
}

void StoredDataWindowTest::sizes()
{
    QFETCH(QByteArray, sizes);
    QFETCH(bool, spoil);
    QFETCH(QString, shown);
    QFETCH(QString, text);
    Rig rig;
    QByteArray reply = Xored(QByteArray::fromHex("06026307cd") + sizes.leftJustified(1998, '\0') + '\x03');
    if (spoil)
        reply[2004] = char(reply[2004] ^ 0x40);
    // In pieces, as a slow line delivers it.
    for (qsizetype at = 0; at < reply.size(); at += 700)
        rig.reply.append({10, reply.mid(at, 700)});
    QVERIFY(rig.run("CmdSize", text.isEmpty() ? 1 : 2));
    QTRY_VERIFY(!rig.window->requestRunning());
    QCOMPARE(rig.memory()->toPlainText(), shown);
    QCOMPARE(rig.dialogs.texts().mid(1), text.isEmpty() ? QStringList() : QStringList{text});
    if (!text.isEmpty())
        QCOMPARE(rig.dialogs.messages[1].title, QStringLiteral("Get Size Message"));
    QCOMPARE(rig.find<QProgressBar>("ProgressBar1")->maximum(), 2005);
    QCOMPARE(rig.find<QProgressBar>("ProgressBar1")->value(), 2005);
    QVERIFY(!rig.port->isOpen()); // let go, for the transfer window and q51ctl
}

void StoredDataWindowTest::freeSpace_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("text");
    QTest::newRow("none reads as 1") << Xored(QByteArray::fromHex("06026203000000000" "3")) << "Free Group Space: 1"
                                     << "";
    QTest::newRow("500") << Xored(QByteArray::fromHex("06026203000001f303")) << "Free Group Space: 500" << "";
    QTest::newRow("refused") << Xored(QByteArray::fromHex("15026203000001f303")) << "earlier text"
                             << "Send Read Free Group Space Command Failed!";
    QTest::newRow("no reply") << QByteArray() << "earlier text" << "Time Out Error!";
}

void StoredDataWindowTest::freeSpace()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, shown);
    QFETCH(QString, text);
    Rig rig;
    rig.memory()->setPlainText(QStringLiteral("earlier text"));
    if (!reply.isEmpty())
        rig.answer(reply);
    rig.button("CmdFree")->click();
    QVERIFY(QTest::qWaitFor([&rig] { return !rig.window->requestRunning(); }, 20000));
    QCOMPARE(rig.memory()->toPlainText(), shown);
    QCOMPARE(rig.dialogs.texts().mid(1), text.isEmpty() ? QStringList() : QStringList{text});
    if (!text.isEmpty())
        QCOMPARE(rig.dialogs.messages[1].title, QStringLiteral("Read Free Memory Message"));
    QVERIFY(!rig.port->isOpen());
}

void StoredDataWindowTest::clear_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("text");
    QTest::newRow("accepted") << QByteArray::fromHex("06") << "Send Clear Group Data Command OK!";
    QTest::newRow("refused") << QByteArray::fromHex("15") << "Send Command Failed!";
    QTest::newRow("no reply") << QByteArray() << "Time Out Error!";
}

void StoredDataWindowTest::clear()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, text);
    Rig rig;
    if (!reply.isEmpty())
        rig.answer(reply);
    QVERIFY(rig.run("CmdClear"));
    QCOMPARE(rig.dialogs.messages[1].title, QStringLiteral("Clear Memory Message"));
    QCOMPARE(rig.dialogs.messages[1].text, text);
    QVERIFY(!rig.port->isOpen());
}

void StoredDataWindowTest::portNotAvailable()
{
    Rig rig;
    rig.config.PortNumber = 4;
    rig.port->refuseOpen(OpenFailureKind::NoSuchDevice);
    rig.button("CmdRead")->click();
    QCOMPARE(rig.dialogs.texts(), (QStringList{"This will read saved group data!", "COM 4: not available."}));
    QVERIFY(rig.port->writes().isEmpty());
    QVERIFY(!rig.window->requestRunning());
    QVERIFY(rig.button("CmdRead")->isEnabled());
}

void StoredDataWindowTest::closingMidReadIsSilent()
{
    Rig rig;
    rig.answer(ReadReply(Record("AB") + Record("CD")).left(9));
    rig.button("CmdRead")->click();
    QVERIFY(QTest::qWaitFor([&rig] { return !rig.memory()->toPlainText().isEmpty(); }, 5000));
    QVERIFY(rig.window->requestRunning());
    rig.window->close();
    QVERIFY(!rig.window->requestRunning());
    QVERIFY(!rig.port->isOpen());
    QTest::qWait(int(scaledInterval(Interval::GroupDataRestFirst).count()) * 2);
    QCOMPARE(rig.dialogs.messages.size(), 1);
}

QTEST_MAIN(StoredDataWindowTest)
#include "tst_stored_data_window.moc"
