// The simulated decoder driven in-process: answers, requests arriving in
// pieces, each fault's effect on the reply bytes, reply pacing and the
// command line; then the program itself for the units of a production line.

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <fstream>
#include <set>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "link/protocol/block_checksum.h"
#include "link/protocol/console_requests.h"
#include "link/protocol/frame.h"
#include "link/protocol/requests.h"
#include "link/protocol/status_reply.h"
#include "link/protocol/upload_reply.h"
#include "link/protocol/version_reply.h"
#include "model/factory_defaults.h"
#include "sim/block_file.h"
#include "sim/decoder_simulator.h"
#include "sim/output_schedule.h"
#include "sim/sim_options.h"
#include "sim/unit_block.h"
#include "sim/unit_cycle.h"
#include "support/event_wait.h"
#include "support/simulator_process.h"
#include "support/stepped_block.h"

using namespace q51;
using namespace q51::sim;
using protocol::Bytes;
using protocol::InputPos;

namespace {

QByteArray Q(const Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

Bytes B(const QByteArray &bytes)
{
    return Bytes(bytes.begin(), bytes.end());
}

Block PatternBlock()
{
    Block b = test::DescendingBlock();
    protocol::WriteBlockChecksum(b);
    return b;
}

// Everything the simulator sends for these request bytes, chunks joined.
QByteArray Replies(DecoderSimulator &sim, const Bytes &request)
{
    QByteArray all;
    for (const SimulatorEvent &e : sim.Feed(request))
        all += Q(e.reply.Joined());
    return all;
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes &p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

ParsedOptions Parse(const QStringList &args)
{
    std::vector<std::string> storage;
    for (const QString &a : args)
        storage.push_back(a.toStdString());
    return ParseSimOptions(std::vector<std::string_view>(storage.begin(), storage.end()));
}

// A client of the simulator's device, as a program on a serial port would be.
class DeviceClient {
public:
    explicit DeviceClient(const QString &path)
        : fd_(open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
    {
        termios raw{};
        if (fd_ >= 0 && tcgetattr(fd_, &raw) == 0) {
            cfmakeraw(&raw);
            tcsetattr(fd_, TCSANOW, &raw);
        }
    }
    ~DeviceClient()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    DeviceClient(const DeviceClient &) = delete;
    DeviceClient &operator=(const DeviceClient &) = delete;

    [[nodiscard]] bool isOpen() const { return fd_ >= 0; }
    bool send(const Bytes &bytes) { return fd_ >= 0 && write(fd_, bytes.data(), bytes.size()) == ssize_t(bytes.size()); }

    // Up to `size` bytes, fewer when the line is lost (lost() says so) or
    // nothing more comes in good time.
    QByteArray receive(qsizetype size)
    {
        QByteArray got;
        while (fd_ >= 0 && got.size() < size && !lost_) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, test::SimulatorProcess::Patience) <= 0)
                break;
            char buffer[512];
            const ssize_t n = read(fd_, buffer, sizeof buffer);
            if (n > 0)
                got.append(buffer, n);
            else if (n == 0 || errno != EAGAIN)
                lost_ = true; // a hung-up line reads as its end, or as EIO
        }
        return got;
    }
    [[nodiscard]] bool lost() const { return lost_; }

private:
    int fd_;
    bool lost_ = false;
};

// The block the decoder on this device uploads; nothing when it does not.
std::optional<Block> Uploaded(const QString &device)
{
    DeviceClient client(device);
    if (!client.send(protocol::ReadConfigurationRequest()))
        return std::nullopt;
    return protocol::JudgeUploadReply(B(client.receive(262))).block;
}

// The device is listed before its --link name is made.
bool Linked(const QString &link)
{
    return test::waitUntil([&] { return QFileInfo(link).isSymLink(); }, test::SimulatorProcess::Patience);
}

bool LogSays(test::SimulatorProcess &sim, const QString &text)
{
    return test::waitUntil([&] { return sim.log().contains(text); }, test::SimulatorProcess::Patience);
}

} // namespace

class SimulatorResponderTest : public QObject {
    Q_OBJECT
private slots:
    void answersFromItsOwnState();
    void writeThenReadReturnsTheNewBlock();
    void requestsWithoutAReply_data();
    void requestsWithoutAReply();
    void requestsInPieces_data();
    void requestsInPieces();
    void recoversAfterAGarbledFrame_data();
    void recoversAfterAGarbledFrame();
    void abandonedRequestIsDropped();
    void faults_data();
    void faults();
    void stallSilencesEverythingAfter();
    void splitKeepsEveryByte();
    void pacing_data();
    void pacing();
    void options_data();
    void options();
    void blockFiles();
    void consoleCommands_data();
    void consoleCommands();
    void statusByteOption_data();
    void statusByteOption();
    void dropDuring_data();
    void dropDuring();
    void unitBlocks();
    void unitCycle();
    void newUnitsOnTheLine();
    void lastUnitLeavesTheLineEmpty();
    void lostMidDownload();
    void pidFiles();
};

