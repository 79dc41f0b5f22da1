// Frames, the block checksum and the reply judges of the serial protocol.

#include <QTest>

#include <algorithm>
#include <numeric>

#include "link/protocol/block_checksum.h"
#include "link/protocol/download_reply.h"
#include "link/protocol/exchange_limits.h"
#include "link/protocol/frame.h"
#include "link/protocol/requests.h"
#include "link/protocol/upload_reply.h"
#include "link/protocol/version_reply.h"
#include "support/stepped_block.h"

using namespace q51;
using namespace q51::protocol;

namespace {

QByteArray Q(const Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

ByteView View(const QByteArray &bytes)
{
    return AsBytes(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

QByteArray Hex(const char *hex)
{
    return QByteArray::fromHex(hex);
}

QByteArray BlockBytes(const Block &block)
{
    return QByteArray(reinterpret_cast<const char *>(block.data()), BlockSize);
}

Block PatternBlock()
{
    return test::SteppedBlock(7, 3);
}

// A correct reply, written out byte by byte rather than by the code under
// test: ACK, STX, command, length byte, payload, ETX, XOR of STX..ETX.
QByteArray GoodReply(char command, const QByteArray &payload)
{
    QByteArray r;
    r += '\x06';
    r += '\x02';
    r += command;
    r += char(payload.size() - 1);
    r += payload;
    r += '\x03';
    char x = 0;
    for (qsizetype i = 1; i < r.size(); ++i)
        x ^= r[i];
    r += x;
    return r;
}

// Changes one byte and repairs the BCC, so only the rule about that byte
// can reject the reply.
QByteArray WithByte(QByteArray r, int index, char value)
{
    r[r.size() - 1] = char(r[r.size() - 1] ^ r[index] ^ value);
    r[index] = value;
    return r;
}

QByteArray Flipped(QByteArray r, int index)
{
    r[index] = char(r[index] ^ 0x10);
    return r;
}

const QByteArray VersionText = QByteArray("FW V2.31 (C)").leftJustified(30, ' ');

} // namespace

class ProtocolTest : public QObject {
    Q_OBJECT
private slots:
    void frames_data();
    void frames();
    void oversizedPayloadIsRefused();
    void checksum_data();
    void checksum();
    void checksumIsSentInTheDownloadFrame();
    void downloadReply_data();
    void downloadReply();
    void uploadReply_data();
    void uploadReply();
    void versionReply_data();
    void versionReply();
    void repliesOfAnyLengthAreJudgedSafely();
    void limitsMatchTheReplies();
};

void ProtocolTest::frames_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("download, all-zero block")
        << Q(DownloadFrame(Block{})) << Hex("0201FF") + QByteArray(256, '\0') + Hex("03FF");
    Block oneByte{};
    oneByte[100] = 0x5A;
    QByteArray expected = Hex("0201FF") + QByteArray(256, '\0') + Hex("03A5");
    expected[3 + 100] = 0x5A;
    QTest::newRow("download, BCC is FF xor the block") << Q(DownloadFrame(oneByte)) << expected;
    QTest::newRow("read configuration") << Q(ReadConfigurationRequest()) << Hex("02800381");
    QTest::newRow("read version") << Q(ReadVersionRequest()) << Hex("02850384");
    const std::uint8_t one[] = {0x41};
    QTest::newRow("one-byte payload, length byte 0") << Q(BuildFrame(0x10, one)) << Hex("0210004103") + Hex("50");
}

void ProtocolTest::frames()
{
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, expected);
    QCOMPARE(frame.toHex(' '), expected.toHex(' '));
}

void ProtocolTest::oversizedPayloadIsRefused()
{
    const Bytes payload(257, 0);
    QVERIFY_THROWS_EXCEPTION(std::length_error, BuildFrame(0x01, payload));
    QCOMPARE(BuildFrame(0x01, Bytes(256, 0)).size(), std::size_t(261));
}

void ProtocolTest::checksum_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("low");

