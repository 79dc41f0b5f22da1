// The plain protocol pieces of the keyboard line and the command console:
// hex pairs and digit values, the typed replies (block, version, status),
// the status reply over RS232 and the status byte in words.

#include <QTest>

#include <string>

#include "link/portio/port_io.h"
#include "link/protocol/block_checksum.h"
#include "link/protocol/console_requests.h"
#include "link/protocol/frame.h"
#include "link/protocol/hex_text.h"
#include "link/protocol/status_byte.h"
#include "link/protocol/status_reply.h"
#include "link/protocol/typed_replies.h"
#include "support/stepped_block.h"

using namespace q51;
using namespace q51::protocol;

namespace {

QByteArray Q(const Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

Block patternBlock()
{
    Block b = test::SteppedBlock(7, 3);
    WriteBlockChecksum(b);
    return b;
}

std::string typedBlockOf(const Block &b)
{
    return HexText(b);
}

// 40 characters: hex header, the text as itself, hex ETX and BCC.
std::string typedVersionOf(const std::string &text30)
{
    const Bytes frame = BuildFrame(0x06, AsBytes(text30));
    return HexText(ByteView(frame).first(3)) + text30 + HexText(ByteView(frame).last(2));
}

} // namespace

class KeyboardProtocolTest : public QObject {
    Q_OBJECT
private slots:
    void hexPair_data();
    void hexPair();
    void hexDigitValue_data();
    void hexDigitValue();
    void typedBlock_data();
    void typedBlock();
    void typedVersion_data();
    void typedVersion();
    void typedStatus_data();
    void typedStatus();
    void statusReplyOverRs232_data();
    void statusReplyOverRs232();
    void statusByteInWords_data();
    void statusByteInWords();
    void consoleRequests();
};

void KeyboardProtocolTest::hexPair_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<QString>("pair");
    QTest::newRow("0x0A") << 0x0A << "0A";
    QTest::newRow("0x00") << 0x00 << "00";
    QTest::newRow("0xFF") << 0xFF << "FF";
    QTest::newRow("0x9B") << 0x9B << "9B";
    QTest::newRow("0xA0") << 0xA0 << "A0";
}

void KeyboardProtocolTest::hexPair()
{
    QFETCH(int, byte);
    QFETCH(QString, pair);
    const auto p = HexPair(std::uint8_t(byte));
    QCOMPARE(QString::fromLatin1(p.data(), 2), pair);
    QCOMPARE(HexPairValue(p[0], p[1]), std::optional<std::uint8_t>(std::uint8_t(byte)));
    const Bytes one{std::uint8_t(byte)};
    QCOMPARE(QString::fromStdString(HexText(one)), pair);
}

void KeyboardProtocolTest::hexDigitValue_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("value"); // 16: not a digit
    for (char c = '0'; c <= '9'; ++c)
        QTest::addRow("%c", c) << int(c) << c - '0';
    for (char c = 'A'; c <= 'F'; ++c) {
        QTest::addRow("%c", c) << int(c) << c - 'A' + 10;
        QTest::addRow("%c", char(c + 32)) << int(c + 32) << c - 'A' + 10;
    }
    // Characters an arithmetic shortcut would take for digits.
    for (char c : {':', ';', '?', '@', 'G', 'g', '`', '/', ' ', 'Z', 'z', '{'})
        QTest::addRow("%c", c) << int(c) << 16;
    QTest::newRow("line feed") << 10 << 16;
    QTest::newRow("code 17") << 17 << 16;
    QTest::newRow("code 0") << 0 << 16;
    QTest::newRow("code 0xC1") << 0xC1 << 16;
    QTest::newRow("code 0xFF") << 0xFF << 16;
}

void KeyboardProtocolTest::hexDigitValue()
{
    QFETCH(int, code);
    QFETCH(int, value);
    QCOMPARE(HexDigitValue(std::uint8_t(code)), value);
    QCOMPARE(HexPairValue('0', char(code)).has_value(), value < 16);
    QCOMPARE(HexPairValue(char(code), '0').has_value(), value < 16);
}

