#include <QtTest>

#include "model/factory_defaults.h"

using q51::Configuration;

class FactoryDefaultsTest : public QObject {
    Q_OBJECT
private slots:
    void bytes_data();
    void bytes();
    void unlistedBytesAreZero();
    void touchesOnlyTheBlock();
    void headerPresets();
};

// Every value the factory table lists, written out independently of the
// code that builds it.
void FactoryDefaultsTest::bytes_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("value");
    const int head[] = {0xBF, 0xA3, 0x00, 0x00, 0xB0, 0xC0, 0xB8, 0x30, 0x30, 0xA0, 0x40, 0x20, 0x30, 0x30, 0x30, 0x30, 0x30};
    for (int i = 0; i < 17; ++i)
        QTest::addRow("byte %d", i) << i << head[i];
    const std::pair<int, int> single[] = {{23, 0x00}, {24, 0xFF}, {25, 0x00}, {26, 0x00}, {27, 0xB0}, {28, 0xC9},
                                          {29, 0x08}, {30, 0xFF}, {31, 0x8F}, {32, 0x0D}, {33, 0x0A}, {34, 0x0D},
                                          {35, 0x00}, {36, 0xE9}, {80, 0x41}, {81, 0x42}, {82, 0x50}, {83, 0x51},
                                          {84, 0x45}, {99, 0x54}, {100, 0x00}, {103, 0x00}, {104, 0x44}, {105, 0x43},
                                          {106, 0x58}, {107, 0x59}, {108, 0x5A}, {190, 0x00}, {191, 0x00},
                                          {192, 0x01}, {193, 0x01}, {194, 0x04}, {195, 0x02}, {196, 0x04},
                                          {197, 0x03}, {198, 0x01}, {199, 0x02}, {200, 0x01}, {201, 0x03},
                                          {202, 0x01}, {203, 0x01}, {204, 0x01}, {205, 0x00}, {206, 0x00},
                                          {207, 0x01}, {254, 0x00}, {255, 0x00}};
    for (auto [i, v] : single)
        QTest::addRow("byte %d", i) << i << v;
    for (int i = 37; i <= 79; ++i)
        QTest::addRow("length %d", i) << i << 0xFF;
    for (int g = 0; g < 6; ++g) {
        QTest::addRow("insertion %d", g) << 112 + 10 * g << 0xFF;
        QTest::addRow("insertion %d next", g) << 113 + 10 * g << 0x00;
        QTest::addRow("deletion %d", g) << 172 + 3 * g << 0xFF;
        QTest::addRow("deletion %d next", g) << 173 + 3 * g << 0x00;
    }
}

void FactoryDefaultsTest::bytes()
{
    QFETCH(int, index);
    QFETCH(int, value);
    QCOMPARE(int(q51::FactoryBlock()[static_cast<std::size_t>(index)]), value);
}

void FactoryDefaultsTest::unlistedBytesAreZero()
{
    const auto &b = q51::FactoryBlock();
    for (int i : {17, 18, 19, 20, 21, 22, 109, 110, 111, 208, 230, 253})
        QCOMPARE(int(b[static_cast<std::size_t>(i)]), 0);
    int nonZero = 0;
    for (auto v : b)
        nonZero += v != 0;
    // 15 of the head, 24 and 27..36 but 35, 43 lengths, 25 code IDs, 12 groups, 14 minima
    QCOMPARE(nonZero, 15 + 10 + 43 + 25 + 12 + 14);
}

void FactoryDefaultsTest::touchesOnlyTheBlock()
{
    Configuration c;
    c.block.fill(0x77);
    c.savedCopy.fill(0x66);
    c.DeviceName = "kept";
    c.FileName = "/tmp/x.cfg";
    c.PortNumber = 3;
    c.TransferMode = 0;
    q51::LoadFactoryDefaults(c);
    QCOMPARE(c.block, q51::FactoryBlock());
    QCOMPARE(int(c.savedCopy[0]), 0x66);
    QCOMPARE(c.DeviceName, std::string("kept"));
    QCOMPARE(c.FileName, std::string("/tmp/x.cfg"));
    QCOMPARE(int(c.PortNumber), 3);
    QCOMPARE(int(c.TransferMode), 0);
}

void FactoryDefaultsTest::headerPresets()
{
    Configuration c;
    c.FileName = "/tmp/a.cfg";
    q51::ResetHeaderStrings(c, q51::HeaderPreset::StartUp, "12/8/26");
    QCOMPARE(c.Description, std::string("Your description about this configuration file"));
    QCOMPARE(c.BuildingDate, std::string("12/8/26"));
    QCOMPARE(c.UserName, std::string("User's Name"));
    QCOMPARE(c.FileName, std::string("New File"));
    q51::ResetHeaderStrings(c, q51::HeaderPreset::NewFile, "x");
    QCOMPARE(c.Description, std::string("Your Description about this Setup"));
    QCOMPARE(c.DeviceName, std::string("Device Name"));
}

QTEST_APPLESS_MAIN(FactoryDefaultsTest)
#include "tst_factory_defaults.moc"
