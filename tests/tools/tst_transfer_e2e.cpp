// The transfer window end to end: the real serial port on a pseudo-terminal
// against the decoder simulator program, one row per outcome the decoder
// can produce, faults included.

#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "document/config_document.h"
#include "link/intervals.h"
#include "link/portio/port_io.h"
#include "link/serial_port_transport.h"
#include "model/configuration.h"
#include "support/scaled_intervals.h"
#include "support/scripted_dialogs.h"
#include "support/simulator_process.h"
#include "support/stepped_block.h"
#include "tools/transmit_window.h"

using namespace q51;
using test::ScaledIntervals;
using test::ScriptedDialogs;

namespace {

// Generous: the machine may be busy running the rest of the suite.
constexpr int Patience = 20000;

using Simulator = test::SimulatorProcess;

QByteArray patternBlock()
{
    return test::BytesOf(test::DescendingBlock());
}

Block blockOf(const QByteArray &bytes)
{
    Block block{};
    std::copy(bytes.begin(), bytes.end(), block.begin());
    return block;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

enum class BlockAfter { Unchanged, WithChecksum, Replaced };

} // namespace

Q_DECLARE_METATYPE(BlockAfter)

class TransferEndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void transfer_data();
    void transfer();
    void portNotAvailable();
    void nextExchangeAfterReplug();

private:
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    Configuration config;
    FailingPortIo portIo; // RS232 only here
    QPointer<Transport> port;
    std::unique_ptr<TransmitWindow> window;
    std::unique_ptr<ConfigDocument> document;

    // Wired to the document as the main window's factory wires it.
    void openWindow()
    {
        document = std::make_unique<ConfigDocument>(config);
        window = std::make_unique<TransmitWindow>(config, dialogs, portIo, [this] {
            auto made = std::make_unique<SerialPortTransport>();
            port = made.get();
            return made;
        });
        connect(window.get(), &TransmitWindow::transferEnded, document.get(), [doc = document.get()] { doc->catchUp(); });
        window->show();
    }
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
};

void TransferEndToEndTest::init()
{
    QVERIFY(dir.isValid());
    dialogs.clear();
    config = Configuration{};
    config.block = test::SteppedBlock(3);
    config.TakeSavedCopy();
}

void TransferEndToEndTest::cleanup()
{
    window.reset();
    qunsetenv("Q51_COM1");
}