void KeyboardProtocolTest::typedBlock_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("good");
    const std::string good = typedBlockOf(patternBlock());
    QTest::newRow("upper case") << QString::fromStdString(good) << true;
    QTest::newRow("lower case") << QString::fromStdString(good).toLower() << true;
    QTest::newRow("511 characters") << QString::fromStdString(good.substr(0, 511)) << false;
    QTest::newRow("513 characters") << QString::fromStdString(good + "0") << false;
    QTest::newRow("empty") << QString() << false;
    std::string badDigit = good;
    badDigit[100] = 'G';
    QTest::newRow("not a digit") << QString::fromStdString(badDigit) << false;
    std::string colon = good;
    colon[7] = ':';
    QTest::newRow("colon") << QString::fromStdString(colon) << false;
    Block wrongLow = patternBlock();
    ++wrongLow[255];
    QTest::newRow("checksum low byte") << QString::fromStdString(typedBlockOf(wrongLow)) << false;
    Block wrongHigh = patternBlock();
    ++wrongHigh[254];
    QTest::newRow("checksum high byte") << QString::fromStdString(typedBlockOf(wrongHigh)) << false;
    Block changed = patternBlock();
    ++changed[3];
    QTest::newRow("data byte changed") << QString::fromStdString(typedBlockOf(changed)) << false;
    QTest::newRow("all zero") << QString(512, QLatin1Char('0')) << true;
}

void KeyboardProtocolTest::typedBlock()
{
    QFETCH(QString, typed);
    QFETCH(bool, good);
    const auto block = DecodeTypedBlock(typed.toStdString());
    QCOMPARE(block.has_value(), good);
    if (good)
        QCOMPARE(QString::fromStdString(HexText(*block)), typed.toUpper());
}

void KeyboardProtocolTest::typedVersion_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text"); // empty: refused
    const std::string text = "V51 Firmware 2.07   (c) 2004 ";
    const std::string text30 = text + std::string(30 - text.size(), ' ');
    const std::string good = typedVersionOf(text30);
    QTest::newRow("good") << QString::fromStdString(good) << QString::fromStdString(text30);
    QVERIFY(good.starts_with("02061D"));
    std::string lowerHeader = good;
    lowerHeader[5] = 'd';
    QTest::newRow("header typed 02061d") << QString::fromStdString(lowerHeader) << QString();
    std::string lowerBcc = good.substr(0, 38) + QString::fromStdString(good.substr(38)).toLower().toStdString();
    const bool bccHasLetters = lowerBcc != good;
    if (bccHasLetters)
        QTest::newRow("BCC in lower case") << QString::fromStdString(lowerBcc) << QString::fromStdString(text30);
    std::string badBcc = good;
    badBcc[39] = badBcc[39] == '0' ? '1' : '0';
    QTest::newRow("bad BCC") << QString::fromStdString(badBcc) << QString();
    std::string badEtx = good;
    badEtx[37] = '4';
    QTest::newRow("ETX not 03") << QString::fromStdString(badEtx) << QString();
    std::string textChanged = good;
    textChanged[10] = 'x';
    QTest::newRow("text changed") << QString::fromStdString(textChanged) << QString();
    QTest::newRow("39 characters") << QString::fromStdString(good.substr(0, 39)) << QString();
    QTest::newRow("41 characters") << QString::fromStdString(good + "0") << QString();
    std::string nonHexBcc = good;
    nonHexBcc[38] = 'Z';
    QTest::newRow("BCC not hex") << QString::fromStdString(nonHexBcc) << QString();
    // The text may hold anything, the header's own characters included.
    const std::string tricky = "02061D03" + std::string(22, '\x7F');
    QTest::newRow("text of any bytes") << QString::fromStdString(typedVersionOf(tricky)) << QString::fromStdString(tricky);
}

void KeyboardProtocolTest::typedVersion()
{
    QFETCH(QString, typed);
    QFETCH(QString, text);
    const auto version = DecodeTypedVersion(typed.toStdString());
    QCOMPARE(version.has_value(), !text.isEmpty());
    if (version)
        QCOMPARE(QString::fromStdString(*version), text);
}

void KeyboardProtocolTest::typedStatus_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("statusByte"); // -1: refused
    const std::string good = HexText(StatusReplyBytes(0x2B));
    QTest::newRow("0x2B") << QString::fromStdString(good) << 0x2B;
    QCOMPARE(QString::fromStdString(good).left(6), QStringLiteral("020200"));
    QTest::newRow("lower case") << QString::fromStdString(HexText(StatusReplyBytes(0xCA))).toLower() << 0xCA;
    QTest::newRow("11 characters") << QString::fromStdString(good.substr(0, 11)) << -1;
    QTest::newRow("13 characters") << QString::fromStdString(good + "0") << -1;
    std::string badXor = good;
    badXor[11] = badXor[11] == '0' ? '1' : '0';
    QTest::newRow("XOR not 0") << QString::fromStdString(badXor) << -1;
    QTest::newRow("not hex") << QStringLiteral("02020G2B03??") << -1;
    // XOR 0 without the status mark: decoded here, refused by the console.
    QTest::newRow("no status mark") << QStringLiteral("020300000302") << 0x00;
}