void SimulatorResponderTest::answersFromItsOwnState()
{
    DecoderSimulator sim(DecoderResponder(PatternBlock(), "V9"));

    const QByteArray version = Replies(sim, protocol::ReadVersionRequest());
    const protocol::VersionReply v = protocol::JudgeVersionReply(B(version));
    QCOMPARE(version.size(), 36);
    QCOMPARE(v.state, InputPos::Accepted);
    QCOMPARE(QByteArray::fromStdString(v.text), QByteArray("V9").leftJustified(30, ' '));

    const QByteArray upload = Replies(sim, protocol::ReadConfigurationRequest());
    const protocol::UploadReply u = protocol::JudgeUploadReply(B(upload));
    QCOMPARE(upload.size(), 262);
    QCOMPARE(u.state, InputPos::Accepted);
    QVERIFY(*u.block == PatternBlock());
    QCOMPARE(upload.left(4).toHex(), QByteArray("060201ff"));

    QVERIFY(DecoderSimulator().responder().block() == FactoryBlock());
}

void SimulatorResponderTest::writeThenReadReturnsTheNewBlock()
{
    DecoderSimulator sim;
    const auto events = sim.Feed(protocol::DownloadFrame(PatternBlock()));
    QCOMPARE(events.size(), std::size_t(1));
    QVERIFY(events[0].blockStored);
    QCOMPARE(Q(events[0].reply.Joined()).toHex(), QByteArray("06"));
    QVERIFY(sim.responder().block() == PatternBlock());

    const auto u = protocol::JudgeUploadReply(B(Replies(sim, protocol::ReadConfigurationRequest())));
    QVERIFY(u.block && *u.block == PatternBlock());
}

void SimulatorResponderTest::requestsWithoutAReply_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");

    QByteArray badDownload = Q(protocol::DownloadFrame(PatternBlock()));
    badDownload[260] = char(badDownload[260] ^ 1);
    QTest::newRow("download with a bad BCC") << badDownload << QByteArray();
    QTest::newRow("read with a bad BCC") << QByteArray::fromHex("02800380") << QByteArray();
    QTest::newRow("unknown command") << QByteArray::fromHex("027E037F") << QByteArray();
    QTest::newRow("write of less than a block")
        << Q(protocol::BuildFrame(0x01, Bytes(255, 0x11))) << QByteArray::fromHex("15");
    // A block that happens to hold a read request, sent with a bad BCC,
    // must not be searched for requests.
    Block inner{};
    const std::uint8_t read[] = {0x02, 0x80, 0x03, 0x81};
    std::copy(std::begin(read), std::end(read), inner.begin() + 10);
    QByteArray hidden = Q(protocol::DownloadFrame(inner));
    hidden[260] = char(hidden[260] ^ 1);
    QTest::newRow("request inside a rejected block") << hidden << QByteArray();
}

void SimulatorResponderTest::requestsWithoutAReply()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    DecoderSimulator sim;

    QCOMPARE(Replies(sim, B(request)).toHex(), reply.toHex());
    QVERIFY(sim.responder().block() == FactoryBlock());
    QVERIFY(!sim.HasUnfinishedRequest());
}

void SimulatorResponderTest::requestsInPieces_data()
{
    QTest::addColumn<int>("pieceSize");
    for (int size : {1, 2, 3, 7, 100, 260, 1000})
        QTest::addRow("%d bytes at a time", size) << size;
}

// Noise, a download, a version query and a read, in one stream cut into
// pieces of every size: each request is answered once, in order.
void SimulatorResponderTest::requestsInPieces()
{
    QFETCH(int, pieceSize);
    const Bytes stream = Concat({{0xFF, 0x00, 0x03}, protocol::DownloadFrame(PatternBlock()),
                                 protocol::ReadVersionRequest(), protocol::ReadConfigurationRequest()});
    DecoderSimulator sim;
    QByteArray replies;
    int stored = 0;
    for (std::size_t at = 0; at < stream.size(); at += std::size_t(pieceSize)) {
        const auto piece = protocol::ByteView(stream).subspan(at, std::min(std::size_t(pieceSize), stream.size() - at));
        for (const SimulatorEvent &e : sim.Feed(piece)) {
            replies += Q(e.reply.Joined());
            stored += e.blockStored;
        }
    }
    QCOMPARE(stored, 1);
    QCOMPARE(replies.size(), 1 + 36 + 262);
    QCOMPARE(int(replies[0]), 0x06);
    QCOMPARE(protocol::JudgeVersionReply(B(replies.mid(1, 36))).state, InputPos::Accepted);
    const auto u = protocol::JudgeUploadReply(B(replies.mid(37)));
    QVERIFY(u.block && *u.block == PatternBlock());
}

void SimulatorResponderTest::recoversAfterAGarbledFrame_data()
{
    QTest::addColumn<QByteArray>("garbled");
    QTest::addColumn<int>("skipped");
    QTest::newRow("ETX missing") << QByteArray::fromHex("028081") << 3;
    QTest::newRow("next STX where ETX belongs") << QByteArray::fromHex("0280") << 2;
    QTest::newRow("noise, then a stray STX") << QByteArray::fromHex("FF0002") << 3;
}

