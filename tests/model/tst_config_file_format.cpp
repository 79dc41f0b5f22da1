#include <QtTest>

#include "model/config_file_format.h"
#include "model/factory_defaults.h"
#include "model/windows1252.h"

using q51::Configuration;

namespace {

QByteArray toBytes(const std::string &s)
{
    return QByteArray(s.data(), qsizetype(s.size()));
}

std::string toStd(const QByteArray &b)
{
    return std::string(b.constData(), std::size_t(b.size()));
}

// Lines of a file as written, each checked to end in CR LF with no stray
// CR or LF inside.
QList<QByteArray> crlfLines(const QByteArray &file)
{
    QList<QByteArray> lines = file.split('\n');
    if (lines.isEmpty() || !lines.last().isEmpty())
        return {}; // does not end with a line end
    lines.removeLast();
    for (QByteArray &line : lines) {
        if (!line.endsWith('\r') || line.count('\r') != 1)
            return {};
        line.chop(1);
    }
    return lines;
}

// The configuration present before a file is opened: every value differs
// from the ones the test files carry.
Configuration beforeOpen()
{
    Configuration c;
    for (int i = 0; i < q51::BlockSize; ++i)
        c.block[std::size_t(i)] = std::uint8_t(i);
    c.savedCopy = c.block;
    c.DeviceName = "old device";
    c.UserName = "old user";
    c.BuildingDate = "old date";
    c.Description = "old description";
    c.FileName = "/previous.cfg";
    c.PortNumber = 9;
    c.TransferMode = 1;
    return c;
}

int fileByte(int i)
{
    return 255 - i;
}

// The lines of a complete file, written out by hand rather than by the writer.
QList<QByteArray> sourceLines()
{
    QList<QByteArray> lines{"zenu", "Dev", "Usr", "2024-05-01", "Desc", " 3 ", " 0 "};
    for (int i = 0; i < q51::BlockSize; ++i)
        lines << " " + QByteArray::number(fileByte(i)) + " ";
    return lines;
}

QByteArray joined(const QList<QByteArray> &lines, const QByteArray &end = "\r\n")
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + end;
    return out;
}

// Line number (1-based) of block byte i.
constexpr int lineOfByte(int i)
{
    return 8 + i;
}

} // namespace

class ConfigFileFormatTest : public QObject {
    Q_OBJECT
private slots:
    void factoryFileIsByteExact();
    void numberFormat_data();
    void numberFormat();
    void reader_data();
    void reader();
    void savedCopyFollowsTheBlockOnOpen();
    void fileNameIsLeftToTheCaller();
    void headerText_data();
    void headerText();
    void codePageRoundTripsEveryByte();
    void codePageHighRange_data();
    void codePageHighRange();
    void malformedUtf8_data();
    void malformedUtf8();
};

void ConfigFileFormatTest::factoryFileIsByteExact()
{
    Configuration c;
    q51::LoadFactoryDefaults(c);
    q51::ResetHeaderStrings(c, q51::HeaderPreset::StartUp, "01/05/2024");
    const QByteArray file = toBytes(q51::FormatConfigurationFile(c));

    const QList<QByteArray> lines = crlfLines(file);
    QCOMPARE(lines.size(), 263);
    QCOMPARE(lines[0], QByteArray("zenu"));
    QCOMPARE(lines[1], QByteArray("Device Name"));
    QCOMPARE(lines[2], QByteArray("User's Name"));
    QCOMPARE(lines[3], QByteArray("01/05/2024"));
    QCOMPARE(lines[4], QByteArray("Your description about this configuration file"));
    QCOMPARE(lines[5], QByteArray(" 1 "));
    QCOMPARE(lines[6], QByteArray(" 1 "));
    QCOMPARE(lines[7], QByteArray(" 191 "));
    QCOMPARE(lines[8], QByteArray(" 163 "));
    QCOMPARE(lines[lineOfByte(80) - 1], QByteArray(" 65 "));
    QCOMPARE(lines[262], QByteArray(" 0 "));
    QVERIFY(file.endsWith(" 0 \r\n"));
}