void KeyboardProtocolTest::typedStatus()
{
    QFETCH(QString, typed);
    QFETCH(int, statusByte);
    const auto status = DecodeTypedStatus(typed.toStdString());
    QCOMPARE(status.has_value(), statusByte >= 0);
    if (status) {
        QCOMPARE(int((*status)[StatusByteIndex]), statusByte);
        QCOMPARE(Xor(*status), std::uint8_t(0));
        QCOMPARE(CarriesStatus(*status), typed.mid(2, 2) == QLatin1String("02"));
    }
}

void KeyboardProtocolTest::statusReplyOverRs232_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("statusByte");
    const StatusBytes good = StatusReplyBytes(0x2B);
    const QByteArray ack("\x06", 1);
    const QByteArray frame(reinterpret_cast<const char *>(good.data()), 6);
    QTest::newRow("good") << ack + frame << int(InputPos::Accepted) << 0x2B;
    QTest::newRow("bytes after it") << ack + frame + "zz" << int(InputPos::Accepted) << 0x2B;
    QTest::newRow("six bytes") << (ack + frame).left(6) << int(InputPos::NothingReceived) << -1;
    QTest::newRow("nothing") << QByteArray() << int(InputPos::NothingReceived) << -1;
    QTest::newRow("NAK") << QByteArray("\x15", 1) + frame << int(InputPos::NotAcknowledged) << -1;
    QByteArray badXor = ack + frame;
    badXor[6] = char(badXor[6] ^ 1);
    QTest::newRow("bad XOR") << badXor << int(InputPos::Failed) << -1;
    QByteArray noStx = ack + frame;
    noStx[1] = 0x03;
    noStx[6] = char(noStx[6] ^ 0x02 ^ 0x03); // XOR still 0
    QTest::newRow("first byte not 02") << noStx << int(InputPos::Failed) << -1;
    QByteArray noMark = ack + frame;
    noMark[2] = 0x05;
    noMark[6] = char(noMark[6] ^ 0x02 ^ 0x05);
    QTest::newRow("second byte not 02") << noMark << int(InputPos::Failed) << -1;
}

void KeyboardProtocolTest::statusReplyOverRs232()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, state);
    QFETCH(int, statusByte);
    const StatusReply judged = JudgeStatusReply(AsBytes({reply.constData(), std::size_t(reply.size())}));
    QCOMPARE(int(judged.state), state);
    QCOMPARE(judged.bytes.has_value(), statusByte >= 0);
    if (judged.bytes)
        QCOMPARE(int((*judged.bytes)[StatusByteIndex]), statusByte);
}

void KeyboardProtocolTest::statusByteInWords_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("0x2B") << 0x2B
                          << QStringList{"Status_Byte is: 2B", "Reading Mode: Continuous/Auto Power", "PE On", "TG Off",
                                         "Decode OK"};
    QTest::newRow("0x00") << 0x00
                          << QStringList{"Status_Byte is: 0", "Reading Mode: Trigger On/Off", "PE Off", "TG Off",
                                         "Decode Err"};
    QTest::newRow("0xD7") << 0xD7
                          << QStringList{"Status_Byte is: D7", "Reading Mode: Reserved 1", "PE Off", "TG On",
                                         "Decode Err"};
    const char *const modes[] = {"Trigger On/Off", "Good Read Off", "Continuous/Trigger Off", "Continuous/Auto Power",
                                 "Flash", "Testing", "Flash/Auto Power On", "Reserved 1"};
    for (int mode = 0; mode < 8; ++mode)
        QTest::addRow("mode %d", mode)
            << mode << QStringList{QStringLiteral("Status_Byte is: %1").arg(mode), QStringLiteral("Reading Mode: ") + modes[mode],
                                   "PE Off", "TG Off", "Decode Err"};
}

void KeyboardProtocolTest::statusByteInWords()
{
    QFETCH(int, status);
    QFETCH(QStringList, lines);
    QStringList got;
    for (const std::string &line : DescribeStatusByte(std::uint8_t(status)))
        got << QString::fromStdString(line);
    QCOMPARE(got, lines);
}

void KeyboardProtocolTest::consoleRequests()
{
    QCOMPARE(Q(StatusRequest()), QByteArray("\x02\x83\x03\x82", 4));
    QCOMPARE(Q(TriggerRequest()), QByteArray("\x02\x82\x03\x83", 4));
    QCOMPARE(QString::fromStdString(HexText(StatusRequest())), QStringLiteral("02830382"));
    QCOMPARE(QString::fromStdString(HexText(TriggerRequest())), QStringLiteral("02820383"));
}

QTEST_APPLESS_MAIN(KeyboardProtocolTest)
#include "tst_keyboard_protocol.moc"