// A broken request is skipped, and the good one right behind it answered.
void SimulatorResponderTest::recoversAfterAGarbledFrame()
{
    QFETCH(QByteArray, garbled);
    QFETCH(int, skipped);
    DecoderSimulator sim;
    const auto events = sim.Feed(Concat({B(garbled), protocol::ReadVersionRequest()}));
    QByteArray replies;
    for (const auto &e : events)
        replies += Q(e.reply.Joined());
    QCOMPARE(replies.size(), 36);
    QCOMPARE(protocol::JudgeVersionReply(B(replies)).state, InputPos::Accepted);
    QCOMPARE(events.back().log, "ignored " + std::to_string(skipped) + " bytes outside any frame");
}

void SimulatorResponderTest::abandonedRequestIsDropped()
{
    DecoderSimulator sim;
    const Bytes download = protocol::DownloadFrame(PatternBlock());
    sim.Feed(protocol::ByteView(download).first(100));
    QVERIFY(sim.HasUnfinishedRequest());

    QCOMPARE(sim.DropUnfinishedRequest().size(), std::size_t(1));
    QVERIFY(!sim.HasUnfinishedRequest());
    QCOMPARE(Replies(sim, protocol::ReadVersionRequest()).size(), 36);
    QVERIFY(sim.DropUnfinishedRequest().empty());
}

void SimulatorResponderTest::faults_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("downloadReply");
    QTest::addColumn<int>("versionSize");
    QTest::addColumn<int>("versionState"); // as the tool would judge what it got
    QTest::addColumn<bool>("hangUp");
    QTest::addColumn<bool>("stores");

    QTest::newRow("well behaved") << QStringList{} << QByteArray("\x06") << 36 << 1 << false << true;
    QTest::newRow("silent") << QStringList{"--silent"} << QByteArray() << 0 << 0 << false << true;
    QTest::newRow("refuse") << QStringList{"--refuse"} << QByteArray("\x15") << 36 << 3 << false << false;
    QTest::newRow("bad BCC") << QStringList{"--bad-bcc"} << QByteArray("\x06") << 36 << 2 << false << true;
    QTest::newRow("short") << QStringList{"--short", "10"} << QByteArray("\x06") << 10 << 0 << false << true;
    QTest::newRow("short 0") << QStringList{"--short=0"} << QByteArray() << 0 << 0 << false << true;
    QTest::newRow("split") << QStringList{"--split", "4", "--pause", "1"} << QByteArray("\x06") << 36 << 1 << false << true;
    QTest::newRow("stall after 20") << QStringList{"--stall-after", "20"} << QByteArray("\x06") << 20 << 0 << false << true;
    QTest::newRow("hang up after 20") << QStringList{"--hangup-after", "20"} << QByteArray("\x06") << 20 << 0 << true << true;
    QTest::newRow("hang up after a whole reply") << QStringList{"--hangup-after", "36"} << QByteArray("\x06") << 36 << 1 << false << true;
    QTest::newRow("hang up after 0") << QStringList{"--hangup-after", "0"} << QByteArray() << 0 << 0 << true << true;
    QTest::newRow("extra bytes") << QStringList{"--extra", "3"} << QByteArray("\x06\x55\x56\x57") << 39 << 1 << false
                                 << true;
    QTest::newRow("garbage") << QStringList{"--garbage"} << QByteArray("\xa0") << 36 << 3 << false << true;
    QTest::newRow("faults from the second request") << QStringList{"--refuse", "--faults-from", "2"}
                                                    << QByteArray("\x06") << 36 << 3 << false << true;
    QTest::newRow("faults from the third request") << QStringList{"--silent", "--faults-from", "3"}
                                                   << QByteArray("\x06") << 36 << 1 << false << true;
    QTest::newRow("refuses only downloads") << QStringList{"--refuse", "--faults-on", "download"}
                                            << QByteArray("\x15") << 36 << 1 << false << false;
    QTest::newRow("refuses only version queries") << QStringList{"--refuse", "--faults-on", "status,version"}
                                                  << QByteArray("\x06") << 36 << 3 << false << true;
    QTest::newRow("silent on uploads only") << QStringList{"--silent", "--faults-on=upload"} << QByteArray("\x06")
                                            << 36 << 1 << false << true;
    QTest::newRow("second download refused") << QStringList{"--refuse", "--faults-on", "download", "--faults-from", "2"}
                                             << QByteArray("\x06") << 36 << 1 << false << true;
    QTest::newRow("forgets writes") << QStringList{"--forget-writes"} << QByteArray("\x06") << 36 << 1 << false
                                    << false;
}