void ConfigFileFormatTest::numberFormat_data()
{
    QTest::addColumn<int>("line"); // 6 PortNumber, 8 block byte 0
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("byte 0x41") << 8 << 0x41 << QByteArray::fromHex("203635200D0A");
    QTest::newRow("byte 0") << 8 << 0 << QByteArray::fromHex("2030200D0A");
    QTest::newRow("byte 255") << 8 << 255 << QByteArray(" 255 \r\n");
    QTest::newRow("port 0") << 6 << 0 << QByteArray(" 0 \r\n");
    // The minus sign takes the sign position.
    QTest::newRow("negative port") << 6 << -5 << QByteArray("-5 \r\n");
    QTest::newRow("smallest port") << 6 << -32768 << QByteArray("-32768 \r\n");
    QTest::newRow("largest port") << 6 << 32767 << QByteArray(" 32767 \r\n");
}

void ConfigFileFormatTest::numberFormat()
{
    QFETCH(int, line);
    QFETCH(int, value);
    QFETCH(QByteArray, bytes);
    Configuration c;
    if (line == 6)
        c.PortNumber = std::int16_t(value);
    else
        c.block[0] = std::uint8_t(value);
    const QByteArray file = toBytes(q51::FormatConfigurationFile(c));
    const QList<QByteArray> lines = crlfLines(file);
    QCOMPARE(lines.size(), 263);
    QCOMPARE(lines[line - 1] + "\r\n", bytes);
}

void ConfigFileFormatTest::reader_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("mode");
    // Block bytes expected after the open; -1 means "as before the open".
    QTest::addColumn<QList<int>>("block");

    const QStringList oldHeaders{"old device", "old user", "old date", "old description"};
    const QStringList newHeaders{"Dev", "Usr", "2024-05-01", "Desc"};
    QList<int> all;
    for (int i = 0; i < q51::BlockSize; ++i)
        all << fileByte(i);
    QList<int> none(q51::BlockSize, -1);
    auto allBut = [&](int index) {
        QList<int> b = all;
        b[index] = -1;
        return b;
    };
    auto withLine = [](int number, const QByteArray &text) {
        QList<QByteArray> lines = sourceLines();
        lines[number - 1] = text;
        return joined(lines);
    };

    QTest::newRow("complete") << joined(sourceLines()) << true << newHeaders << 3 << 0 << all;
    QTest::newRow("LF only") << joined(sourceLines(), "\n") << true << newHeaders << 3 << 0 << all;
    QTest::newRow("CR only") << joined(sourceLines(), "\r") << true << newHeaders << 3 << 0 << all;
    QByteArray noFinalEnd = joined(sourceLines());
    noFinalEnd.chop(2);
    QTest::newRow("no final line end") << noFinalEnd << true << newHeaders << 3 << 0 << all;
    QTest::newRow("lines after the block ignored")
        << joined(sourceLines()) + " 7 \r\ntrailing\r\n" << true << newHeaders << 3 << 0 << all;

    QTest::newRow("magic upper case") << withLine(1, "ZENU") << false << oldHeaders << 9 << 1 << none;
    QTest::newRow("magic with trailing blank") << withLine(1, "zenu ") << false << oldHeaders << 9 << 1 << none;
    QTest::newRow("magic with leading blank") << withLine(1, " zenu") << false << oldHeaders << 9 << 1 << none;
    QTest::newRow("empty file") << QByteArray() << false << oldHeaders << 9 << 1 << none;
    QTest::newRow("magic only") << QByteArray("zenu") << true << oldHeaders << 9 << 1 << none;

    QList<int> first93 = none;
    for (int i = 0; i <= 92; ++i)
        first93[i] = fileByte(i);
    QTest::newRow("ends after line 100") << joined(sourceLines().mid(0, 100)) << true << newHeaders << 3 << 0 << first93;
    QStringList twoHeaders = oldHeaders;
    twoHeaders[0] = "Dev";
    twoHeaders[1] = "Usr";
    QTest::newRow("ends after line 3") << joined(sourceLines().mid(0, 3)) << true << twoHeaders << 9 << 1 << none;

    QTest::newRow("300 on a block line") << withLine(lineOfByte(10), " 300 ") << true << newHeaders << 3 << 0 << allBut(10);
    QTest::newRow("256 on a block line") << withLine(lineOfByte(0), "256") << true << newHeaders << 3 << 0 << allBut(0);
    QTest::newRow("negative block byte") << withLine(lineOfByte(30), "-1 ") << true << newHeaders << 3 << 0 << allBut(30);
    QTest::newRow("non-numeric block line") << withLine(lineOfByte(20), "abc") << true << newHeaders << 3 << 0 << allBut(20);
    QTest::newRow("digits then text") << withLine(lineOfByte(21), " 12abc ") << true << newHeaders << 3 << 0 << allBut(21);
    QTest::newRow("two numbers") << withLine(lineOfByte(22), " 1 2 ") << true << newHeaders << 3 << 0 << allBut(22);
    QTest::newRow("empty block line") << withLine(lineOfByte(23), "") << true << newHeaders << 3 << 0 << allBut(23);
    QTest::newRow("sign only") << withLine(lineOfByte(24), " - ") << true << newHeaders << 3 << 0 << allBut(24);
    QTest::newRow("huge number") << withLine(lineOfByte(255), "99999999999999999999999999") << true << newHeaders << 3
                                 << 0 << allBut(255);
    QList<int> blanks = all;
    blanks[40] = 42;
    QTest::newRow("blanks and tabs around digits") << withLine(lineOfByte(40), "\t  42 \t ") << true << newHeaders << 3
                                                   << 0 << blanks;
    QList<int> plus = all;
    plus[41] = 7;
    QTest::newRow("plus sign") << withLine(lineOfByte(41), "+7") << true << newHeaders << 3 << 0 << plus;

    QTest::newRow("negative port") << withLine(6, "-5 ") << true << newHeaders << -5 << 0 << all;
    QTest::newRow("port above 16 bits") << withLine(6, " 32768 ") << true << newHeaders << 9 << 0 << all;
    QTest::newRow("port below 16 bits") << withLine(6, "-32769 ") << true << newHeaders << 9 << 0 << all;
    QTest::newRow("largest mode") << withLine(7, " 32767 ") << true << newHeaders << 3 << 32767 << all;
    QTest::newRow("non-numeric mode") << withLine(7, "RS232") << true << newHeaders << 3 << 1 << all;

    QStringList stripped = newHeaders;
    stripped[1] = "Usr  ";
    QTest::newRow("header: leading blanks and tabs dropped, trailing kept")
        << withLine(3, " \t Usr  ") << true << stripped << 3 << 0 << all;
    QStringList empty = newHeaders;
    empty[3] = "";
    QTest::newRow("header: empty line") << withLine(5, "") << true << empty << 3 << 0 << all;
}

