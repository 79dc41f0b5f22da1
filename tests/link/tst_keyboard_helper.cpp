// The keyboard line through the helper process: what the helper accepts and
// refuses, a whole keyboard download from the transfer exchange to the port,
// a helper lost mid-exchange, and two helpers meeting on the line's lock,
// with a stand-in helper that records the writes instead of making them.

#include <csignal>
#include <functional>
#include <memory>

#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QElapsedTimer>
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

struct RecordedWrite {
    int port;
    char value;
    qint64 microseconds;
    qint64 helper; // process id of the helper that wrote it
};

QList<RecordedWrite> ReadRecording(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<RecordedWrite> writes;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 4)
            writes.append({fields[0].toInt(nullptr, 16), char(fields[1].toInt(nullptr, 16)), fields[2].toLongLong(),
                           fields[3].toLongLong()});
    }
    return writes;
}

QByteArray Written(const QList<RecordedWrite> &writes)
{
    QByteArray bytes;
    for (const RecordedWrite &write : writes)
        bytes += write.value;
    return bytes;
}

QByteArray BlockText(const Configuration &config)
{
    return QByteArray::fromStdString(protocol::HexText(config.block));
}

// A helper process held by a handle that cannot reach another process once
// the pid is reused: signals it, and tells whether it has ended.
class HelperHandle {
public:
    explicit HelperHandle(qint64 pid) : fd_(int(syscall(SYS_pidfd_open, pid_t(pid), 0u))) {}
    ~HelperHandle()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    HelperHandle(const HelperHandle &) = delete;
    HelperHandle &operator=(const HelperHandle &) = delete;

    [[nodiscard]] bool valid() const { return fd_ >= 0; }
    void signal(int number) const { syscall(SYS_pidfd_send_signal, fd_, number, nullptr, 0u); }
    [[nodiscard]] bool ended() const
    {
        pollfd watch{fd_, POLLIN, 0};
        return ::poll(&watch, 1, 0) == 1;
    }

private:
    int fd_;
};

struct Finished {
    QString text;
    QString detail;
};

// Stands for a decoder on the keyboard line: it hears what the stand-in
// helper recorded since it was made, types "S" once it has heard a wake-up
// letter, and from the box's next focus on types `reply` once what it heard
// satisfies `replyWhen`.
class TypingDecoder final : public TypedReplySource {
public:
    TypingDecoder(QString recording, QString reply, std::function<bool(const QByteArray &heard)> replyWhen)
        : recording_(std::move(recording)), heardBefore_(ReadRecording(recording_).size()), reply_(std::move(reply)),
          replyWhen_(std::move(replyWhen))
    {
        listening_.setInterval(1);
        connect(&listening_, &QTimer::timeout, this, &TypingDecoder::listen);
    }
    QString text() const override { return text_; }
    void clear() override { setText({}); }
    void takeFocus() override
    {
        ++focusTaken_;
        listening_.start();
    }

private:
    void listen()
    {
        const QByteArray heard = Written(ReadRecording(recording_).mid(heardBefore_));
        if (!ready_ && !heard.isEmpty()) {
            ready_ = true;
            setText(text_ + QLatin1Char('S'));
        } else if (ready_ && focusTaken_ > 1 && replyWhen_(heard)) {
            listening_.stop();
            setText(text_ + reply_);
        }
    }
    void setText(const QString &text)
    {
        text_ = text;
        emit textChanged();
    }
    QString recording_;
    qsizetype heardBefore_;
    QString reply_;
    std::function<bool(const QByteArray &)> replyWhen_;
    QTimer listening_;
    QString text_;
    bool ready_ = false;
    int focusTaken_ = 0;
};

} // namespace

class KeyboardHelperTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void requestsAreJudged_data();
    void requestsAreJudged();
    void overlongLinesAreRefusedWhole();
    void downloadGoesThroughTheHelper();
    void lostHelperTakesNoWriteBeyondTheOutcome_data();
    void lostHelperTakesNoWriteBeyondTheOutcome();
    void secondHelperFindsTheLineBusy();
    void helperThatDeclinesLeavesTheLineUnavailable_data();
    void helperThatDeclinesLeavesTheLineUnavailable();

