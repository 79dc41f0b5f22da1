// The service windows end to end: the real serial port on a pseudo-terminal
// against the simulator program. A firmware image written page by page and
// kept by the decoder; the decoder's refusals; stored groups read in chunks,
// by range, sized, counted and cleared; the read's time-outs; and the port
// let go after every request, so the transfer window opened next finds it.

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QAbstractButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "link/firmware_update.h"
#include "link/intervals.h"
#include "link/portio/port_io.h"
#include "link/serial_port_transport.h"
#include "model/configuration.h"
#include "support/scaled_intervals.h"
#include "support/scripted_dialogs.h"
#include "support/simulator_process.h"
#include "tools/firmware_update_window.h"
#include "tools/stored_data_window.h"
#include "tools/transmit_window.h"

using namespace q51;
using test::ScaledIntervals;
using test::ScriptedDialogs;
using test::SimulatorProcess;

namespace {

constexpr int Patience = SimulatorProcess::Patience;

QByteArray Image(int size)
{
    QByteArray image(size, '\0');
    for (int i = 0; i < size; ++i)
        image[i] = char(i * 11 + i / 300 + 1);
    return image;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TransportFactory serialPort()
{
    return [] { return std::make_unique<SerialPortTransport>(); };
}

} // namespace

class ServiceEndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void largestImageIsWrittenPageByPage();
    void decoderRefusals_data();
    void decoderRefusals();
    void storedGroupsReadInChunks();
    void storedGroupsRangeSizesFreeSpaceAndClear();
    void storedDataTimeOuts_data();
    void storedDataTimeOuts();
    void storedDataLeavesThePortFree_data();
    void storedDataLeavesThePortFree();

private:
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    Configuration config;
    std::unique_ptr<SimulatorProcess> sim;

    bool startSimulator(const QStringList &arguments)
    {
        sim = std::make_unique<SimulatorProcess>();
        if (!sim->start(arguments))
            return false;
        qputenv("Q51_COM1", sim->device().toLocal8Bit());
        return true;
    }
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString writeImage(const QByteArray &image)
    {
        QFile file(path("firmware.bin"));
        if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size())
            return {};
        return file.fileName();
    }

    // Runs one stored-data request and waits for its end.
    static bool run(StoredDataWindow &window, ScriptedDialogs &dialogs, const char *button, qsizetype messages)
    {
        window.findChild<QPushButton *>(QString::fromLatin1(button))->click();
        return QTest::qWaitFor(
            [&] { return !window.requestRunning() && dialogs.messages.size() >= messages; }, Patience);
    }
};

void ServiceEndToEndTest::init()
{
    QVERIFY(dir.isValid());
    dialogs.clear();
    config = Configuration{};
}

void ServiceEndToEndTest::cleanup()
{
    sim.reset();
    qunsetenv("Q51_COM1");
}

void ServiceEndToEndTest::largestImageIsWrittenPageByPage()
{
    // A tenth of the real time: 20 ms after each page, 300 ms for each answer.
    ScaledIntervals scale(0.1);
    const QString dump = path("image.bin");
    QVERIFY(startSimulator({"--dump-image", dump}));
    config.BaudText = "1200"; // the update runs at 19200 whatever is chosen
    FirmwareUpdateWindow window(config, dialogs, serialPort());
    window.show();

    const QByteArray image = Image(65535);
    window.findChild<QLineEdit *>(QStringLiteral("TxtBinFile"))->setText(writeImage(image));
    window.findChild<QPushButton *>(QStringLiteral("cmdTransmit"))->click();
    auto *update = window.findChild<FirmwareUpdate *>();
    QVERIFY(update);
    QStringList statuses;
    connect(update, &FirmwareUpdate::statusChanged, this, [&](const QString &status) {
        QVERIFY(dialogs.messages.isEmpty());
        statuses << status;
    });
    QVERIFY(QTest::qWaitFor([&] { return !dialogs.messages.isEmpty(); }, 120000));

    QCOMPARE(dialogs.texts(), QStringList{"ISP Transmit OK!"});
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lblStatus"))->text(),
             QStringLiteral("Transmit Data For Page  127 OK!"));
    QCOMPARE(statuses.last(), QStringLiteral("Transmit Data For Page  127 OK!"));
    QCOMPARE(statuses.filter(QStringLiteral(" OK!")).size(), 2 + 128);

    // The decoder kept the file, padded with zeros to 128 whole pages.
    QByteArray padded = image;
    padded.append(QByteArray(4 + 128 * 512 - image.size(), '\0'));
    QTRY_COMPARE_WITH_TIMEOUT(readFile(dump).size(), padded.size(), Patience);
    QVERIFY(readFile(dump) == padded);
    QTRY_VERIFY_WITH_TIMEOUT(sim->log().contains(QLatin1String("isp end")), Patience);
    QCOMPARE(sim->log().count(QLatin1String("stored")), 128);
    QVERIFY2(!sim->log().contains(QLatin1String("refused")), qPrintable(sim->log()));
}

