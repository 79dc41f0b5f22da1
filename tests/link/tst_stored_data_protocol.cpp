// Stored-data frames and replies: the request frames, the read reply read
// part by part (records, checks, group failures, nothing read past the
// reply), and the size, free-space and clear replies.

#include <QTest>

#include <stdexcept>

#include "link/protocol/frame.h"
#include "link/protocol/stored_data_replies.h"
#include "link/protocol/stored_data_requests.h"
#include "link/protocol/stored_read_parser.h"

using namespace q51;
using namespace q51::protocol;

Q_DECLARE_METATYPE(q51::protocol::StoredDataStatus)

namespace {

using Records = QList<QPair<int, QByteArray>>;

QByteArray Q(const Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

Bytes B(const QByteArray &bytes)
{
    return Bytes(bytes.begin(), bytes.end());
}

// ACK, 02 61, the length of the records minus one, the records, ETX, BCC.
QByteArray MakeReadReply(const QByteArray &records)
{
    const int length = int(records.size()) - 1;
    QByteArray reply = QByteArray::fromHex("060261");
    reply.append(char(length / 256)).append(char(length % 256)).append(records).append('\x03');
    reply.append(char(Xor(B(reply.mid(1)))));
    return reply;
}

QByteArray Record(const QByteArray &data)
{
    return char(data.size() + 2) + data + char(Xor(B(data)));
}

// The parser fed the first `first` bytes as the first part, the rest in
// pieces of `piece` bytes.
struct Parsed {
    StoredDataStatus status;
    bool finished;
    Records records;
    std::optional<int> failedGroup;
};

Parsed Parse(const QByteArray &reply, int firstGroup = 0, qsizetype first = -1, qsizetype piece = 1)
{
    StoredReadParser parser(firstGroup);
    Records records;
    auto collect = [&] {
        for (const GroupRecord &r : parser.TakeRecords())
            records.append({r.group, Q(r.data)});
    };
    if (first < 0)
        first = reply.size();
    parser.TakeFirstPart(B(reply.left(first)));
    collect();
    for (qsizetype at = first; at < reply.size(); at += piece) {
        parser.TakeMore(B(reply.mid(at, piece)));
        collect();
    }
    return {parser.status(), parser.Finished(), records, parser.failedGroup()};
}

QByteArray MakeSizesReply(const QByteArray &sizes)
{
    QByteArray reply = QByteArray::fromHex("06026307cd") + sizes.leftJustified(1998, '\0', true);
    reply.append('\x03');
    reply.append(char(Xor(B(reply.mid(1)))));
    return reply;
}

QByteArray MakeFreeSpaceReply(const QByteArray &number)
{
    QByteArray reply = QByteArray::fromHex("06026203") + number + '\x03';
    reply.append(char(Xor(B(reply.mid(1)))));
    return reply;
}

} // namespace

class StoredDataProtocolTest : public QObject {
    Q_OBJECT
private slots:
    void requests_data();
    void requests();
    void invalidRangesAreRefused();
    void readReplyOfTwoGroups();
    void readReplyInEveryPossiblePieces();
    void readReplyFirstPartChecks_data();
    void readReplyFirstPartChecks();
    void groupChecksumKeepsEarlierRecords();
    void groupLengthZeroStopsTheRead();
    void recordRunningPastTheRecordsIsReported();
    void nothingIsReadPastTheReply();
    void longReplyProgress();
    void sizesReply_data();
    void sizesReply();
    void freeSpaceReply_data();
    void freeSpaceReply();
    void clearReply();
};

void StoredDataProtocolTest::requests_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("read all") << Q(ReadGroupsRequest(std::nullopt)) << QByteArray("02c003c1");
    QTest::newRow("read 1..300") << Q(ReadGroupsRequest(GroupRange{1, 300})) << QByteArray("0241030001012c036f");
    QTest::newRow("read 0..2000") << Q(ReadGroupsRequest(GroupRange{0, 2000})) << QByteArray("024103000007d00394");
    QTest::newRow("read 5..5") << Q(ReadGroupsRequest(GroupRange{5, 5})) << QByteArray("0241030005000503" "43");
    QTest::newRow("clear all") << Q(ClearGroupsRequest(std::nullopt)) << QByteArray("02c403c5");
    QTest::newRow("clear 0..2000") << Q(ClearGroupsRequest(GroupRange{0, 2000})) << QByteArray("024003000007d00395");
    QTest::newRow("free space") << Q(FreeSpaceRequest()) << QByteArray("02c203c3");
    QTest::newRow("group sizes") << Q(GroupSizesRequest()) << QByteArray("02c303c2");
}