    Block b{};
    std::fill(b.begin(), b.begin() + 18, 0xFF); // 18 * 255 = 0x11EE
    b[18] = 0x46;                               // + 70 = 0x1234
    QTest::newRow("sum 0x1234") << BlockBytes(b) << 0x12 << 0x34;

    Block full;
    full.fill(0xFF);
    QTest::newRow("largest sum 254*255") << BlockBytes(full) << 0xFD << 0x02;

    Block stale{};
    stale[254] = 0xAA;
    stale[255] = 0xBB;
    QTest::newRow("old checksum bytes do not count") << BlockBytes(stale) << 0 << 0;

    Block low{};
    low[253] = 0xFF;
    low[0] = 0x01;
    QTest::newRow("carry into the high byte") << BlockBytes(low) << 0x01 << 0x00;
}

void ProtocolTest::checksum()
{
    QFETCH(QByteArray, block);
    QFETCH(int, high);
    QFETCH(int, low);
    Block b{};
    std::copy(block.begin(), block.end(), b.begin());
    const Block before = b;

    WriteBlockChecksum(b);

    QCOMPARE(int(b[254]), high);
    QCOMPARE(int(b[255]), low);
    QVERIFY(std::equal(b.begin(), b.begin() + 254, before.begin()));
}

void ProtocolTest::checksumIsSentInTheDownloadFrame()
{
    Block b{};
    std::fill(b.begin(), b.begin() + 18, 0xFF);
    b[18] = 0x46;
    WriteBlockChecksum(b);
    const Bytes frame = DownloadFrame(b);
    QCOMPARE(int(frame[3 + 254]), 0x12);
    QCOMPARE(int(frame[3 + 255]), 0x34);
}

void ProtocolTest::downloadReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("state");
    QTest::newRow("nothing") << QByteArray() << 0;
    QTest::newRow("ACK") << Hex("06") << 1;
    QTest::newRow("NAK") << Hex("15") << 2;
    QTest::newRow("ACK, then more") << Hex("0615") << 1;
    QTest::newRow("ACK second") << Hex("1506") << 2;
}

void ProtocolTest::downloadReply()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, state);
    QCOMPARE(int(JudgeDownloadReply(View(reply))), state);
}

void ProtocolTest::uploadReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("state");
    QTest::addColumn<QByteArray>("block"); // empty: none taken

    const QByteArray block = BlockBytes(PatternBlock());
    const QByteArray good = GoodReply('\x01', block);
    QCOMPARE(good.size(), 262);

    QTest::newRow("good") << good << 1 << block;
    QByteArray otherHeader = good;
    otherHeader[1] = '\x55';
    otherHeader[2] = '\x80';
    QTest::newRow("STX and command not compared") << otherHeader << 1 << block;
    QTest::newRow("bad XOR in the block") << Flipped(good, 100) << 2 << QByteArray();
    QTest::newRow("bad BCC") << Flipped(good, 261) << 2 << QByteArray();
    QTest::newRow("length byte not FF") << WithByte(good, 3, '\xFE') << 2 << QByteArray();
    QTest::newRow("no ETX at 260") << WithByte(good, 260, '\x04') << 2 << QByteArray();
    QTest::newRow("first byte not ACK") << WithByte(good, 0, '\x15') << 3 << QByteArray();
    QTest::newRow("261 bytes is still waiting") << good.left(261) << 0 << QByteArray();
    QTest::newRow("lone refusal byte") << Hex("15") << 0 << QByteArray();
    QTest::newRow("nothing") << QByteArray() << 0 << QByteArray();
    QTest::newRow("trailing byte is not part of the reply") << good + Hex("0D") << 1 << block;
    QTest::newRow("stray byte in front shifts the frame") << Hex("06") + good.left(261) << 2 << QByteArray();
    QTest::newRow("version reply is too short") << GoodReply('\x06', VersionText) << 0 << QByteArray();
}