void TransferEndToEndTest::transfer_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    QTest::addColumn<BlockAfter>("blockAfter");
    QTest::addColumn<bool>("portLost");

    const QString cfg = QStringLiteral("CFG Message");
    const QString upload = QStringLiteral("Upload Message");
    const QString command = QStringLiteral("Send Command Message");
    const QString timeOut = QStringLiteral("Time Out Error!");
    const QString version = QStringLiteral("Version Information:\r\n\r\nFW 2.05") + QString(23, QLatin1Char(' '));
    const QStringList none;

    QTest::newRow("download: acknowledged") << "cmdTransmit" << none << cfg << "Download OK!"
                                            << BlockAfter::WithChecksum << false;
    QTest::newRow("download: no byte in time") << "cmdTransmit" << QStringList{"--silent"} << cfg << timeOut
                                               << BlockAfter::WithChecksum << false;
    QTest::newRow("download: refused") << "cmdTransmit" << QStringList{"--refuse"} << cfg << "Download Failed!"
                                       << BlockAfter::WithChecksum << false;
    QTest::newRow("download: hang-up") << "cmdTransmit" << QStringList{"--hangup-after", "0"} << cfg << timeOut
                                       << BlockAfter::WithChecksum << true;

    QTest::newRow("upload: accepted") << "cmdReceive" << none << upload << "   Upload OK!" << BlockAfter::Replaced
                                      << false;
    QTest::newRow("upload: accepted in slow pieces")
        << "cmdReceive" << QStringList{"--split", "40", "--pause", "20"} << upload << "   Upload OK!"
        << BlockAfter::Replaced << false;
    QTest::newRow("upload: silence") << "cmdReceive" << QStringList{"--silent"} << upload << timeOut
                                     << BlockAfter::Unchanged << false;
    QTest::newRow("upload: lone refusal byte") << "cmdReceive" << QStringList{"--refuse", "--short", "1"} << upload
                                               << timeOut << BlockAfter::Unchanged << false;
    QTest::newRow("upload: short reply") << "cmdReceive" << QStringList{"--short", "261"} << upload << timeOut
                                         << BlockAfter::Unchanged << false;
    QTest::newRow("upload: stalls mid-reply") << "cmdReceive" << QStringList{"--stall-after", "100"} << upload
                                              << timeOut << BlockAfter::Unchanged << false;
    QTest::newRow("upload: frame rejected") << "cmdReceive" << QStringList{"--bad-bcc"} << upload
                                            << "Upload Failed!" << BlockAfter::Unchanged << false;
    QTest::newRow("upload: 262 bytes not starting 06") << "cmdReceive" << QStringList{"--refuse"} << command
                                                       << "Send Command Failed!" << BlockAfter::Unchanged << false;
    QTest::newRow("upload: hang-up mid-reply") << "cmdReceive" << QStringList{"--hangup-after", "100"} << upload
                                               << timeOut << BlockAfter::Unchanged << true;

    QTest::newRow("version: accepted, trailing blanks kept") << "CmdVersion" << none << upload << version
                                                             << BlockAfter::Unchanged << false;
    QTest::newRow("version: silence") << "CmdVersion" << QStringList{"--silent"} << upload << timeOut
                                      << BlockAfter::Unchanged << false;
    QTest::newRow("version: frame rejected") << "CmdVersion" << QStringList{"--bad-bcc"} << command
                                             << "Send Get Firmware Version's Command Failed!" << BlockAfter::Unchanged
                                             << false;
    QTest::newRow("version: 36 bytes not starting 06") << "CmdVersion" << QStringList{"--refuse"} << command
                                                       << "Send Command Failed!" << BlockAfter::Unchanged << false;
    QTest::newRow("version: hang-up mid-reply") << "CmdVersion" << QStringList{"--hangup-after", "10"} << upload
                                                << timeOut << BlockAfter::Unchanged << true;
}