void StoredDataProtocolTest::requests()
{
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, expected);
    QCOMPARE(frame.toHex(), expected);
}

void StoredDataProtocolTest::invalidRangesAreRefused()
{
    QVERIFY(IsValidGroupRange({0, 0}));
    QVERIFY(IsValidGroupRange({2000, 2000}));
    QVERIFY(!IsValidGroupRange({10, 5}));
    QVERIFY(!IsValidGroupRange({-1, 5}));
    QVERIFY(!IsValidGroupRange({0, 2001}));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, ReadGroupsRequest(GroupRange{10, 5}));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, ClearGroupsRequest(GroupRange{0, 2001}));
}

void StoredDataProtocolTest::readReplyOfTwoGroups()
{
    const QByteArray reply = QByteArray::fromHex("0602610006044142030343430361");
    QCOMPARE(MakeReadReply(Record("AB") + Record("C")).toHex(), reply.toHex());

    const Parsed all = Parse(reply);
    QCOMPARE(all.status, StoredDataStatus::Accepted);
    QVERIFY(all.finished);
    QCOMPARE(all.records, (Records{{0, "AB"}, {1, "C"}}));

    // A range read numbers the records from its start.
    QCOMPARE(Parse(reply, 7).records, (Records{{7, "AB"}, {8, "C"}}));

    // Any other last byte: the same records, then the frame check fails.
    QByteArray spoilt = reply;
    spoilt[13] = '\x62';
    const Parsed bad = Parse(spoilt);
    QCOMPARE(bad.status, StoredDataStatus::CheckSumError);
    QVERIFY(bad.finished);
    QCOMPARE(bad.records, (Records{{0, "AB"}, {1, "C"}}));
}

void StoredDataProtocolTest::readReplyInEveryPossiblePieces()
{
    const QByteArray reply =
        MakeReadReply(Record("first") + Record("") + Record(QByteArray(40, 'x')) + Record("\x02\x03"));
    const Records expected{{3, "first"}, {4, ""}, {5, QByteArray(40, 'x')}, {6, "\x02\x03"}};
    for (qsizetype first = 7; first <= reply.size(); ++first) {
        for (const qsizetype piece : {1, 2, 3, 7, 1000}) {
            const Parsed parsed = Parse(reply, 3, first, piece);
            QCOMPARE(parsed.status, StoredDataStatus::Accepted);
            QVERIFY(parsed.finished);
            QCOMPARE(parsed.records, expected);
        }
    }
    // Until the last byte, the reply is not over.
    const Parsed partial = Parse(reply.left(reply.size() - 1));
    QCOMPARE(partial.status, StoredDataStatus::Accepted);
    QVERIFY(!partial.finished);
}

void StoredDataProtocolTest::readReplyFirstPartChecks_data()
{
    QTest::addColumn<QByteArray>("firstPart");
    QTest::addColumn<StoredDataStatus>("status");
    const QByteArray good = MakeReadReply(Record("AB"));
    auto with = [&good](int at, char value) {
        QByteArray changed = good;
        changed[at] = value;
        return changed;
    };
    QTest::newRow("no data in the range") << QByteArray::fromHex("060261ffff0360") << StoredDataStatus::NoDataInRange;
    QTest::newRow("length high byte 0x75") << with(3, '\x75') << StoredDataStatus::DataLengthInvalid;
    QTest::newRow("length high byte 0x74 is believed") << with(3, '\x74') << StoredDataStatus::Accepted;
    QTest::newRow("not acknowledged") << with(0, '\x15') << StoredDataStatus::NotAcknowledged;
    QTest::newRow("command error replaces the refusal")
        << with(2, '\x62').replace(0, 1, "\x15") << StoredDataStatus::CommandError;
    QTest::newRow("no STX") << with(1, '\x00') << StoredDataStatus::CommandError;
    QTest::newRow("fewer than 7 bytes") << good.left(6) << StoredDataStatus::NoCommandSequence;
    QTest::newRow("a lone refusal byte") << QByteArray::fromHex("15") << StoredDataStatus::NoCommandSequence;
    QTest::newRow("0xFF replaces a bad header") << with(3, '\xff').replace(2, 1, "\x62")
                                                << StoredDataStatus::NoDataInRange;
}