void ProtocolTest::uploadReply()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, state);
    QFETCH(QByteArray, block);

    const UploadReply judged = JudgeUploadReply(View(reply));

    QCOMPARE(int(judged.state), state);
    QCOMPARE(judged.block.has_value(), !block.isEmpty());
    if (judged.block)
        QCOMPARE(BlockBytes(*judged.block).toHex(), block.toHex());
}

void ProtocolTest::versionReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("state");
    QTest::addColumn<QByteArray>("text");

    const QByteArray good = GoodReply('\x06', VersionText);
    QCOMPARE(good.size(), 36);

    QTest::newRow("good, trailing blanks kept") << good << 1 << VersionText;
    QByteArray otherHeader = good;
    otherHeader[1] = '\x00';
    otherHeader[2] = '\x85';
    QTest::newRow("STX and command not compared") << otherHeader << 1 << VersionText;
    QByteArray high = VersionText;
    high[0] = '\xE9';
    high[29] = '\x00';
    QTest::newRow("any byte value is text") << GoodReply('\x06', high) << 1 << high;
    QTest::newRow("bad XOR") << Flipped(good, 10) << 2 << QByteArray();
    QTest::newRow("length byte not 1D") << WithByte(good, 3, '\x1E') << 2 << QByteArray();
    QTest::newRow("no ETX at 34") << WithByte(good, 34, '\x00') << 2 << QByteArray();
    QTest::newRow("first byte not ACK") << WithByte(good, 0, '\x00') << 3 << QByteArray();
    QTest::newRow("35 bytes is still waiting") << good.left(35) << 0 << QByteArray();
    QTest::newRow("trailing bytes are not part of the reply") << good + Hex("0D0A") << 1 << VersionText;
}

void ProtocolTest::versionReply()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, state);
    QFETCH(QByteArray, text);

    const VersionReply judged = JudgeVersionReply(View(reply));

    QCOMPARE(int(judged.state), state);
    QCOMPARE(QByteArray::fromStdString(judged.text).toHex(' '), text.toHex(' '));
}

// Every length from 0 to 300, each reply in a buffer of exactly that size
// so the sanitizers of the fuzz build see any read past its end. Any prefix
// of a good reply shorter than the whole is still waiting for the rest.
void ProtocolTest::repliesOfAnyLengthAreJudgedSafely()
{
    const QByteArray upload = GoodReply('\x01', BlockBytes(PatternBlock()));
    const QByteArray version = GoodReply('\x06', VersionText);
    for (int n = 0; n <= 300; ++n) {
        for (const QByteArray &source : {upload, version, QByteArray(300, '\x06'), QByteArray(300, '\xFF')}) {
            const QByteArray prefix = source.left(n);
            const Bytes exact(prefix.begin(), prefix.end());
            const UploadReply u = JudgeUploadReply(exact);
            const VersionReply v = JudgeVersionReply(exact);
            const InputPos d = JudgeDownloadReply(exact);
            if (n < 262)
                QCOMPARE(u.state, InputPos::NothingReceived);
            if (n < 36)
                QCOMPARE(v.state, InputPos::NothingReceived);
            QCOMPARE(d == InputPos::NothingReceived, n == 0);
            QCOMPARE(u.block.has_value(), u.state == InputPos::Accepted);
            QCOMPARE(v.text.size(), v.state == InputPos::Accepted ? std::size_t(30) : std::size_t(0));
        }
    }
}

// One table drives the exchange engine and the benchmarks; these are the
// numbers the decoders are built for.
void ProtocolTest::limitsMatchTheReplies()
{
    QCOMPARE(DownloadLimits.receiveThreshold, std::size_t(1));
    QCOMPARE(UploadLimits.receiveThreshold, std::size_t(262));
    QCOMPARE(VersionLimits.receiveThreshold, std::size_t(36));
    QCOMPARE(DownloadLimits.timeoutMs, 5000);
    QCOMPARE(UploadLimits.timeoutMs, 5000);
    QCOMPARE(VersionLimits.timeoutMs, 3000);
}

QTEST_APPLESS_MAIN(ProtocolTest)
#include "tst_protocol.moc"