// A download, then a version query, under each fault.
void SimulatorResponderTest::faults()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, downloadReply);
    QFETCH(int, versionSize);
    QFETCH(int, versionState);
    QFETCH(bool, hangUp);
    QFETCH(bool, stores);

    const ParsedOptions parsed = Parse(args);
    QVERIFY2(parsed.error.empty(), parsed.error.c_str());
    DecoderSimulator sim(DecoderResponder(), parsed.options.faults);

    const auto download = sim.Feed(protocol::DownloadFrame(PatternBlock()));
    const auto version = sim.Feed(protocol::ReadVersionRequest());
    QCOMPARE(download.size(), std::size_t(1));
    QCOMPARE(version.size(), std::size_t(1));

    QCOMPARE(Q(download[0].reply.Joined()).toHex(), downloadReply.toHex());
    const QByteArray versionBytes = Q(version[0].reply.Joined());
    QCOMPARE(versionBytes.size(), versionSize);
    QCOMPARE(int(protocol::JudgeVersionReply(B(versionBytes)).state), versionState);
    // Whatever arrives is the start of the decoder's true reply, except
    // for the byte a fault deliberately spoils.
    const QByteArray truth = Q(DecoderSimulator().Feed(protocol::ReadVersionRequest())[0].reply.Joined());
    const bool versionFaulted = versionState == 3 || !args.contains("--refuse");
    for (qsizetype i = 0; i < qMin(versionBytes.size(), truth.size()); ++i) {
        const bool spoiled = (i == 0 && args.contains("--refuse") && versionFaulted)
                             || (i == 35 && args.contains("--bad-bcc")) || args.contains("--garbage");
        QCOMPARE(versionBytes[i] != truth[i], spoiled);
    }
    const bool hungUp = download[0].reply.after == AfterReply::HangUp || version[0].reply.after == AfterReply::HangUp;
    QCOMPARE(hungUp, hangUp);
    // Only a refusing or forgetful decoder keeps its block; the other
    // faults change what is sent, never what the decoder stored.
    QCOMPARE(sim.responder().block() == PatternBlock(), stores);
    QCOMPARE(download[0].blockStored, stores);
    const auto readBack = protocol::JudgeUploadReply(B(Replies(sim, protocol::ReadConfigurationRequest())));
    if (readBack.block)
        QCOMPARE(*readBack.block == PatternBlock(), stores);
}

void SimulatorResponderTest::stallSilencesEverythingAfter()
{
    FaultOptions faults;
    faults.stallAfter = 100;
    DecoderSimulator sim(DecoderResponder(), faults);

    QCOMPARE(Replies(sim, protocol::ReadVersionRequest()).size(), 36);
    QCOMPARE(Replies(sim, protocol::ReadConfigurationRequest()).size(), 100);
    QCOMPARE(Replies(sim, protocol::ReadVersionRequest()).size(), 0);
    QCOMPARE(Replies(sim, protocol::DownloadFrame(PatternBlock())).size(), 0);
    QVERIFY(sim.responder().block() == PatternBlock());
}

void SimulatorResponderTest::splitKeepsEveryByte()
{
    FaultOptions faults;
    faults.splitSize = 100;
    faults.pauseMs = 7;
    DecoderSimulator sim(DecoderResponder(), faults);

    const auto events = sim.Feed(protocol::ReadConfigurationRequest());
    const std::vector<ReplyChunk> &chunks = events.at(0).reply.chunks;
    QCOMPARE(chunks.size(), std::size_t(3));
    QCOMPARE(chunks[0].bytes.size(), std::size_t(100));
    QCOMPARE(chunks[2].bytes.size(), std::size_t(62));
    QCOMPARE(chunks[0].pauseBeforeMs, 0);
    QCOMPARE(chunks[1].pauseBeforeMs, 7);
    QCOMPARE(chunks[2].pauseBeforeMs, 7);
    QCOMPARE(protocol::JudgeUploadReply(events[0].reply.Joined()).state, InputPos::Accepted);
}

void SimulatorResponderTest::pacing_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<int>("pauseMs");
    QTest::addColumn<QList<int>>("dueMs"); // when each of 4 reply bytes may go

    // 1000 baud: 10 ms a byte. The 4-byte request ends on the wire at 40 ms.
    QTest::newRow("1000 baud") << 1000 << 0 << 0 << QList<int>{40, 50, 60, 70};
    QTest::newRow("1000 baud, 5 ms delay") << 1000 << 5 << 0 << QList<int>{45, 55, 65, 75};
    QTest::newRow("1000 baud, split in 2 with 100 ms pause") << 1000 << 0 << 100 << QList<int>{40, 50, 160, 170};
    QTest::newRow("unpaced") << 0 << 0 << 0 << QList<int>{0, 0, 0, 0};
    QTest::newRow("unpaced, split with pause") << 0 << 0 << 30 << QList<int>{0, 0, 30, 30};
}

