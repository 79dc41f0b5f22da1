#include <QtTest>

#include "model/check_digit.h"
#include "model/configuration.h"

using q51::Configuration;

class FieldAccessTest : public QObject {
    Q_OBJECT
private slots:
    void setBits_data();
    void setBits();
    void getBitsIsUnshifted();
    void outOfRangeIsAProgrammingError_data();
    void outOfRangeIsAProgrammingError();
    void checkDigitWrite_data();
    void checkDigitWrite();
    void checkDigitDecodeEveryByte();
    void checkDigitChoiceOutsideTableWritesNothing();
    void changeDetection();
    void framingTextIsAlwaysFiveCharacters();
};

void FieldAccessTest::setBits_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("after");
    QTest::newRow("set bit 3") << 0xA0 << 0x08 << 0x08 << 0xA8;
    QTest::newRow("clear bits 7..5") << 0xA8 << 0xE0 << 0x00 << 0x08;
    // The value is OR-ed in unmasked: a value outside its mask still lands.
    QTest::newRow("value outside mask") << 0x00 << 0x01 << 0x81 << 0x81;
    QTest::newRow("whole byte") << 0x5A << 0xFF << 0xC3 << 0xC3;
}

void FieldAccessTest::setBits()
{
    QFETCH(int, before);
    QFETCH(int, mask);
    QFETCH(int, value);
    QFETCH(int, after);
    Configuration c;
    c.block.fill(0x11);
    c.block[26] = static_cast<std::uint8_t>(before);
    c.SetBits(26, mask, value);
    QCOMPARE(int(c.block[26]), after);
    for (int i = 0; i < q51::BlockSize; ++i) {
        if (i != 26)
            QCOMPARE(int(c.block[static_cast<std::size_t>(i)]), 0x11);
    }
}

void FieldAccessTest::getBitsIsUnshifted()
{
    Configuration c;
    c.block[26] = 0xA8;
    QCOMPARE(int(c.GetBits(26, 0x60)), 0x20);
    QCOMPARE(int(c.GetBits(26, 0x08)), 0x08);
    QCOMPARE(int(c.GetBits(255, 0xFF)), 0);
}

void FieldAccessTest::outOfRangeIsAProgrammingError_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("value");
    QTest::newRow("index 256") << 256 << 0x01 << 0x01;
    QTest::newRow("index -1") << -1 << 0x01 << 0x01;
    QTest::newRow("value 256") << 0 << 0xFF << 0x100;
    QTest::newRow("negative value") << 0 << 0xFF << -1;
    QTest::newRow("mask 0x1FF") << 0 << 0x1FF << 0;
}

void FieldAccessTest::outOfRangeIsAProgrammingError()
{
    QFETCH(int, index);
    QFETCH(int, mask);
    QFETCH(int, value);
    Configuration c;
    c.block.fill(0x5A);
    const auto before = c.block;
    QVERIFY_THROWS_EXCEPTION(q51::FieldAccessError, c.SetBits(index, mask, value));
    QCOMPARE(c.block, before);
    if (index < 0 || index > 255)
        QVERIFY_THROWS_EXCEPTION(q51::FieldAccessError, (void)c.GetBits(index, mask));
}

void FieldAccessTest::checkDigitWrite_data()
{
    QTest::addColumn<bool>("fiveWay");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("choice");
    QTest::addColumn<int>("after");
    QTest::newRow("3-way 0 on 00 keeps bit 5 set") << false << 0x00 << 0 << 0x20;
    QTest::newRow("3-way 1 on FF") << false << 0xFF << 1 << 0xDF;
    QTest::newRow("3-way 2 on 9F") << false << 0x9F << 2 << 0xFF;
    QTest::newRow("5-way 0 on 00") << true << 0x00 << 0 << 0x30;
    QTest::newRow("5-way 1 on 80") << true << 0x80 << 1 << 0xF0;
    QTest::newRow("5-way 2 on 0F") << true << 0x0F << 2 << 0x5F;
    QTest::newRow("5-way 3 on 00") << true << 0x00 << 3 << 0x60;
    QTest::newRow("5-way 4 on FF") << true << 0xFF << 4 << 0xCF;
}

void FieldAccessTest::checkDigitWrite()
{
    QFETCH(bool, fiveWay);
    QFETCH(int, before);
    QFETCH(int, choice);
    QFETCH(int, after);
    Configuration c;
    c.block[7] = static_cast<std::uint8_t>(before);
    QVERIFY(c.SetCheckDigitMode(7, choice, fiveWay));
    QCOMPARE(int(c.block[7]), after);
    QCOMPARE(int(c.GetCheckDigitMode(7, fiveWay)), choice);
}

void FieldAccessTest::checkDigitDecodeEveryByte()
{
    // Bit 6 clear always decodes to 0, whatever the lower bits say.
    Configuration c;
    for (int byte = 0; byte < 256; ++byte) {
        c.block[3] = static_cast<std::uint8_t>(byte);
        const int three = c.GetCheckDigitMode(3, false);
        const int five = c.GetCheckDigitMode(3, true);
        if (!(byte & 0x40)) {
            QCOMPARE(three, 0);
            QCOMPARE(five, 0);
            continue;
        }
        QCOMPARE(three, (byte & 0x20) ? 2 : 1);
        const int bits54 = (byte >> 4) & 3;
        const int expectedFive[] = {4, 2, 3, 1}; // 00, 01, 10, 11
        QCOMPARE(five, expectedFive[bits54]);
    }
    c.block[3] = 0x40;
    QCOMPARE(int(c.GetCheckDigitMode(3, false)), 1);
    c.block[3] = 0x3F;
    QCOMPARE(int(c.GetCheckDigitMode(3, true)), 0);
}

void FieldAccessTest::checkDigitChoiceOutsideTableWritesNothing()
{
    Configuration c;
    c.block[9] = 0xA5;
    QVERIFY(!c.SetCheckDigitMode(9, 5, true));
    QVERIFY(!c.SetCheckDigitMode(9, 3, false));
    QVERIFY(!c.SetCheckDigitMode(9, -1, false));
    QCOMPARE(int(c.block[9]), 0xA5);
}

void FieldAccessTest::changeDetection()
{
    Configuration c;
    QVERIFY(!c.HasUnsavedChanges());
    c.SetBits(200, 0x01, 0x01);
    QVERIFY(c.HasUnsavedChanges());
    QCOMPARE(c.FirstChangedIndex(), 200);
    c.SetBits(5, 0x02, 0x02);
    QCOMPARE(c.FirstChangedIndex(), 5);
    c.TakeSavedCopy();
    QVERIFY(!c.HasUnsavedChanges());
    c.block[255] ^= 0x80;
    QCOMPARE(c.FirstChangedIndex(), 255);
}

void FieldAccessTest::framingTextIsAlwaysFiveCharacters()
{
    Configuration c;
    QCOMPARE(c.SettingsString(), std::string("9600,N,8,1"));
    c.FramingText = "E,7,2,extra";
    QCOMPARE(c.FramingText.str(), std::string("E,7,2"));
    c.FramingText = "O";
    QCOMPARE(c.FramingText.str(), std::string("O    "));
    c.FramingText = "N,8,1";
    c.FramingText.setAt(1, 'S');
    c.FramingText.setAt(5, '2');
    QCOMPARE(c.FramingText.str(), std::string("S,8,2"));
    QCOMPARE(c.FramingText.at(3), '8');
}

QTEST_APPLESS_MAIN(FieldAccessTest)
#include "tst_field_access.moc"