// The reader's list of skipped lines in short: "18 range", "25 text",
// "101-263 missing".
QString skippedInShort(const std::vector<q51::SkippedLine> &skipped)
{
    QStringList parts;
    for (std::size_t i = 0; i < skipped.size(); ++i) {
        const q51::SkippedLine &line = skipped[i];
        switch (line.reason) {
        case q51::SkippedLine::Reason::Missing:
            parts << QStringLiteral("%1-%2 missing").arg(line.line).arg(skipped.back().line);
            i = skipped.size();
            break;
        case q51::SkippedLine::Reason::OutOfRange: parts << QStringLiteral("%1 range").arg(line.line); break;
        case q51::SkippedLine::Reason::NotANumber: parts << QStringLiteral("%1 text").arg(line.line); break;
        }
    }
    return parts.join(QLatin1String(", "));
}

// What the reader must report skipping, by row of reader_data; a row not
// named here skips nothing.
QString expectedSkips(const QString &row)
{
    const auto at = [](int byte, const char *what) { return QStringLiteral("%1 %2").arg(lineOfByte(byte)).arg(what); };
    const QHash<QString, QString> skips{
        {"magic only", "2-263 missing"},
        {"ends after line 100", "101-263 missing"},
        {"ends after line 3", "4-263 missing"},
        {"300 on a block line", at(10, "range")},
        {"256 on a block line", at(0, "range")},
        {"negative block byte", at(30, "range")},
        {"huge number", at(255, "range")},
        {"non-numeric block line", at(20, "text")},
        {"digits then text", at(21, "text")},
        {"two numbers", at(22, "text")},
        {"empty block line", at(23, "text")},
        {"sign only", at(24, "text")},
        {"port above 16 bits", "6 range"},
        {"port below 16 bits", "6 range"},
        {"non-numeric mode", "7 text"},
    };
    return skips.value(row);
}

