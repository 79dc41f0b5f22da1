// Firmware-update frames and answers: the access frame, page boundaries
// and padding, the check byte, the page count and the progress maximum.

#include <QTest>

#include "link/protocol/frame.h"
#include "link/protocol/isp_frames.h"

using namespace q51;
using namespace q51::protocol;

Q_DECLARE_METATYPE(q51::protocol::IspReply)

namespace {

QByteArray Q(const Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

// Byte i of the image is a pattern no page boundary can hide.
Bytes Image(std::size_t size)
{
    Bytes image(size);
    for (std::size_t i = 0; i < size; ++i)
        image[i] = std::uint8_t((i * 7 + i / 251 + 1) & 0xFF);
    return image;
}

} // namespace

class IspProtocolTest : public QObject {
    Q_OBJECT
private slots:
    void accessFrame_data();
    void accessFrame();
    void bareFrames();
    void pages_data();
    void pages();
    void everyFileByteIsSentOnceInOrder();
    void checkByte();
    void replies_data();
    void replies();
};

void IspProtocolTest::accessFrame_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("first four bytes") << QByteArray::fromHex("0102030499") << QByteArray::fromHex("021203010203040314");
    QTest::newRow("check byte is 0x10 xor the bytes")
        << QByteArray::fromHex("FF00AA55") << QByteArray::fromHex("021203ff00aa550310");
    QTest::newRow("short image padded with zeros")
        << QByteArray::fromHex("0A0B") << QByteArray::fromHex("0212030a0b00000311");
    QTest::newRow("empty image") << QByteArray() << QByteArray::fromHex("021203000000000310");
}

void IspProtocolTest::accessFrame()
{
    QFETCH(QByteArray, image);
    QFETCH(QByteArray, frame);
    const Bytes bytes(image.begin(), image.end());
    QCOMPARE(Q(IspAccessFrame(bytes)).toHex(), frame.toHex());
    QCOMPARE(Xor(IspAccessFrame(bytes)), std::uint8_t(0));
}

void IspProtocolTest::bareFrames()
{
    QCOMPARE(Q(IspEraseFrame()).toHex(), QByteArray("0055aa"));
    QCOMPARE(Q(IspEndFrame()).toHex(), QByteArray("0555aa"));
}

void IspProtocolTest::pages_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("progressMaximum");
    QTest::addColumn<int>("lastPageImageBytes");
    QTest::newRow("largest image") << 65535 << 128 << 128 << 507;
    QTest::newRow("1028 bytes: last page all padding") << 1028 << 3 << 3 << 0;
    QTest::newRow("600 bytes") << 600 << 2 << 2 << 84;
    QTest::newRow("516 bytes: one full page, then padding") << 516 << 2 << 2 << 0;
    QTest::newRow("515 bytes") << 515 << 1 << 2 << 511;
    QTest::newRow("4 bytes: one page of padding") << 4 << 1 << 1 << 0;
    QTest::newRow("3 bytes: no page") << 3 << 0 << 1 << 0;
}

void IspProtocolTest::pages()
{
    QFETCH(int, size);
    QFETCH(int, pages);
    QFETCH(int, progressMaximum);
    QFETCH(int, lastPageImageBytes);
    const Bytes image = Image(std::size_t(size));
    QCOMPARE(int(IspPageCount(image.size())), pages);
    QCOMPARE(int(IspProgressMaximum(image.size())), progressMaximum);
    if (pages == 0)
        return;

    const std::size_t last = std::size_t(pages - 1);
    const Bytes frame = IspPageFrame(image, last);
    QCOMPARE(int(frame.size()), 520);
    QCOMPARE(int(frame[0]), 0x01);
    QCOMPARE(int(frame[1]), int(last * 2));
    QCOMPARE(int(frame[2]), 0x00);
    QCOMPARE(int(frame[3]), 0xFF);
    QCOMPARE(int(frame[4]), int(last * 2 + 1));
    QCOMPARE(int(frame[518]), 0x55);
    QCOMPARE(int(frame[519]), 0xAA);
    const std::size_t from = 4 + 512 * last;
    QCOMPARE(from + std::size_t(lastPageImageBytes), lastPageImageBytes ? image.size() : from);
    for (int i = 0; i < 512; ++i) {
        const std::uint8_t expected = i < lastPageImageBytes ? image[from + std::size_t(i)] : 0x00;
        QCOMPARE(int(frame[5 + std::size_t(i)]), int(expected));
    }
}

void IspProtocolTest::everyFileByteIsSentOnceInOrder()
{
    // What a decoder would put back together from the access frame and the
    // pages is the file, padded with zeros to whole pages.
    for (const std::size_t size : {std::size_t(65535), std::size_t(1028), std::size_t(600), std::size_t(4)}) {
        const Bytes image = Image(size);
        const Bytes access = IspAccessFrame(image);
        Bytes rebuilt(access.begin() + 3, access.begin() + 7);
        for (std::size_t page = 0; page < IspPageCount(size); ++page) {
            const Bytes frame = IspPageFrame(image, page);
            rebuilt.insert(rebuilt.end(), frame.begin() + 5, frame.begin() + 517);
        }
        Bytes padded = image;
        padded.resize(rebuilt.size(), 0x00);
        QVERIFY2(rebuilt == padded, qPrintable(QString::number(size)));
    }
}

void IspProtocolTest::checkByte()
{
    // All-zero data: the address bytes alone XOR to 0xFE, whatever the page.
    const Bytes zeros(4, 0xEE);
    QCOMPARE(int(IspPageFrame(zeros, 0)[517]), 0xFE);
    QCOMPARE(int(IspPageFrame(Bytes(4 + 512 * 90), 90)[517]), 0xFE);
    // Otherwise offsets 1 to 517 XOR to zero; offset 0 stays out.
    const Bytes image = Image(9000);
    for (std::size_t page = 0; page < IspPageCount(image.size()); ++page) {
        const Bytes frame = IspPageFrame(image, page);
        QCOMPARE(Xor(ByteView(frame).subspan(1, 517)), std::uint8_t(0));
    }
}

void IspProtocolTest::replies_data()
{
    QTest::addColumn<QByteArray>("chunk");
    QTest::addColumn<IspReply>("access");
    QTest::addColumn<IspReply>("step");
    QTest::newRow("nothing") << QByteArray() << IspReply::NothingReceived << IspReply::NothingReceived;
    QTest::newRow("ACK") << QByteArray::fromHex("06") << IspReply::Accepted << IspReply::Refused;
    QTest::newRow("wrong version") << QByteArray::fromHex("1b") << IspReply::WrongVersion << IspReply::Refused;
    QTest::newRow("AA") << QByteArray::fromHex("aa") << IspReply::Refused << IspReply::Accepted;
    QTest::newRow("NAK") << QByteArray::fromHex("15") << IspReply::Refused << IspReply::Refused;
    QTest::newRow("only the first byte counts") << QByteArray::fromHex("aa06") << IspReply::Refused
                                                << IspReply::Accepted;
}

void IspProtocolTest::replies()
{
    QFETCH(QByteArray, chunk);
    QFETCH(IspReply, access);
    QFETCH(IspReply, step);
    const Bytes bytes(chunk.begin(), chunk.end());
    QCOMPARE(JudgeIspAccessReply(bytes), access);
    QCOMPARE(JudgeIspStepReply(bytes), step);
}

QTEST_APPLESS_MAIN(IspProtocolTest)
#include "tst_isp_protocol.moc"