void SimulatorResponderTest::pacing()
{
    QFETCH(int, baud);
    QFETCH(int, delayMs);
    QFETCH(int, pauseMs);
    QFETCH(QList<int>, dueMs);
    using namespace std::chrono;

    OutputSchedule schedule(baud, milliseconds(delayMs));
    const OutputSchedule::TimePoint t0{seconds(1000)};
    ShapedReply reply;
    if (pauseMs > 0)
        reply.chunks = {{{1, 2}, 0}, {{3, 4}, pauseMs}};
    else
        reply.chunks = {{{1, 2, 3, 4}, 0}};

    schedule.NoteReceived(4, t0);
    schedule.Enqueue(reply, t0);

    // Write each byte at the moment it becomes due; nothing comes early.
    for (int i = 0; i < 4; ++i) {
        const auto due = t0 + milliseconds(dueMs[i]);
        QCOMPARE(schedule.NextDue().value(), due);
        if (due > t0)
            QVERIFY(schedule.Due(due - microseconds(1)).empty());
        QCOMPARE(int(schedule.Due(due).front()), i + 1);
        schedule.Consume(1);
    }
    QVERIFY(schedule.Empty());

    // A second reply queues behind the first on the line.
    schedule.Enqueue(reply, t0);
    QVERIFY(schedule.NextDue().value() >= t0 + milliseconds(dueMs[3]) + schedule.ByteTime());
}

void SimulatorResponderTest::options_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("valid");

    QTest::newRow("none") << QStringList{} << true;
    QTest::newRow("all") << QStringList{"--silent", "--refuse", "--bad-bcc", "--short", "5", "--split=3", "--pause", "2",
                                        "--stall-after", "7", "--hangup-after", "9", "--baud", "9600", "--delay", "4",
                                        "--version-text", "X", "--block-file", "b", "--dump-block", "d", "--link", "l",
                                        "--extra", "4", "--garbage", "--faults-from", "2"}
                         << true;
    QTest::newRow("unknown option") << QStringList{"--bogus"} << false;
    QTest::newRow("missing value") << QStringList{"--short"} << false;
    QTest::newRow("negative count") << QStringList{"--short", "-1"} << false;
    QTest::newRow("not a number") << QStringList{"--stall-after", "ten"} << false;
    QTest::newRow("trailing junk") << QStringList{"--hangup-after", "5x"} << false;
    QTest::newRow("split of 0") << QStringList{"--split", "0"} << false;
    QTest::newRow("baud of 0") << QStringList{"--baud", "0"} << false;
    QTest::newRow("line speed") << QStringList{"--line-speed", "19200", "--baud", "19200"} << true;
    QTest::newRow("line speed of 0") << QStringList{"--line-speed", "0"} << false;
    QTest::newRow("pause without split") << QStringList{"--pause", "5"} << false;
    QTest::newRow("flag with a value") << QStringList{"--silent=1"} << false;
    QTest::newRow("empty link path") << QStringList{"--link", ""} << false;
    QTest::newRow("count, a link each") << QStringList{"--count", "3", "--link", "/tmp/dec{n}", "--block-file", "b{n}"}
                                        << true;
    QTest::newRow("count, one link for all") << QStringList{"--count", "3", "--link", "/tmp/dec"} << false;
    QTest::newRow("count, one dump for all") << QStringList{"--count", "2", "--dump-block", "d"} << false;
    QTest::newRow("count of 0") << QStringList{"--count", "0"} << false;
    QTest::newRow("faults on two kinds") << QStringList{"--faults-on", "download,upload", "--refuse"} << true;
    QTest::newRow("faults on an unknown kind") << QStringList{"--faults-on", "download,nap"} << false;
    QTest::newRow("faults on a trailing comma") << QStringList{"--faults-on", "download,"} << false;
    QTest::newRow("drop during two kinds") << QStringList{"--drop-during", "download,upload"} << false;
    QTest::newRow("units") << QStringList{"--units", "3", "--unit-gap", "0", "--unit-every", "50"} << true;
    QTest::newRow("units of 0") << QStringList{"--units", "0"} << false;
    QTest::newRow("unit every 0") << QStringList{"--unit-every", "0"} << false;
    QTest::newRow("count, a pid file each") << QStringList{"--count", "2", "--pid-file", "/tmp/p{n}"} << true;
    QTest::newRow("count, one pid file for all") << QStringList{"--count", "2", "--pid-file", "/tmp/p"} << false;
}

void SimulatorResponderTest::options()
{
    QFETCH(QStringList, args);
    QFETCH(bool, valid);

    const ParsedOptions parsed = Parse(args);

    QCOMPARE(parsed.error.empty(), valid);
    if (QByteArray(QTest::currentDataTag()) == "all") {
        const SimOptions &o = parsed.options;
        QVERIFY(o.faults.silent && o.faults.refuse && o.faults.badBcc);
        QCOMPARE(o.faults.shortLength.value(), std::size_t(5));
        QCOMPARE(o.faults.splitSize, std::size_t(3));
        QCOMPARE(o.faults.pauseMs, 2);
        QCOMPARE(o.faults.stallAfter.value(), std::size_t(7));
        QCOMPARE(o.faults.hangUpAfter.value(), std::size_t(9));
        QCOMPARE(o.faults.extraBytes, std::size_t(4));
        QVERIFY(o.faults.garbage);
        QCOMPARE(o.faults.fromRequest, std::size_t(2));
        QCOMPARE(o.baud, 9600);
        QCOMPARE(o.delayMs, 4);
        QCOMPARE(o.versionText, std::string("X"));
        QCOMPARE(o.blockFile, std::string("b"));
        QCOMPARE(o.dumpBlockFile, std::string("d"));
        QCOMPARE(o.linkPath, std::string("l"));
    }
    if (QByteArray(QTest::currentDataTag()) == "count, a link each") {
        const SimOptions third = ForDecoder(parsed.options, 3);
        QCOMPARE(parsed.options.count, 3);
        QCOMPARE(third.linkPath, std::string("/tmp/dec3"));
        QCOMPARE(third.blockFile, std::string("b3"));
        QCOMPARE(third.count, 1);
    }
    if (QByteArray(QTest::currentDataTag()) == "count, a pid file each")
        QCOMPARE(ForDecoder(parsed.options, 2).pidFile, std::string("/tmp/p2"));
    if (QByteArray(QTest::currentDataTag()) == "faults on two kinds") {
        QCOMPARE(parsed.options.faults.faultsOn, KindBit(RequestKind::Download) | KindBit(RequestKind::Upload));
        QVERIFY(SimUsage().find(RequestKindNames()) != std::string::npos);
    }
    if (QByteArray(QTest::currentDataTag()) == "units") {
        QCOMPARE(parsed.options.units.maxUnits, 3);
        QCOMPARE(parsed.options.units.gapMs, 0);
        QCOMPARE(parsed.options.units.everyMs, 50);
    }
}