void ConfigFileFormatTest::reader()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, accepted);
    QFETCH(QStringList, headers);
    QFETCH(int, port);
    QFETCH(int, mode);
    QFETCH(QList<int>, block);

    const Configuration before = beforeOpen();
    Configuration c = before;
    std::vector<q51::SkippedLine> skipped;
    QCOMPARE(q51::ParseConfigurationFile(toStd(file), c, &skipped), accepted);
    if (accepted)
        QCOMPARE(skippedInShort(skipped), expectedSkips(QString::fromUtf8(QTest::currentDataTag())));

    QCOMPARE(QString::fromStdString(c.DeviceName), headers[0]);
    QCOMPARE(QString::fromStdString(c.UserName), headers[1]);
    QCOMPARE(QString::fromStdString(c.BuildingDate), headers[2]);
    QCOMPARE(QString::fromStdString(c.Description), headers[3]);
    QCOMPARE(int(c.PortNumber), port);
    QCOMPARE(int(c.TransferMode), mode);
    for (int i = 0; i < q51::BlockSize; ++i) {
        const int expected = block[i] < 0 ? before.block[std::size_t(i)] : block[i];
        QCOMPARE(int(c.block[std::size_t(i)]), expected);
        QCOMPARE(int(c.savedCopy[std::size_t(i)]), expected);
    }
    QCOMPARE(c.FileName, before.FileName);
}

// Edits made before the open are not unsaved changes of the opened file,
// even in the bytes a short file does not hold.
void ConfigFileFormatTest::savedCopyFollowsTheBlockOnOpen()
{
    Configuration c = beforeOpen();
    c.block[200] = 0xEE;
    c.savedCopy[250] = 0x11;
    QVERIFY(c.HasUnsavedChanges());
    QVERIFY(q51::ParseConfigurationFile(toStd(joined(sourceLines().mid(0, 50))), c));
    QVERIFY(!c.HasUnsavedChanges());
    QCOMPARE(int(c.block[200]), 0xEE);
    QCOMPARE(int(c.savedCopy[250]), 250);
}

void ConfigFileFormatTest::fileNameIsLeftToTheCaller()
{
    Configuration c;
    c.FileName = "/kept.cfg";
    QVERIFY(q51::ParseConfigurationFile(toStd(joined(sourceLines())), c));
    QCOMPARE(c.FileName, std::string("/kept.cfg"));
}

void ConfigFileFormatTest::headerText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("written"); // line 5 of the file, without CR LF
    QTest::addColumn<QString>("readBack");
    QTest::addColumn<uint>("refused"); // the character a typed or imported text is refused for; 0: none

    const QString quoted = QStringLiteral("Line A, \"quoted\", 'single', x,y");
    QTest::newRow("commas and quotes") << quoted << quoted.toLatin1() << quoted << 0u;
    QTest::newRow("accented") << QStringLiteral("Caf\u00e9 \u00c0 \u00ff") << QByteArray("Caf\xe9 \xc0 \xff")
                              << QStringLiteral("Caf\u00e9 \u00c0 \u00ff") << 0u;
    QTest::newRow("euro and typographic quotes") << QStringLiteral("5 \u20ac \u201cok\u201d \u2026")
                                                 << QByteArray("5 \x80 \x93ok\x94 \x85")
                                                 << QStringLiteral("5 \u20ac \u201cok\u201d \u2026") << 0u;
    QTest::newRow("outside the code page") << QStringLiteral("a\u65e5\u672cb") << QByteArray("a??b")
                                           << QStringLiteral("a??b") << 0x65E5u;
    QTest::newRow("outside the basic plane") << QStringLiteral("a\U0001F600b") << QByteArray("a?b")
                                             << QStringLiteral("a?b") << 0x1F600u;
    QTest::newRow("C1 control without a glyph") << QStringLiteral("a\u0080b") << QByteArray("a?b")
                                                << QStringLiteral("a?b") << 0x80u;
    QTest::newRow("CR LF typed") << QStringLiteral("first\r\nsecond") << QByteArray("first second")
                                 << QStringLiteral("first second") << 0u;
    QTest::newRow("LF typed") << QStringLiteral("first\nsecond") << QByteArray("first second")
                              << QStringLiteral("first second") << 0u;
    QTest::newRow("CR typed") << QStringLiteral("first\rsecond") << QByteArray("first second")
                              << QStringLiteral("first second") << 0u;
    QTest::newRow("blank line typed") << QStringLiteral("a\r\n\r\nb\n\rc") << QByteArray("a  b  c")
                                      << QStringLiteral("a  b  c") << 0u;
    QTest::newRow("line break at the end") << QStringLiteral("end\n") << QByteArray("end ") << QStringLiteral("end ") << 0u;
    QTest::newRow("leading blanks") << QStringLiteral("  \tx") << QByteArray("  \tx") << QStringLiteral("x") << 0u;
}