void StoredDataProtocolTest::readReplyFirstPartChecks()
{
    QFETCH(QByteArray, firstPart);
    QFETCH(StoredDataStatus, status);
    StoredReadParser parser;
    parser.TakeFirstPart(B(firstPart));
    QCOMPARE(parser.status(), status);
    // A header that failed ends the read; one that passed waits for more.
    QCOMPARE(parser.Finished(), status != StoredDataStatus::Accepted);
    QCOMPARE(parser.HeaderAccepted(), status == StoredDataStatus::Accepted);
}

void StoredDataProtocolTest::groupChecksumKeepsEarlierRecords()
{
    QByteArray bad = Record("CD");
    bad[3] = char(bad[3] ^ 0x01);
    const QByteArray reply = MakeReadReply(Record("AB") + bad + Record("EF"));
    for (const qsizetype first : {qsizetype(7), reply.size()}) {
        const Parsed parsed = Parse(reply, 10, first);
        QCOMPARE(parsed.status, StoredDataStatus::GroupCheckSumError);
        QVERIFY(parsed.finished);
        QCOMPARE(parsed.failedGroup, std::optional<int>(11));
        QCOMPARE(parsed.records, (Records{{10, "AB"}}));
    }
}

void StoredDataProtocolTest::groupLengthZeroStopsTheRead()
{
    const QByteArray reply = MakeReadReply(Record("AB") + QByteArray::fromHex("00414203") + Record("C"));
    const Parsed parsed = Parse(reply, 0, 7);
    QCOMPARE(parsed.status, StoredDataStatus::GroupLengthInvalid);
    QVERIFY(parsed.finished);
    QCOMPARE(parsed.failedGroup, std::optional<int>(1));
    QCOMPARE(parsed.records, (Records{{0, "AB"}}));
}

void StoredDataProtocolTest::recordRunningPastTheRecordsIsReported()
{
    // The second record claims 200 bytes, but the records end after 3.
    const QByteArray reply = MakeReadReply(Record("AB") + QByteArray::fromHex("c84142"));
    const Parsed parsed = Parse(reply);
    QCOMPARE(parsed.status, StoredDataStatus::GroupLengthInvalid);
    QCOMPARE(parsed.failedGroup, std::optional<int>(1));
    QCOMPARE(parsed.records, (Records{{0, "AB"}}));
}

void StoredDataProtocolTest::nothingIsReadPastTheReply()
{
    const QByteArray reply = MakeReadReply(Record("AB"));
    // Bytes behind the reply, even a whole second reply, change nothing.
    const Parsed parsed = Parse(reply + MakeReadReply(Record("ZZ")) + "\xff\x00", 0, 7, 5);
    QCOMPARE(parsed.status, StoredDataStatus::Accepted);
    QCOMPARE(parsed.records, (Records{{0, "AB"}}));

    StoredReadParser parser;
    parser.TakeMore(B(reply)); // before the first part: ignored
    QVERIFY(!parser.Finished());
    QVERIFY(parser.TakeRecords().empty());
}

void StoredDataProtocolTest::longReplyProgress()
{
    QByteArray records;
    for (int i = 0; i < 200; ++i)
        records += Record(QByteArray(100 + i % 50, char('A' + i % 26)));
    const QByteArray reply = MakeReadReply(records);
    QVERIFY(reply.size() > 20000);
    StoredReadParser parser(0);
    parser.TakeFirstPart(B(reply.left(100)));
    QCOMPARE(parser.recordBytes(), std::size_t(records.size()));
    QCOMPARE(parser.bytesSeen(), std::size_t(95));
    parser.TakeMore(B(reply.mid(100)));
    QVERIFY(parser.Finished());
    QCOMPARE(parser.status(), StoredDataStatus::Accepted);
    QCOMPARE(parser.TakeRecords().size(), std::size_t(200));
}

