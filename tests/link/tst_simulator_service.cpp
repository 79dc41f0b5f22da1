// The simulated decoder's service side, driven in-process: the firmware
// update session (image kept, wrong version, refused pages, a session ended
// by an ordinary request, frames in any pieces) and the stored groups
// (reads, ranges, sizes, free space, clearing), plus their options.

#include <QTest>

#include "link/protocol/isp_frames.h"
#include "link/protocol/requests.h"
#include "link/protocol/stored_data_replies.h"
#include "link/protocol/stored_data_requests.h"
#include "link/protocol/stored_read_parser.h"
#include "sim/decoder_simulator.h"
#include "sim/sim_options.h"

using namespace q51;
using namespace q51::sim;
using protocol::Bytes;
using protocol::StoredDataStatus;

namespace {

QByteArray Q(const Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

Bytes B(const QByteArray &bytes)
{
    return Bytes(bytes.begin(), bytes.end());
}

// Every reply to these bytes, joined, fed in pieces of `piece` bytes.
QByteArray Replies(DecoderSimulator &sim, const Bytes &request, std::size_t piece = 0)
{
    QByteArray all;
    if (piece == 0)
        piece = request.size();
    for (std::size_t at = 0; at < request.size(); at += piece) {
        const auto part = protocol::ByteView(request).subspan(at, std::min(piece, request.size() - at));
        for (const SimulatorEvent &e : sim.Feed(part))
            all += Q(e.reply.Joined());
    }
    return all;
}

Bytes Image(std::size_t size)
{
    Bytes image(size);
    for (std::size_t i = 0; i < size; ++i)
        image[i] = std::uint8_t(i * 13 + 5);
    return image;
}

DecoderSimulator WithIsp(IspOptions options)
{
    DecoderResponder responder;
    responder.SetIspOptions(std::move(options));
    return DecoderSimulator(std::move(responder));
}

DecoderSimulator WithGroups(std::vector<std::string> groups, std::size_t capacity = DefaultGroupCapacity)
{
    DecoderResponder responder;
    responder.SetStoredGroups(StoredGroups(std::move(groups), capacity));
    return DecoderSimulator(std::move(responder));
}

QList<QPair<int, QByteArray>> ReadGroups(const QByteArray &reply, int firstGroup, StoredDataStatus *status)
{
    protocol::StoredReadParser parser(firstGroup);
    parser.TakeFirstPart(B(reply));
    *status = parser.status();
    QList<QPair<int, QByteArray>> out;
    for (const auto &r : parser.TakeRecords())
        out.append({r.group, Q(r.data)});
    return out;
}

} // namespace

class SimulatorServiceTest : public QObject {
    Q_OBJECT
private slots:
    void wholeUpdateKeepsTheImage_data();
    void wholeUpdateKeepsTheImage();
    void wrongVersionStartsNoSession();
    void refusedPages();
    void badPagesAndPagesBeforeTheEraseAreRefused();
    void ordinaryRequestEndsTheSession();
    void storedGroupReads();
    void sizesFreeSpaceAndClearing();
    void options_data();
    void options();
};

void SimulatorServiceTest::wholeUpdateKeepsTheImage_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("piece");
    QTest::newRow("largest image, whole frames") << 65535 << 0;
    QTest::newRow("600 bytes in pieces of 7") << 600 << 7;
    QTest::newRow("1028 bytes byte by byte") << 1028 << 1;
}

void SimulatorServiceTest::wholeUpdateKeepsTheImage()
{
    QFETCH(int, size);
    QFETCH(int, piece);
    const Bytes image = Image(std::size_t(size));
    DecoderSimulator sim = WithIsp({});
    QCOMPARE(Replies(sim, protocol::IspAccessFrame(image), std::size_t(piece)).toHex(), QByteArray("06"));
    QVERIFY(sim.responder().isp().Active());
    QCOMPARE(Replies(sim, protocol::IspEraseFrame(), std::size_t(piece)).toHex(), QByteArray("aa"));
    for (std::size_t page = 0; page < protocol::IspPageCount(image.size()); ++page)
        QCOMPARE(Replies(sim, protocol::IspPageFrame(image, page), std::size_t(piece)).toHex(), QByteArray("aa"));
    QVERIFY(Replies(sim, protocol::IspEndFrame(), std::size_t(piece)).isEmpty());
    QVERIFY(!sim.responder().isp().Active());
    QCOMPARE(sim.responder().isp().completedImages(), 1);

    Bytes padded = image;
    padded.resize(4 + 512 * protocol::IspPageCount(image.size()), 0x00);
    QVERIFY(sim.responder().isp().image() == padded);
    QVERIFY(!sim.HasUnfinishedRequest());
}