void SimulatorResponderTest::blockFiles()
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("block").toStdString();
    QVERIFY(WriteBlockFile(path, PatternBlock()).empty());
    Block read = FactoryBlock();
    QVERIFY(ReadBlockFile(path, read).empty());
    QVERIFY(read == PatternBlock());

    for (int size : {0, 255, 257}) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << std::string(std::size_t(size), 'x');
        Block kept = FactoryBlock();
        QVERIFY(!ReadBlockFile(path, kept).empty());
        QVERIFY(kept == FactoryBlock());
    }
    QVERIFY(!ReadBlockFile(dir.filePath("missing").toStdString(), read).empty());
    QVERIFY(!WriteBlockFile(dir.filePath("no/such/folder/block").toStdString(), read).empty());
}

void SimulatorResponderTest::consoleCommands_data()
{
    QTest::addColumn<Bytes>("request");
    QTest::addColumn<int>("statusByte");
    QTest::addColumn<bool>("refusing");
    QTest::addColumn<bool>("badBcc");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("log");
    QTest::newRow("status, default byte") << protocol::StatusRequest() << -1 << false << false
                                          << QByteArray::fromHex("060202002B0328") << "status 0x2B";
    QTest::newRow("status 0x00") << protocol::StatusRequest() << 0x00 << false << false
                                 << QByteArray::fromHex("06020200000303") << "status 0x00";
    QTest::newRow("status, refused") << protocol::StatusRequest() << 0x2B << true << false
                                     << QByteArray::fromHex("150202002B0328") << "refused";
    QTest::newRow("status, bad BCC") << protocol::StatusRequest() << 0x2B << false << true
                                     << QByteArray::fromHex("060202002B03D7") << "status 0x2B";
    QTest::newRow("trigger") << protocol::TriggerRequest() << -1 << false << false << QByteArray() << "trigger";
    QTest::newRow("trigger, refused") << protocol::TriggerRequest() << -1 << true << false << QByteArray()
                                      << "trigger";
}

void SimulatorResponderTest::consoleCommands()
{
    QFETCH(Bytes, request);
    QFETCH(int, statusByte);
    QFETCH(bool, refusing);
    QFETCH(bool, badBcc);
    QFETCH(QByteArray, reply);
    QFETCH(QString, log);
    DecoderResponder responder;
    if (statusByte >= 0)
        responder.SetStatusByte(std::uint8_t(statusByte));
    FaultOptions faults;
    faults.refuse = refusing;
    faults.badBcc = badBcc;
    DecoderSimulator sim(responder, faults);
    const auto events = sim.Feed(request);
    QCOMPARE(events.size(), std::size_t(1));
    QCOMPARE(Q(events[0].reply.Joined()).toHex(), reply.toHex());
    QVERIFY2(QString::fromStdString(events[0].log).contains(log), events[0].log.c_str());
    QVERIFY(!events[0].blockStored);
    QVERIFY(sim.responder().block() == FactoryBlock());
    if (!refusing && !badBcc && !reply.isEmpty()) {
        const auto judged = protocol::JudgeStatusReply(B(reply));
        QCOMPARE(judged.state, InputPos::Accepted);
        QCOMPARE(int((*judged.bytes)[protocol::StatusByteIndex]), statusByte < 0 ? 0x2B : statusByte);
    }
}

void SimulatorResponderTest::statusByteOption_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("statusByte"); // -1: refused
    QTest::newRow("hex") << "0x2B" << 0x2B;
    QTest::newRow("upper-case prefix") << "0XfE" << 0xFE;
    QTest::newRow("decimal") << "43" << 43;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("256") << "256" << -1;
    QTest::newRow("0x100") << "0x100" << -1;
    QTest::newRow("prefix only") << "0x" << -1;
    QTest::newRow("negative") << "-1" << -1;
    QTest::newRow("junk") << "2B" << -1;
}