void ConfigFileFormatTest::headerText()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, written);
    QFETCH(QString, readBack);
    QFETCH(uint, refused);
    const auto outside = q51::FirstOutsideWindows1252(typed.toStdString());
    QCOMPARE(outside ? uint(*outside) : 0u, refused);

    Configuration c;
    c.Description = typed.toStdString();
    c.block[0] = 0x41;
    const QByteArray file = toBytes(q51::FormatConfigurationFile(c));
    const QList<QByteArray> lines = crlfLines(file);
    QCOMPARE(lines.size(), 263);
    QCOMPARE(lines[4], written);
    QCOMPARE(lines[7], QByteArray(" 65 "));

    Configuration reopened;
    QVERIFY(q51::ParseConfigurationFile(toStd(file), reopened));
    QCOMPARE(QString::fromStdString(reopened.Description), readBack);
    QCOMPARE(int(reopened.block[0]), 0x41);
}

void ConfigFileFormatTest::codePageRoundTripsEveryByte()
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const std::string utf8 = q51::Windows1252ToUtf8(all);
    QVERIFY(QString::fromStdString(utf8).size() == 256); // one character per byte
    QCOMPARE(q51::Utf8ToWindows1252(utf8), all);
}

void ConfigFileFormatTest::codePageHighRange_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("codePoint");
    QTest::newRow("0x80 euro") << 0x80 << 0x20AC;
    QTest::newRow("0x81 undefined") << 0x81 << 0x81;
    QTest::newRow("0x83 florin") << 0x83 << 0x0192;
    QTest::newRow("0x8A S caron") << 0x8A << 0x0160;
    QTest::newRow("0x8D undefined") << 0x8D << 0x8D;
    QTest::newRow("0x8F undefined") << 0x8F << 0x8F;
    QTest::newRow("0x90 undefined") << 0x90 << 0x90;
    QTest::newRow("0x96 en dash") << 0x96 << 0x2013;
    QTest::newRow("0x99 trade mark") << 0x99 << 0x2122;
    QTest::newRow("0x9D undefined") << 0x9D << 0x9D;
    QTest::newRow("0x9F Y diaeresis") << 0x9F << 0x0178;
    QTest::newRow("0xA0 no-break space") << 0xA0 << 0xA0;
    QTest::newRow("0xE9 e acute") << 0xE9 << 0xE9;
}

void ConfigFileFormatTest::codePageHighRange()
{
    QFETCH(int, byte);
    QFETCH(int, codePoint);
    const QString text = QString::fromStdString(q51::Windows1252ToUtf8(std::string(1, char(byte))));
    QCOMPARE(text.size(), 1);
    QCOMPARE(int(text[0].unicode()), codePoint);
    QCOMPARE(q51::Utf8ToWindows1252(text.toStdString()), std::string(1, char(byte)));
}

void ConfigFileFormatTest::malformedUtf8_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("lone continuation") << QByteArray("a\x80z") << QByteArray("a?z");
    QTest::newRow("invalid lead") << QByteArray("a\xFFz") << QByteArray("a?z");
    QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << QByteArray("??");
    QTest::newRow("overlong three bytes") << QByteArray("\xE0\x80\xAF") << QByteArray("???");
    QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << QByteArray("???");
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << QByteArray("????");
    QTest::newRow("cut at the end") << QByteArray("a\xE2\x82") << QByteArray("a?");
    QTest::newRow("cut before ASCII") << QByteArray("\xE2\x82z") << QByteArray("?z");
    QTest::newRow("valid euro") << QByteArray("\xE2\x82\xAC") << QByteArray("\x80");
}

void ConfigFileFormatTest::malformedUtf8()
{
    QFETCH(QByteArray, utf8);
    QFETCH(QByteArray, bytes);
    QCOMPARE(toBytes(q51::Utf8ToWindows1252(toStd(utf8))), bytes);
}

QTEST_GUILESS_MAIN(ConfigFileFormatTest)
#include "tst_config_file_format.moc"