void ServiceEndToEndTest::decoderRefusals_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("lastRequest");
    QTest::newRow("wrong version") << QStringList{"--isp-version", "00000000"} << "A Incorrect Version No!"
                                   << "isp access: wrong version";
    QTest::newRow("one page refused three times") << QStringList{"--isp-refuse-page", "2:3"}
                                                  << "Transmit Data Failled!" << "isp page 2: refused as told";
}

void ServiceEndToEndTest::decoderRefusals()
{
    QFETCH(QStringList, options);
    QFETCH(QString, text);
    QFETCH(QString, lastRequest);
    QVERIFY(startSimulator(options));
    FirmwareUpdateWindow window(config, dialogs, serialPort());
    window.show();
    window.findChild<QLineEdit *>(QStringLiteral("TxtBinFile"))->setText(writeImage(Image(3000)));
    window.findChild<QPushButton *>(QStringLiteral("cmdTransmit"))->click();
    QVERIFY(QTest::qWaitFor([&] { return !dialogs.messages.isEmpty(); }, Patience));
    QCOMPARE(dialogs.texts(), QStringList{text});
    QTRY_VERIFY_WITH_TIMEOUT(sim->log().contains(lastRequest), Patience);
    QVERIFY(!sim->log().contains(QLatin1String("isp end")));
}

void ServiceEndToEndTest::storedGroupsReadInChunks()
{
    // Replies in pieces of 64 bytes, 150 ms apart: the first part is judged
    // after 100 ms, the rest arrives part by part.
    QVERIFY(startSimulator({"--sample-groups", "40", "--split", "64", "--pause", "150"}));
    StoredDataWindow window(config, dialogs, serialPort());
    window.show();
    QVERIFY(run(window, dialogs, "CmdRead", 2));
    QCOMPARE(dialogs.messages[1].text, QStringLiteral("Read Saved Data OK!"));
    QString expected;
    for (int i = 0; i < 40; ++i)
        expected += QStringLiteral("Group %1 : DATA%2").arg(i).arg(i, 4, 10, QLatin1Char('0'));
    QCOMPARE(window.findChild<QPlainTextEdit *>(QStringLiteral("TxtMemory"))->toPlainText(), expected);
    QVERIFY(sim->log().contains(QLatin1String("read all groups: 40 groups")));
}