void SimulatorResponderTest::statusByteOption()
{
    QFETCH(QString, value);
    QFETCH(int, statusByte);
    const std::string text = value.toStdString();
    const ParsedOptions parsed = ParseSimOptions({"--status-byte", text});
    QCOMPARE(parsed.error.empty(), statusByte >= 0);
    if (statusByte >= 0)
        QCOMPARE(int(parsed.options.statusByte), statusByte);
    QCOMPARE(int(ParseSimOptions({}).options.statusByte), 0x2B);
}

void SimulatorResponderTest::dropDuring_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<Bytes>("request");
    QTest::addColumn<bool>("unplugs");

    const Bytes download = protocol::DownloadFrame(PatternBlock());
    QTest::newRow("a download") << QStringList{"--drop-during", "download"} << download << true;
    QTest::newRow("its first two bytes") << QStringList{"--drop-during", "download"} << Bytes(download.begin(), download.begin() + 2)
                                         << true;
    QTest::newRow("a version query") << QStringList{"--drop-during", "download"} << protocol::ReadVersionRequest() << false;
    QTest::newRow("an upload after a version query")
        << QStringList{"--drop-during", "upload"}
        << Concat({protocol::ReadVersionRequest(), protocol::ReadConfigurationRequest()}) << true;
}

// The decoder unplugs as the request begins: nothing of it or after it is
// answered or stored, and once back it answers as before.
void SimulatorResponderTest::dropDuring()
{
    QFETCH(QStringList, args);
    QFETCH(Bytes, request);
    QFETCH(bool, unplugs);
    const ParsedOptions parsed = Parse(args);
    QVERIFY2(parsed.error.empty(), parsed.error.c_str());
    DecoderSimulator sim(DecoderResponder(), parsed.options.faults);

    const auto events = sim.Feed(Concat({request, protocol::StatusRequest()}));
    QVERIFY(!events.empty());
    QCOMPARE(events.back().unplug, unplugs);
    for (std::size_t i = 0; i + 1 < events.size(); ++i)
        QVERIFY(!events[i].unplug);
    const bool statusAnswered = Q(events.back().reply.Joined()).startsWith('\x06');
    QCOMPARE(statusAnswered, !unplugs);
    QVERIFY(sim.responder().block() == FactoryBlock());
    QVERIFY(!sim.HasUnfinishedRequest() || !unplugs);
    QCOMPARE(Replies(sim, protocol::ReadVersionRequest()).size(), 36);
}

void SimulatorResponderTest::unitBlocks()
{
    const Block start = FactoryBlock();
    QVERIFY(UnitBlock(start, 1) == start);
    const protocol::BlockChecksum startKept{start[254], start[255]};
    const bool startChecksumRight = protocol::ComputeBlockChecksum(start) == startKept;
    std::set<Block> seen{start};
    for (int unit = 2; unit <= 300; ++unit) {
        const Block block = UnitBlock(start, unit);
        QVERIFY2(seen.insert(block).second, qPrintable(QString("unit %1 repeats a block").arg(unit)));
        QVERIFY(UnitBlock(start, unit) == block);
        for (std::size_t i = 0; i < 254; ++i)
            QVERIFY(block[i] == start[i] || i == 192 || i == 193);
        QVERIFY(block[192] >= 1 && block[192] <= 99 && block[193] >= 1 && block[193] <= 99);
        const protocol::BlockChecksum kept{block[254], block[255]};
        QCOMPARE(protocol::ComputeBlockChecksum(block) == kept, startChecksumRight);
    }
    // A wrong checksum stays as the starting block had it.
    Block wrong = PatternBlock();
    wrong[255] ^= 0x01;
    QCOMPARE(UnitBlock(wrong, 2)[254], wrong[254]);
    QCOMPARE(UnitBlock(wrong, 2)[255], wrong[255]);

    // A new unit: its own block, and the faults counted from its first request.
    FaultOptions faults;
    faults.refuse = true;
    faults.fromRequest = 2;
    DecoderSimulator sim(DecoderResponder(), faults);
    QVERIFY(sim.Feed(protocol::DownloadFrame(PatternBlock())).at(0).blockStored);
    sim.NewUnit(UnitBlock(start, 3));
    const auto upload = protocol::JudgeUploadReply(B(Replies(sim, protocol::ReadConfigurationRequest())));
    QVERIFY(upload.block && *upload.block == UnitBlock(start, 3));
}