void TransferEndToEndTest::transfer()
{
    QFETCH(QString, button);
    QFETCH(QStringList, faults);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    QFETCH(BlockAfter, blockAfter);
    QFETCH(bool, portLost);

    // Rows that end in silence wait out a shortened timeout; the others keep
    // the real one, so a slow machine cannot turn a reply into a time-out.
    const bool silentEnd = text == QLatin1String("Time Out Error!") && !portLost;
    ScaledIntervals scale(silentEnd ? 0.05 : 1.0);

    const QByteArray decoderBlock = patternBlock();
    QFile blockFile(path("decoder.bin"));
    QVERIFY(blockFile.open(QIODevice::WriteOnly) && blockFile.write(decoderBlock) == BlockSize);
    blockFile.close();
    const QString dump = path("dump.bin");
    Simulator sim;
    QVERIFY(sim.start(QStringList{"--block-file", blockFile.fileName(), "--dump-block", dump, "--version-text",
                                  "FW 2.05"}
                      + faults));
    qputenv("Q51_COM1", sim.device().toLocal8Bit());

    const Block before = config.block;
    const Block saved = config.savedCopy;
    openWindow();
    QVERIFY(port && !port->isOpen()); // tried, then let go until an exchange needs it
    QVERIFY(dialogs.messages.isEmpty());
    QSignalSpy announced(document.get(), &ConfigDocument::settingsChanged);

    window->findChild<QPushButton *>(button)->click();
    QTRY_COMPARE_WITH_TIMEOUT(dialogs.messages.size(), 1, Patience);
    QCOMPARE(dialogs.messages[0].title, caption);
    QCOMPARE(dialogs.messages[0].text, text);
    QVERIFY(!window->transferRunning());
    for (const char *name : {"cmdTransmit", "cmdReceive", "CmdVersion", "cmdClose"})
        QVERIFY2(window->findChild<QPushButton *>(QString::fromLatin1(name))->isEnabled(), name);

    Block expected = before;
    switch (blockAfter) {
    case BlockAfter::Unchanged: break;
    case BlockAfter::Replaced: expected = blockOf(decoderBlock); break;
    case BlockAfter::WithChecksum: {
        unsigned sum = 0;
        for (int i = 0; i < 254; ++i)
            sum += before[size_t(i)];
        expected[254] = std::uint8_t(sum / 256);
        expected[255] = std::uint8_t(sum % 256);
        break;
    }
    }
    QCOMPARE(test::BytesOf(config.block), test::BytesOf(expected));
    QVERIFY(config.savedCopy == saved);
    // What the transfer changed is announced once, before its message.
    QCOMPARE(announced.size(), expected == before ? 0 : 1);

    // Whatever the ending, the port is free for others once the exchange is over.
    QTRY_VERIFY_WITH_TIMEOUT(!port->isOpen(), Patience);

    if (text == QLatin1String("Download OK!")) {
        // The decoder took exactly one well-formed 261-byte frame: it stored
        // the block, checksum included, and skipped no stray bytes.
        QTRY_COMPARE_WITH_TIMEOUT(readFile(dump), test::BytesOf(config.block), Patience);
        QTRY_VERIFY_WITH_TIMEOUT(sim.log().contains(QLatin1String("block stored")), Patience);
        QCOMPARE(sim.log().count(QLatin1String("request ")), 1);
        QVERIFY2(!sim.log().contains(QLatin1String("ignored")), qPrintable(sim.log()));
    }
}

void TransferEndToEndTest::portNotAvailable()
{
    qputenv("Q51_COM1", path("no-such-port").toLocal8Bit());
    const Block before = config.block;
    openWindow();
    QCOMPARE(dialogs.texts(), QStringList{"COM 1: not available."});
    QVERIFY(!port->isOpen());

    // A transfer tries the port again, says so again, and sends nothing.
    window->findChild<QPushButton *>(QStringLiteral("cmdTransmit"))->click();
    QCOMPARE(dialogs.texts(), (QStringList{"COM 1: not available.", "COM 1: not available."}));
    QVERIFY(!window->transferRunning());
    QVERIFY(config.block == before);
}

void TransferEndToEndTest::nextExchangeAfterReplug()
{
    Simulator sim;
    const QString link = path("com1");
    QVERIFY(sim.start({"--link", link, "--version-text", "FW 2.05"}));
    qputenv("Q51_COM1", link.toLocal8Bit());
    openWindow();
    const QString version = QStringLiteral("Version Information:\r\n\r\nFW 2.05") + QString(23, QLatin1Char(' '));
    auto *query = window->findChild<QPushButton *>(QStringLiteral("CmdVersion"));
    query->click();
    QTRY_COMPARE_WITH_TIMEOUT(dialogs.texts(), QStringList{version}, Patience);

    // Unplugged and plugged in again between exchanges: a new device under the same name.
    QVERIFY(sim.toggleVanish());
    QTRY_VERIFY_WITH_TIMEOUT(sim.log().contains(QLatin1String("vanished")), Patience);
    QVERIFY(sim.toggleVanish());
    QTRY_VERIFY_WITH_TIMEOUT(sim.log().contains(QLatin1String("back on")), Patience);
    query->click();
    QTRY_COMPARE_WITH_TIMEOUT(dialogs.texts(), (QStringList{version, version}), Patience);
}

QTEST_MAIN(TransferEndToEndTest)
#include "tst_transfer_e2e.moc"