private:
    // The stand-in's record and lock, fresh for each test.
    QString recording() const { return dir_->filePath(QStringLiteral("writes")); }
    QStringList helperArguments() const
    {
        return {recording(), QStringLiteral("--lock"), dir_->filePath(QStringLiteral("lock"))};
    }
    std::unique_ptr<KeyboardHelperPortIo> makeClient() const
    {
        return std::make_unique<KeyboardHelperPortIo>(QStringLiteral(Q51_RECORDING_HELPER), helperArguments());
    }
    Finished run(KeyboardTransfer &transfer) const;

    std::unique_ptr<QTemporaryDir> dir_;
};

void KeyboardHelperTest::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

Finished KeyboardHelperTest::run(KeyboardTransfer &transfer) const
{
    Finished finished;
    transfer.onFinished = [&](const TransferReport &report, bool) { finished = {report.text, report.detail}; };
    transfer.start();
    test::waitUntil([&] { return !finished.text.isEmpty(); }, 10000);
    transfer.onFinished = {};
    return finished;
}

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
    // The host's pause no shorter than the helper's, as on the line, so the
    // decoder hears each character about when the host writes it.
    test::ScaledIntervals paced(0.4);
    const auto io = makeClient();
    QVERIFY(InitializePortIo(*io));
    QCOMPARE(io->helperProcessId(), 0); // the start-up check keeps no helper

    Configuration config;
    LoadFactoryDefaults(config);
    TypingDecoder decoder(recording(), QStringLiteral("P"),
                          [&](const QByteArray &heard) { return heard.endsWith(BlockText(config)); });
    KeyboardTransfer transfer(TransferKind::Download, config, *io, ReplyBox(&decoder));
    const Finished finished = run(transfer);
    QCOMPARE(finished.text, QStringLiteral("Download OK!"));
    QVERIFY(finished.detail.isEmpty());
    QCOMPARE(io->helperProcessId(), 0); // ended with the exchange

    // Wake-up letters in whole ticks, then the block (checksum included) as
    // hex text, nothing else, and never two writes closer than the pause.
    const QList<RecordedWrite> writes = ReadRecording(recording());
    for (int i = 0; i < writes.size(); ++i) {
        QCOMPARE(writes[i].port, 0x60);
        if (i > 0)
            QVERIFY2(writes[i].microseconds - writes[i - 1].microseconds >= helper::MinimumWriteGapMicroseconds,
                     qPrintable(QStringLiteral("write %1 too soon").arg(i)));
    }
    const QByteArray written = Written(writes);
    const QByteArray block = BlockText(config);
    QVERIFY(written.endsWith(block));
    const QByteArray letters = written.chopped(block.size());
    QVERIFY(!letters.isEmpty());
    QCOMPARE(letters, QByteArray(letters.size(), 'A'));
    QCOMPARE(letters.size() % 5, 0);

    // The interrupt-mask clear after each of the two waits is refused, and said.
    const QStringList refusals = io->refusals();
    QCOMPARE(refusals.size(), 2);
    for (const QString &refusal : refusals)
        QVERIFY2(refusal.contains(QStringLiteral("port 0x21")), qPrintable(refusal));
}

void KeyboardHelperTest::lostHelperTakesNoWriteBeyondTheOutcome_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("closeWindow");
    QTest::addColumn<QString>("detail");
    QTest::newRow("killed") << SIGKILL << false << QStringLiteral("killed by signal 9");
    QTest::newRow("stopped") << SIGSTOP << false << QString();
    QTest::newRow("stopped, window closed") << SIGSTOP << true << QString();
}