void SimulatorResponderTest::unitCycle()
{
    using namespace std::chrono_literals;
    using Step = UnitCycle::Step;
    const UnitCycle::TimePoint t0{};

    UnitCycle scheduled({.gapMs = 10, .everyMs = 100, .maxUnits = 2}, t0);
    QCOMPARE(scheduled.Due(t0 + 99ms), Step::None);
    QCOMPARE(scheduled.Due(t0 + 100ms), Step::Leave);
    scheduled.Leave(t0 + 100ms);
    QVERIFY(!scheduled.InHand());
    QCOMPARE(scheduled.Due(t0 + 109ms), Step::None);
    QCOMPARE(scheduled.Due(t0 + 110ms), Step::Arrive);
    QCOMPARE(scheduled.unit(), 2);
    QVERIFY(scheduled.NextDue() == t0 + 210ms);
    scheduled.Leave(t0 + 150ms); // told to go early
    QVERIFY(!scheduled.NextDue());
    QCOMPARE(scheduled.Due(t0 + 1h), Step::None);
    QCOMPARE(scheduled.unit(), 2);

    UnitCycle told({}, t0);
    QVERIFY(!told.NextDue());
    told.Leave(t0 + 5s);
    told.Leave(t0 + 6s); // a second signal while the next is on its way
    QVERIFY(told.NextDue() == t0 + 5s + 300ms);
    QCOMPARE(told.Due(t0 + 6s), Step::Arrive);
    QCOMPARE(told.unit(), 2);
}

// SIGUSR2: each unit uploads a block of its own, whatever the last one was
// given.
void SimulatorResponderTest::newUnitsOnTheLine()
{
    QTemporaryDir dir;
    const QString link = dir.filePath("line");
    test::SimulatorProcess sim;
    QVERIFY(sim.start({"--link", link, "--unit-gap", "20"}));
    QVERIFY(Linked(link));
    QVERIFY(Uploaded(link) == FactoryBlock());
    for (int unit = 2; unit <= 3; ++unit) {
        {
            DeviceClient client(link);
            QVERIFY(client.send(protocol::DownloadFrame(PatternBlock())));
            QCOMPARE(client.receive(1), QByteArray("\x06"));
        }
        QVERIFY(sim.nextUnit());
        QVERIFY(LogSays(sim, QString("unit %1 left").arg(unit - 1)));
        QVERIFY2(LogSays(sim, QString("unit %1 plugged in on /dev/").arg(unit)), qPrintable(sim.log()));
        const std::optional<Block> found = Uploaded(link);
        QVERIFY(found && *found == UnitBlock(FactoryBlock(), unit));
    }
}

void SimulatorResponderTest::lastUnitLeavesTheLineEmpty()
{
    QTemporaryDir dir;
    const QString link = dir.filePath("line");
    test::SimulatorProcess sim;
    QVERIFY(sim.start({"--link", link, "--unit-every", "30", "--unit-gap", "10", "--units", "2"}));
    QVERIFY2(LogSays(sim, "unit 2 left"), qPrintable(sim.log()));
    QVERIFY(sim.nextUnit());
    QVERIFY(sim.toggleVanish());
    test::runFor(150); // several units' time: none comes
    QVERIFY(LogSays(sim, "SIGUSR1 ignored"));
    QVERIFY2(!sim.log().contains("unit 3"), qPrintable(sim.log()));
    QCOMPARE(sim.log().count("plugged in"), 1);
    QVERIFY(!QFileInfo(link).isSymLink());
}

void SimulatorResponderTest::lostMidDownload()
{
    QTemporaryDir dir;
    const QString link = dir.filePath("line");
    test::SimulatorProcess sim;
    QVERIFY(sim.start({"--link", link, "--drop-during", "download"}));
    QVERIFY(Linked(link));
    {
        DeviceClient client(link);
        // The write itself may fail already: the port goes while the frame
        // is still on its way.
        QVERIFY(client.isOpen());
        client.send(protocol::DownloadFrame(PatternBlock()));
        QCOMPARE(client.receive(1), QByteArray());
        QVERIFY(client.lost());
    }
    QVERIFY(LogSays(sim, "vanished"));
    QVERIFY(!QFileInfo(link).isSymLink());
    QVERIFY(sim.toggleVanish());
    QVERIFY(LogSays(sim, "back on"));
    QVERIFY(Uploaded(link) == FactoryBlock()); // the download never got in
}

void SimulatorResponderTest::pidFiles()
{
    QTemporaryDir dir;
    test::SimulatorProcess sim;
    QVERIFY(sim.start({"--count", "2", "--link", dir.filePath("line{n}"), "--pid-file", dir.filePath("pid{n}"),
                       "--unit-gap", "10"}));
    const auto pidOf = [&](int n) {
        QFile file(dir.filePath(QString("pid%1").arg(n)));
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toInt() : 0;
    };
    QVERIFY(test::waitUntil([&] { return pidOf(1) > 0 && pidOf(2) > 0; }, test::SimulatorProcess::Patience));
    QVERIFY(pidOf(1) != pidOf(2));
    QVERIFY(Linked(dir.filePath("line1")) && Linked(dir.filePath("line2")));

    QCOMPARE(::kill(pid_t(pidOf(2)), SIGUSR2), 0);
    QVERIFY(LogSays(sim, "unit 2 plugged in"));
    QVERIFY(Uploaded(dir.filePath("line2")) == UnitBlock(FactoryBlock(), 2));
    QVERIFY(Uploaded(dir.filePath("line1")) == FactoryBlock());

    QVERIFY(sim.stop());
    QVERIFY(!QFile::exists(dir.filePath("pid1")) && !QFile::exists(dir.filePath("pid2")));
}

QTEST_GUILESS_MAIN(SimulatorResponderTest)
#include "tst_simulator_responder.moc"
