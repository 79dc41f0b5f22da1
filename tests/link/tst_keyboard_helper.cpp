// The keyboard line through the helper process: what the helper accepts and
// refuses, and a whole keyboard download from the transfer exchange to the
// port, with a stand-in helper that records the writes instead of making
// them.

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "link/keyboard_helper_port_io.h"
#include "link/keyboard_transfers.h"
#include "link/portio/keyboard_helper_protocol.h"
#include "link/protocol/hex_text.h"
#include "model/configuration.h"
#include "model/factory_defaults.h"
#include "support/event_wait.h"
#include "support/scaled_intervals.h"

using namespace q51;
namespace helper = q51::keyboard_helper;

namespace {

// Types the decoder's answers: "S" when the handshake first focuses the box,
// "P" when the wait after the data does.
class AnsweringDecoder final : public TypedReplySource {
public:
    QString text() const override { return text_; }
    void clear() override { setText({}); }
    void takeFocus() override
    {
        const char *answers[] = {"S", "P"};
        if (focusTaken_ < 2)
            QTimer::singleShot(0, this, [this, answer = answers[focusTaken_]] { setText(text_ + answer); });
        ++focusTaken_;
    }

private:
    void setText(const QString &text)
    {
        text_ = text;
        emit textChanged();
    }
    QString text_;
    int focusTaken_ = 0;
};

struct RecordedWrite {
    int port;
    char value;
    qint64 microseconds;
};

QList<RecordedWrite> ReadRecording(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<RecordedWrite> writes;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 3)
            writes.append({fields[0].toInt(nullptr, 16), char(fields[1].toInt(nullptr, 16)), fields[2].toLongLong()});
    }
    return writes;
}

} // namespace

class KeyboardHelperTest : public QObject {
    Q_OBJECT

private slots:
    void requestsAreJudged_data();
    void requestsAreJudged();
    void overlongLinesAreRefusedWhole();
    void downloadGoesThroughTheHelper();
    void helperThatDeclinesLeavesTheLineUnavailable_data();
    void helperThatDeclinesLeavesTheLineUnavailable();
};

void KeyboardHelperTest::requestsAreJudged_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("allowed");
    // Every byte to the data port: only hex text and the upload letter pass.
    const QByteArray keyboardLine("0123456789ABCDEFU");
    for (int value = 0; value < 256; ++value)
        QTest::addRow("data port 0x%02x", value)
            << QByteArray::fromStdString(helper::RequestLine(0x60, std::uint8_t(value))).chopped(1)
            << keyboardLine.contains(char(value));
    QTest::newRow("interrupt mask") << QByteArray("out 21 00") << false;
    QTest::newRow("controller command port") << QByteArray("out 64 41") << false;
    QTest::newRow("port above a byte")
        << QByteArray::fromStdString(helper::RequestLine(0x160, 'A')).chopped(1) << false;
    QTest::newRow("lower-case digits name the same byte") << QByteArray("out 60 4a") << false;
    QTest::newRow("trailing blank") << QByteArray("out 60 41 ") << false;
    QTest::newRow("upper-case verb") << QByteArray("OUT 60 41") << false;
    QTest::newRow("one digit") << QByteArray("out 60 4") << false;
    QTest::newRow("not hex") << QByteArray("out 6g 41") << false;
    QTest::newRow("sign") << QByteArray("out 60 +4") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void KeyboardHelperTest::requestsAreJudged()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, allowed);
    const helper::Verdict verdict = helper::JudgeRequest(line.toStdString());
    QCOMPARE(verdict.write.has_value(), allowed);
    QCOMPARE(verdict.refusal.empty(), allowed);
    if (allowed)
        QCOMPARE(verdict.write->port, std::uint16_t(0x60));
}

void KeyboardHelperTest::overlongLinesAreRefusedWhole()
{
    helper::RequestLineReader reader;
    QList<helper::RequestLineReader::Line> lines;
    for (const char c : QByteArray(QByteArray(200, '0') + "\nout 60 41\n"))
        if (auto line = reader.feed(c))
            lines.append(*line);
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines[0].overlong);
    QVERIFY(lines[0].text.empty());
    QVERIFY(!lines[1].overlong);
    QCOMPARE(lines[1].text, std::string("out 60 41"));
}

void KeyboardHelperTest::downloadGoesThroughTheHelper()
{
    test::ScaledIntervals fast(0.01);
    QTemporaryDir dir;
    const QString recording = dir.filePath(QStringLiteral("writes"));
    KeyboardHelperPortIo io(QStringLiteral(Q51_RECORDING_HELPER), {recording});
    QVERIFY(InitializePortIo(io));

    Configuration config;
    LoadFactoryDefaults(config);
    AnsweringDecoder decoder;
    KeyboardTransfer transfer(TransferKind::Download, config, io, ReplyBox(&decoder));
    QString message;
    transfer.onFinished = [&](const TransferReport &report, bool) { message = report.text; };
    transfer.start();
    QVERIFY(test::waitUntil([&] { return !message.isEmpty(); }, 10000));
    QCOMPARE(message, QStringLiteral("Download OK!"));
    io.ShutdownWinIo(); // the helper finishes what it was asked first

    // Wake-up letters in whole ticks, then the block (checksum included) as
    // hex text, nothing else, and never two writes closer than the pause.
    const QList<RecordedWrite> writes = ReadRecording(recording);
    QByteArray written;
    for (int i = 0; i < writes.size(); ++i) {
        QCOMPARE(writes[i].port, 0x60);
        written += writes[i].value;
        if (i > 0)
            QVERIFY2(writes[i].microseconds - writes[i - 1].microseconds >= helper::MinimumWriteGapMicroseconds,
                     qPrintable(QStringLiteral("write %1 too soon").arg(i)));
    }
    const QByteArray block = QByteArray::fromStdString(protocol::HexText(config.block));
    QVERIFY(written.endsWith(block));
    const QByteArray letters = written.chopped(block.size());
    QCOMPARE(letters, QByteArray(letters.size(), 'A'));
    QCOMPARE(letters.size() % 5, 0);

    // The interrupt-mask clear after each of the two waits is refused, and said.
    const QStringList refusals = io.refusals();
    QCOMPARE(refusals.size(), 2);
    for (const QString &refusal : refusals)
        QVERIFY2(refusal.contains(QStringLiteral("port 0x21")), qPrintable(refusal));
}

void KeyboardHelperTest::helperThatDeclinesLeavesTheLineUnavailable_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no capability") << QStringLiteral(Q51_RECORDING_HELPER) << QStringList{"unused", "--unavailable"}
                                   << QStringLiteral("no access to the keyboard controller");
    QTest::newRow("not installed") << QStringLiteral("/nonexistent/q51-keyboard-helper") << QStringList{}
                                   << QStringLiteral("cannot start");
}

void KeyboardHelperTest::helperThatDeclinesLeavesTheLineUnavailable()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, reason);
    KeyboardHelperPortIo io(program, arguments);
    QVERIFY(!InitializePortIo(io));
    QVERIFY2(io.unavailableReason().contains(reason), qPrintable(io.unavailableReason()));
    QVERIFY(!io.SetPortVal(0x60, 'A', 1));
}

QTEST_MAIN(KeyboardHelperTest)
#include "tst_keyboard_helper.moc"