void SimulatorServiceTest::wrongVersionStartsNoSession()
{
    IspOptions options;
    QVERIFY(ParseIspVersion("0A0B0C0D", options));
    DecoderSimulator sim = WithIsp(options);
    Bytes image = Image(100);
    QCOMPARE(Replies(sim, protocol::IspAccessFrame(image)).toHex(), QByteArray("1b"));
    QVERIFY(!sim.responder().isp().Active());
    QVERIFY(Replies(sim, protocol::IspEraseFrame()).isEmpty());

    image[0] = 0x0A, image[1] = 0x0B, image[2] = 0x0C, image[3] = 0x0D;
    QCOMPARE(Replies(sim, protocol::IspAccessFrame(image)).toHex(), QByteArray("06"));
    QCOMPARE(Replies(sim, protocol::IspEraseFrame()).toHex(), QByteArray("aa"));
}

void SimulatorServiceTest::refusedPages()
{
    IspOptions options;
    QVERIFY(ParsePageRefusal("1:3", options));
    QVERIFY(ParsePageRefusal("2", options));
    DecoderSimulator sim = WithIsp(options);
    const Bytes image = Image(2000);
    Replies(sim, protocol::IspAccessFrame(image));
    Replies(sim, protocol::IspEraseFrame());
    QCOMPARE(Replies(sim, protocol::IspPageFrame(image, 0)).toHex(), QByteArray("aa"));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(Replies(sim, protocol::IspPageFrame(image, 1)).toHex(), QByteArray("15"));
    QCOMPARE(Replies(sim, protocol::IspPageFrame(image, 1)).toHex(), QByteArray("aa"));
    QCOMPARE(Replies(sim, protocol::IspPageFrame(image, 2)).toHex(), QByteArray("15"));
    QCOMPARE(Replies(sim, protocol::IspPageFrame(image, 2)).toHex(), QByteArray("aa"));
}

void SimulatorServiceTest::badPagesAndPagesBeforeTheEraseAreRefused()
{
    DecoderSimulator sim = WithIsp({});
    const Bytes image = Image(700);
    Replies(sim, protocol::IspAccessFrame(image));
    QCOMPARE(Replies(sim, protocol::IspPageFrame(image, 0)).toHex(), QByteArray("15"));
    Replies(sim, protocol::IspEraseFrame());
    Bytes bad = protocol::IspPageFrame(image, 0);
    bad[100] ^= 0x01;
    QCOMPARE(Replies(sim, bad).toHex(), QByteArray("15"));
    QCOMPARE(Replies(sim, protocol::IspPageFrame(image, 0)).toHex(), QByteArray("aa"));
}

void SimulatorServiceTest::ordinaryRequestEndsTheSession()
{
    DecoderSimulator sim = WithIsp({});
    const Bytes image = Image(10);
    // The access frame and the erase frame in one piece: the bytes after the
    // access frame are read as the session's.
    Bytes both = protocol::IspAccessFrame(image);
    const Bytes erase = protocol::IspEraseFrame();
    both.insert(both.end(), erase.begin(), erase.end());
    QCOMPARE(Replies(sim, both).toHex(), QByteArray("06aa"));

    const QByteArray version = Replies(sim, protocol::ReadVersionRequest());
    QCOMPARE(version.size(), 36);
    QVERIFY(!sim.responder().isp().Active());
    QVERIFY(Replies(sim, protocol::IspEraseFrame()).isEmpty());
}

void SimulatorServiceTest::storedGroupReads()
{
    DecoderSimulator sim = WithGroups({"AB", "C", "hello", std::string(300, 'x')});
    StoredDataStatus status;
    const QByteArray all = Replies(sim, protocol::ReadGroupsRequest(std::nullopt));
    QCOMPARE(ReadGroups(all, 0, &status),
             (QList<QPair<int, QByteArray>>{{0, "AB"}, {1, "C"}, {2, "hello"}, {3, QByteArray(253, 'x')}}));
    QCOMPARE(status, StoredDataStatus::Accepted);

    // The two groups of the example come out byte for byte.
    DecoderSimulator two = WithGroups({"AB", "C"});
    QCOMPARE(Replies(two, protocol::ReadGroupsRequest(std::nullopt)).toHex(),
             QByteArray("0602610006044142030343430361"));

    const QByteArray range = Replies(sim, protocol::ReadGroupsRequest(protocol::GroupRange{1, 2}));
    QCOMPARE(ReadGroups(range, 1, &status), (QList<QPair<int, QByteArray>>{{1, "C"}, {2, "hello"}}));
    QCOMPARE(status, StoredDataStatus::Accepted);

    const QByteArray none = Replies(sim, protocol::ReadGroupsRequest(protocol::GroupRange{10, 2000}));
    QCOMPARE(none.size(), 7);
    ReadGroups(none, 10, &status);
    QCOMPARE(status, StoredDataStatus::NoDataInRange);

    // More than one reply holds: whole records up to the limit.
    std::vector<std::string> many(200, std::string(200, 'm'));
    DecoderSimulator big = WithGroups(many);
    const QByteArray capped = Replies(big, protocol::ReadGroupsRequest(std::nullopt));
    QVERIFY(capped.size() <= 8 + 117 * 256 - 1);
    QCOMPARE(ReadGroups(capped, 0, &status).size(), 29952 / 202);
    QCOMPARE(status, StoredDataStatus::Accepted);
}