// The helper is signalled mid-block; the decoder, not having heard it all,
// never accepts. Whatever the helper has not written when the outcome is
// told (or the window closes) never reaches the port, and the next exchange
// gets a new helper.
void KeyboardHelperTest::lostHelperTakesNoWriteBeyondTheOutcome()
{
    QFETCH(int, signal);
    QFETCH(bool, closeWindow);
    QFETCH(QString, detail);
    test::ScaledIntervals fast(0.01);
    auto io = makeClient();
    Configuration config;
    LoadFactoryDefaults(config);
    TypingDecoder deaf(recording(), QStringLiteral("P"), [](const QByteArray &) { return false; });
    auto download = std::make_unique<KeyboardTransfer>(TransferKind::Download, config, *io, ReplyBox(&deaf));
    std::unique_ptr<HelperHandle> lost;
    download->onProgress = [&](int value, int) {
        if (value == 50 && !lost) {
            lost = std::make_unique<HelperHandle>(io->helperProcessId());
            lost->signal(signal);
        }
    };
    if (closeWindow) {
        download->start();
        QVERIFY(test::waitUntil([&] { return lost != nullptr; }, 10000));
        QElapsedTimer closing;
        closing.start();
        download.reset();
        io.reset();
        QVERIFY2(closing.elapsed() < 1000, qPrintable(QStringLiteral("closing took %1 ms").arg(closing.elapsed())));
    } else {
        const Finished failed = run(*download);
        QCOMPARE(failed.text, QStringLiteral("Download Failed!"));
        QVERIFY2(detail.isEmpty() ? failed.detail.isEmpty() : failed.detail.contains(detail),
                 qPrintable(failed.detail));
    }
    QVERIFY(lost && lost->valid());
    QVERIFY(lost->ended());
    const qsizetype recorded = ReadRecording(recording()).size();
    QVERIFY(recorded < BlockText(config).size()); // it was cut off mid-block
    lost->signal(SIGCONT);
    test::runFor(50);
    QCOMPARE(ReadRecording(recording()).size(), recorded);

    if (!io)
        io = makeClient();
    TypingDecoder decoder(recording(), QString::fromLatin1(BlockText(config)), [](const QByteArray &) { return true; });
    KeyboardTransfer upload(TransferKind::Upload, config, *io, ReplyBox(&decoder));
    QCOMPARE(run(upload).text, QStringLiteral("   Upload OK!"));
    const QList<RecordedWrite> after = ReadRecording(recording()).mid(recorded);
    QVERIFY(!after.isEmpty());
    QCOMPARE(Written(after), QByteArray(after.size(), 'U'));
    QVERIFY(after.constFirst().helper != ReadRecording(recording()).constFirst().helper);
}

void KeyboardHelperTest::secondHelperFindsTheLineBusy()
{
    const auto first = makeClient();
    const auto second = makeClient();
    auto holding = first->BeginExchange();
    QVERIFY(holding->SetPortVal(0x60, 'A', 1));
    // The port is reachable, so the start-up check passes...
    QVERIFY(second->InitializeWinIo());
    // ...but an exchange gets no helper while another holds the line, and says why.
    const auto refused = second->BeginExchange();
    QVERIFY(!refused->SetPortVal(0x60, 'B', 1));
    const QString trouble = QString::fromStdString(refused->trouble());
    QVERIFY2(trouble.contains(QStringLiteral("another keyboard transfer"))
                 && trouble.contains(QStringLiteral("try again")),
             qPrintable(trouble));

    holding->finish();
    holding.reset();
    const auto next = second->BeginExchange();
    QVERIFY(next->SetPortVal(0x60, 'C', 1));
    next->finish();
    QVERIFY(next->trouble().empty());
    QCOMPARE(Written(ReadRecording(recording())), QByteArray("AC"));
}

void KeyboardHelperTest::helperThatDeclinesLeavesTheLineUnavailable_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason");
    const QString standIn = QStringLiteral(Q51_RECORDING_HELPER);
    QTest::newRow("no capability") << standIn << QStringList{"unused", "--unavailable"}
                                   << QStringLiteral("no access to the keyboard controller");
    QTest::newRow("lock folder missing") << standIn << QStringList{"unused", "--lock", "/nonexistent/q51/lock"}
                                         << QStringLiteral("cannot open the lock file /nonexistent/q51/lock");
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
    // An exchange tries again, writes nothing, and says why.
    const auto exchange = io.BeginExchange();
    QVERIFY(!exchange->SetPortVal(0x60, 'A', 1));
    const QString trouble = QString::fromStdString(exchange->trouble());
    QVERIFY2(trouble.contains(reason), qPrintable(trouble));
}

QTEST_MAIN(KeyboardHelperTest)
#include "tst_keyboard_helper.moc"