void ServiceEndToEndTest::storedGroupsRangeSizesFreeSpaceAndClear()
{
    QVERIFY(startSimulator({"--group", "AB", "--group", "C", "--sample-groups", "6", "--group-capacity", "100"}));
    StoredDataWindow window(config, dialogs, serialPort());
    window.show();
    auto *memory = window.findChild<QPlainTextEdit *>(QStringLiteral("TxtMemory"));
    window.findChild<QAbstractButton *>(QStringLiteral("OptRead_1"))->click();
    window.findChild<QLineEdit *>(QStringLiteral("TxtStartNO"))->setText(QStringLiteral("1"));
    window.findChild<QLineEdit *>(QStringLiteral("TxtEndNo"))->setText(QStringLiteral("3"));

    QVERIFY(run(window, dialogs, "CmdRead", 2));
    QCOMPARE(dialogs.messages[1].text, QStringLiteral("Read Saved Data OK!"));
    QCOMPARE(memory->toPlainText(), QStringLiteral("Group 1 : CGroup 2 : DATA0000Group 3 : DATA0001"));

    QVERIFY(run(window, dialogs, "CmdSize", 3)); // no message when all is well
    QCOMPARE(dialogs.messages.size(), 3);
    QCOMPARE(memory->toPlainText(), QStringLiteral("Group 0 : 2\tGroup 1 : 1\tGroup 2 : 8\tGroup 3 : 8\tGroup 4 : 8\n"
                                                   "Group 5 : 8\tGroup 6 : 8\tGroup 7 : 8\t"));

    QVERIFY(run(window, dialogs, "CmdFree", 4));
    QCOMPARE(memory->toPlainText(), QStringLiteral("Free Group Space: 92"));

    QVERIFY(run(window, dialogs, "CmdClear", 6)); // groups 1 to 3 go
    QCOMPARE(dialogs.messages[5].text, QStringLiteral("Send Clear Group Data Command OK!"));
    QVERIFY(run(window, dialogs, "CmdFree", 7));
    QCOMPARE(memory->toPlainText(), QStringLiteral("Free Group Space: 95"));

    window.findChild<QLineEdit *>(QStringLiteral("TxtStartNO"))->setText(QStringLiteral("5"));
    window.findChild<QLineEdit *>(QStringLiteral("TxtEndNo"))->setText(QStringLiteral("9"));
    QVERIFY(run(window, dialogs, "CmdRead", 9));
    QCOMPARE(dialogs.messages[8].text, QStringLiteral("There Is No Data In The Range!"));
    QVERIFY2(sim->log().contains(QLatin1String("read groups 5 to 9: no data")), qPrintable(sim->log()));
}

void ServiceEndToEndTest::storedDataTimeOuts_data()
{
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<QString>("text");
    QTest::newRow("silent decoder") << QStringList{"--silent"} << "Time Out Error!";
    QTest::newRow("decoder stops mid-reply") << QStringList{"--stall-after", "30"}
                                             << "Received Data Is Less Than Total Length!";
}

void ServiceEndToEndTest::storedDataTimeOuts()
{
    QFETCH(QStringList, faults);
    QFETCH(QString, text);
    ScaledIntervals scale(0.01); // 100 ms for the reply, 655 ms for the rest
    QVERIFY(startSimulator(QStringList{"--sample-groups", "20"} + faults));
    StoredDataWindow window(config, dialogs, serialPort());
    window.show();
    QVERIFY(run(window, dialogs, "CmdRead", 2));
    QCOMPARE(dialogs.messages[1].text, text);
    QVERIFY(window.findChild<QPushButton *>(QStringLiteral("CmdRead"))->isEnabled());
}

void ServiceEndToEndTest::storedDataLeavesThePortFree_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<qsizetype>("messages"); // the confirmation and any result
    QTest::newRow("read") << "CmdRead" << qsizetype(2);
    QTest::newRow("sizes") << "CmdSize" << qsizetype(1);
    QTest::newRow("free space") << "CmdFree" << qsizetype(1);
    QTest::newRow("clear") << "CmdClear" << qsizetype(2);
}

void ServiceEndToEndTest::storedDataLeavesThePortFree()
{
    QFETCH(QString, button);
    QFETCH(qsizetype, messages);
    QVERIFY(startSimulator({"--sample-groups", "3"}));
    StoredDataWindow memory(config, dialogs, serialPort());
    memory.show();
    QVERIFY(run(memory, dialogs, qPrintable(button), messages));
    QCOMPARE(dialogs.messages.size(), messages);

    // The real port of another window, on the same device, as a user opens it next.
    FailingPortIo portIo;
    TransmitWindow transfer(config, dialogs, portIo, serialPort());
    transfer.show();
    QCOMPARE(dialogs.texts().mid(messages), QStringList());
    transfer.findChild<QPushButton *>(QStringLiteral("CmdVersion"))->click();
    QVERIFY(QTest::qWaitFor([&] { return dialogs.messages.size() > messages; }, Patience));
    QVERIFY2(!dialogs.texts().last().contains(QLatin1String("not available")), qPrintable(dialogs.texts().last()));
    QVERIFY2(sim->log().contains(QLatin1String("version")), qPrintable(sim->log()));
}

QTEST_MAIN(ServiceEndToEndTest)
#include "tst_service_e2e.moc"