void SimulatorServiceTest::sizesFreeSpaceAndClearing()
{
    DecoderSimulator sim = WithGroups({std::string(12, 'a'), std::string(30, 'b'), "c", "d"}, 10);
    auto sizes = protocol::JudgeGroupSizesReply(B(Replies(sim, protocol::GroupSizesRequest())));
    QCOMPARE(sizes.status, StoredDataStatus::Accepted);
    QCOMPARE(QList<int>(sizes.sizes.begin(), sizes.sizes.end()), (QList<int>{12, 30, 1, 1}));
    auto free = protocol::JudgeFreeSpaceReply(B(Replies(sim, protocol::FreeSpaceRequest())));
    QCOMPARE(free.status, StoredDataStatus::Accepted);
    QCOMPARE(int(free.freeGroups), 6);

    QCOMPARE(Replies(sim, protocol::ClearGroupsRequest(protocol::GroupRange{1, 2})).toHex(), QByteArray("06"));
    QCOMPARE(sim.responder().storedGroups().groups(), (std::vector<std::string>{std::string(12, 'a'), "d"}));
    QCOMPARE(Replies(sim, protocol::ClearGroupsRequest(std::nullopt)).toHex(), QByteArray("06"));
    QVERIFY(sim.responder().storedGroups().groups().empty());
    sizes = protocol::JudgeGroupSizesReply(B(Replies(sim, protocol::GroupSizesRequest())));
    QVERIFY(sizes.sizes.empty());

    // A full memory: the reply cannot say 0, so it says 1.
    DecoderSimulator full = WithGroups({"x", "y"}, 2);
    free = protocol::JudgeFreeSpaceReply(B(Replies(full, protocol::FreeSpaceRequest())));
    QCOMPARE(int(free.freeGroups), 1);
}

void SimulatorServiceTest::options_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("groups");
    QTest::newRow("groups") << QStringList{"--group", "AB", "--group=C"} << true << 2;
    QTest::newRow("sample groups") << QStringList{"--sample-groups", "25", "--group", "x"} << true << 26;
    QTest::newRow("empty group") << QStringList{"--group", ""} << false << 0;
    QTest::newRow("group too long") << QStringList{"--group", QString(254, 'x')} << false << 0;
    QTest::newRow("capacity") << QStringList{"--group-capacity", "50"} << true << 0;
    QTest::newRow("isp version") << QStringList{"--isp-version", "0102AbFf"} << true << 0;
    QTest::newRow("isp version too short") << QStringList{"--isp-version", "010203"} << false << 0;
    QTest::newRow("isp version not hex") << QStringList{"--isp-version", "0102030g"} << false << 0;
    QTest::newRow("refused page") << QStringList{"--isp-refuse-page", "127:3", "--isp-refuse-page", "0"} << true << 0;
    QTest::newRow("page past the last") << QStringList{"--isp-refuse-page", "128"} << false << 0;
    QTest::newRow("refusal count missing") << QStringList{"--isp-refuse-page", "3:"} << false << 0;
    QTest::newRow("dump image") << QStringList{"--dump-image", "/tmp/x.bin"} << true << 0;
}

void SimulatorServiceTest::options()
{
    QFETCH(QStringList, args);
    QFETCH(bool, ok);
    QFETCH(int, groups);
    std::vector<std::string> storage;
    for (const QString &a : args)
        storage.push_back(a.toStdString());
    const ParsedOptions parsed = ParseSimOptions(std::vector<std::string_view>(storage.begin(), storage.end()));
    QCOMPARE(parsed.error.empty(), ok);
    if (!ok)
        return;
    QCOMPARE(int(parsed.options.groups.size()), groups);
    if (args.first() == QLatin1String("--sample-groups"))
        QCOMPARE(parsed.options.groups.front(), std::string("DATA0000"));
    if (args.first() == QLatin1String("--group-capacity"))
        QCOMPARE(int(parsed.options.groupCapacity), 50);
    if (args.first() == QLatin1String("--isp-version")) {
        const std::array<std::uint8_t, 4> expected{0x01, 0x02, 0xAB, 0xFF};
        QVERIFY(parsed.options.isp.version == expected);
    }
    if (args.first() == QLatin1String("--isp-refuse-page")) {
        QCOMPARE(parsed.options.isp.refusals.at(127), 3);
        QCOMPARE(parsed.options.isp.refusals.at(0), 1);
    }
}

QTEST_APPLESS_MAIN(SimulatorServiceTest)
#include "tst_simulator_service.moc"