void StoredDataProtocolTest::sizesReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<StoredDataStatus>("status");
    QTest::addColumn<QList<int>>("sizes");
    const QByteArray good = MakeSizesReply(QByteArray::fromHex("0c1e"));
    QTest::newRow("12, 30, 0") << good << StoredDataStatus::Accepted << QList<int>{12, 30};
    QTest::newRow("nothing stored") << MakeSizesReply({}) << StoredDataStatus::Accepted << QList<int>{};
    QByteArray full(1998, '\x01');
    QTest::newRow("every group used") << MakeSizesReply(full) << StoredDataStatus::Accepted << QList<int>(1998, 1);
    QByteArray badBcc = good;
    badBcc[2004] = char(badBcc[2004] ^ 0x20);
    QTest::newRow("check sum error keeps the listing") << badBcc << StoredDataStatus::CheckSumError
                                                      << QList<int>{12, 30};
    QByteArray otherEtx = good;
    otherEtx[2003] = '\x00';
    QTest::newRow("ETX counts as 03 whatever came") << otherEtx << StoredDataStatus::Accepted << QList<int>{12, 30};
    QByteArray nak = good;
    nak[0] = '\x15';
    QTest::newRow("not acknowledged") << nak << StoredDataStatus::NotAcknowledged << QList<int>{};
    QByteArray header = good;
    header[2] = '\x61';
    QTest::newRow("wrong reply command") << header << StoredDataStatus::CommandError << QList<int>{};
    QTest::newRow("one byte short") << good.left(2004) << StoredDataStatus::NothingReceived << QList<int>{};
}

void StoredDataProtocolTest::sizesReply()
{
    QFETCH(QByteArray, reply);
    QFETCH(StoredDataStatus, status);
    QFETCH(QList<int>, sizes);
    const GroupSizesReply judged = JudgeGroupSizesReply(B(reply));
    QCOMPARE(judged.status, status);
    QCOMPARE(QList<int>(judged.sizes.begin(), judged.sizes.end()), sizes);
}

void StoredDataProtocolTest::freeSpaceReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<StoredDataStatus>("status");
    QTest::addColumn<qulonglong>("free");
    QTest::newRow("0 shows 1") << MakeFreeSpaceReply(QByteArray(4, '\0')) << StoredDataStatus::Accepted << 1ULL;
    QTest::newRow("00 00 01 F3 shows 500") << MakeFreeSpaceReply(QByteArray::fromHex("000001f3"))
                                           << StoredDataStatus::Accepted << 500ULL;
    QTest::newRow("most significant byte first") << MakeFreeSpaceReply(QByteArray::fromHex("01020304"))
                                                 << StoredDataStatus::Accepted << 0x01020305ULL;
    QTest::newRow("largest number does not wrap") << MakeFreeSpaceReply(QByteArray::fromHex("ffffffff"))
                                                  << StoredDataStatus::Accepted << 4294967296ULL;
    QByteArray nak = MakeFreeSpaceReply(QByteArray(4, '\0'));
    nak[0] = '\x15';
    QTest::newRow("not acknowledged first") << nak << StoredDataStatus::NotAcknowledged << 0ULL;
    QByteArray both = MakeFreeSpaceReply(QByteArray(4, '\0'));
    both[2] = '\x63';
    QTest::newRow("check sum before the header") << both << StoredDataStatus::CheckSumError << 0ULL;
    both[9] = char(both[9] ^ 0x63 ^ 0x62);
    QTest::newRow("header with a good check sum") << both << StoredDataStatus::CommandError << 0ULL;
    QTest::newRow("nine bytes") << MakeFreeSpaceReply(QByteArray(4, '\0')).left(9) << StoredDataStatus::NothingReceived
                                << 0ULL;
}

void StoredDataProtocolTest::freeSpaceReply()
{
    QFETCH(QByteArray, reply);
    QFETCH(StoredDataStatus, status);
    QFETCH(qulonglong, free);
    const protocol::FreeSpaceReply judged = JudgeFreeSpaceReply(B(reply));
    QCOMPARE(judged.status, status);
    QCOMPARE(qulonglong(judged.freeGroups), free);
}

void StoredDataProtocolTest::clearReply()
{
    QCOMPARE(JudgeClearReply(B(QByteArray::fromHex("06"))), StoredDataStatus::Accepted);
    QCOMPARE(JudgeClearReply(B(QByteArray::fromHex("0602"))), StoredDataStatus::Accepted);
    QCOMPARE(JudgeClearReply(B(QByteArray::fromHex("15"))), StoredDataStatus::NotAcknowledged);
    QCOMPARE(JudgeClearReply({}), StoredDataStatus::NothingReceived);
}

QTEST_APPLESS_MAIN(StoredDataProtocolTest)
#include "tst_stored_data_protocol.moc"
