#include <QtTest>

#include <QTabWidget>

#include "model/factory_defaults.h"
#include "pages/communication/communication_page.h"
#include "support/documented.h"
#include "support/page_driver.h"

using namespace q51;
using namespace q51::test;

class CommunicationPageTest : public QObject {
    Q_OBJECT
private slots:
    void tabs();
    void factoryBlockOpensUnchanged();
    void lineSettingsShareByte24_data();
    void lineSettingsShareByte24();
    void parityNoneIsCode7();
    void terminatorShown_data();
    void terminatorShown();
    void terminatorWritesBothBytes_data();
    void terminatorWritesBothBytes();
    void panelDefaultsTouchOnlyTheirPanel_data();
    void panelDefaultsTouchOnlyTheirPanel();
    void otherPagesBitsSurvive();
};

void CommunicationPageTest::tabs()
{
    Configuration c;
    q51::test::Documented<CommunicationPage> page(c);
    QCOMPARE(page.objectName(), QStringLiteral("cfg4"));
    QCOMPARE(page.windowTitle(), QStringLiteral("Communication Parameters"));
    QTabWidget *tabs = page.tabs();
    const QStringList captions{"&RS232", "&Keyboard", "&Output Character", "&Wand Emul.and OCIA"};
    const QStringList tips{"RS232 Mode Parameters", "Keyboard Wedge Mode Parameters", "Output Characters Parameters",
                           "Wand Emulation Mode and OCIA Parameters"};
    QCOMPARE(tabs->count(), 4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(tabs->tabText(i), captions[i]);
        QCOMPARE(tabs->tabToolTip(i), tips[i]);
    }
    QCOMPARE(tabs->currentIndex(), 0);
}

void CommunicationPageTest::factoryBlockOpensUnchanged()
{
    Configuration c;
    LoadFactoryDefaults(c);
    c.TakeSavedCopy();
    q51::test::Documented<CommunicationPage> page(c);
    QVERIFY(!c.HasUnsavedChanges());
    QCOMPARE(chosen(&page, "optCfg41A"), QStringLiteral("9600"));
    QCOMPARE(chosen(&page, "optCfg41D"), QStringLiteral("None"));
    QCOMPARE(chosen(&page, "optCfg43A"), QStringLiteral("CR+LF"));
    QVERIFY(choose(&page, "optCfg41A", "19200"));
    QCOMPARE(c.block[24] & 0x07, 4);
    QVERIFY(c.HasUnsavedChanges());
}

void CommunicationPageTest::lineSettingsShareByte24_data()
{
    QTest::addColumn<QStringList>("clicks"); // "group=caption"
    QTest::addColumn<int>("after");
    QTest::newRow("Even on FF") << QStringList{"optCfg41D=Even"} << 0xAF;
    QTest::newRow("all four") << QStringList{"optCfg41C=2 Bits", "optCfg41A=1200", "optCfg41D=Odd", "optCfg41B=7 Data Bits"}
                              << 0x31;
    QTest::newRow("other order") << QStringList{"optCfg41B=7 Data Bits", "optCfg41D=Odd", "optCfg41A=1200", "optCfg41C=2 Bits"}
                                 << 0x31;
    QTest::newRow("9600 stores 7") << QStringList{"optCfg41A=600", "optCfg41A=9600"} << 0xFF;
}

void CommunicationPageTest::lineSettingsShareByte24()
{
    QFETCH(QStringList, clicks);
    QFETCH(int, after);
    Configuration c;
    c.block[24] = 0xFF;
    q51::test::Documented<CommunicationPage> page(c);
    for (const QString &click : clicks)
        QVERIFY2(choose(&page, click.section('=', 0, 0).toLatin1().constData(),
                        click.section('=', 1).toUtf8().constData()),
                 qPrintable(click));
    QCOMPARE(int(c.block[24]), after);
}

void CommunicationPageTest::parityNoneIsCode7()
{
    Configuration c;
    c.block[24] = 0x00;
    q51::test::Documented<CommunicationPage> page(c);
    QCOMPARE(chosen(&page, "optCfg41D"), QStringLiteral("Space"));
    QVERIFY(choose(&page, "optCfg41D", "None"));
    QCOMPARE(c.block[24] & 0x70, 0x70);
    c.block[24] = 0xF6; // parity 7, baud code 6
    q51::test::Documented<CommunicationPage> reopened(c);
    QCOMPARE(chosen(&reopened, "optCfg41D"), QStringLiteral("None"));
    QCOMPARE(chosen(&reopened, "optCfg41A"), QStringLiteral("9600"));
}

void CommunicationPageTest::terminatorShown_data()
{
    QTest::addColumn<int>("b32");
    QTest::addColumn<int>("b33");
    QTest::addColumn<QString>("shown");
    QTest::newRow("CR even after CR") << 0x0D << 0x0D << "CR";
    QTest::newRow("CR+LF") << 0x0D << 0x0A << "CR+LF";
    QTest::newRow("LF") << 0xFF << 0x0A << "LF";
    QTest::newRow("LF after other") << 0x41 << 0x0A << "LF";
    QTest::newRow("TAB") << 0x00 << 0x09 << "HT(TAB)";
    QTest::newRow("Space") << 0xFF << 0x20 << "Space";
    QTest::newRow("STX-ETX") << 0x02 << 0x03 << "STX-ETX (RS232 Mode Only)";
    QTest::newRow("anything else") << 0x0D << 0x41 << "None";
}

void CommunicationPageTest::terminatorShown()
{
    QFETCH(int, b32);
    QFETCH(int, b33);
    QFETCH(QString, shown);
    Configuration c;
    c.block[32] = static_cast<std::uint8_t>(b32);
    c.block[33] = static_cast<std::uint8_t>(b33);
    q51::test::Documented<CommunicationPage> page(c);
    QCOMPARE(chosen(&page, "optCfg43A"), shown);
}

void CommunicationPageTest::terminatorWritesBothBytes_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("b32");
    QTest::addColumn<int>("b33");
    QTest::newRow("CR") << "CR" << 0xFF << 0x0D;
    QTest::newRow("CR+LF") << "CR+LF" << 0x0D << 0x0A;
    QTest::newRow("STX-ETX") << "STX-ETX (RS232 Mode Only)" << 0x02 << 0x03;
    QTest::newRow("None") << "None" << 0xFF << 0xFF;
}

void CommunicationPageTest::terminatorWritesBothBytes()
{
    QFETCH(QString, caption);
    QFETCH(int, b32);
    QFETCH(int, b33);
    Configuration c;
    q51::test::Documented<CommunicationPage> page(c);
    QVERIFY(choose(&page, "optCfg43A", caption.toUtf8().constData()));
    QCOMPARE(int(c.block[32]), b32);
    QCOMPARE(int(c.block[33]), b33);
}

void CommunicationPageTest::panelDefaultsTouchOnlyTheirPanel_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<int>>("bytes");  // bytes this panel may change
    QTest::newRow("RS232") << "cmdDefault41" << QList<int>{24, 27, 29};
    QTest::newRow("Keyboard") << "cmdDefault42" << QList<int>{25, 27, 29};
    QTest::newRow("Output") << "cmdDefault43" << QList<int>{26, 32, 33};
    QTest::newRow("Wand/OCIA") << "cmdDefault44" << QList<int>{28};
}

void CommunicationPageTest::panelDefaultsTouchOnlyTheirPanel()
{
    QFETCH(QString, button);
    QFETCH(QList<int>, bytes);
    Configuration c;
    for (std::size_t i = 0; i < c.block.size(); ++i)
        c.block[i] = static_cast<std::uint8_t>(i * 37 + 11);
    c.block[24] = 0x00;
    c.block[25] = 0x05;
    c.block[32] = 0x02;
    c.block[33] = 0x03;
    q51::test::Documented<CommunicationPage> page(c);
    const Block opened = c.block;
    press(&page, button.toLatin1().constData());
    for (int i = 0; i < BlockSize; ++i) {
        if (!bytes.contains(i))
            QCOMPARE(int(c.block[static_cast<std::size_t>(i)]), int(opened[static_cast<std::size_t>(i)]));
    }
    // And the panel's own fields are now the factory values.
    const Block &factory = FactoryBlock();
    if (button == QLatin1String("cmdDefault41"))
        QCOMPARE(int(c.block[24]), int(factory[24]));
    if (button == QLatin1String("cmdDefault43")) {
        QCOMPARE(int(c.block[32]), 0x0D);
        QCOMPARE(int(c.block[33]), 0x0A);
        QCOMPARE(c.block[26] & 0x07, 0);
    }
    if (button == QLatin1String("cmdDefault44"))
        QCOMPARE(c.block[28] & 0xF8, factory[28] & 0xF8);
}

void CommunicationPageTest::otherPagesBitsSurvive()
{
    Configuration c;
    c.block[27] = 0xB3; // bit 7 belongs to the bar-code page, 5..4 and 1..0 to the miscellaneous page
    c.block[28] = 0x07; // reading mode
    c.block[29] = 0x3C; // miscellaneous reader options
    q51::test::Documented<CommunicationPage> page(c);
    for (const char *group : {"optRTSCTS", "optACKNCK", "optCfg42D"}) {
        QVERIFY(choose(&page, group, group == QByteArray("optCfg42D") ? "ON" : "Enable"));
    }
    QVERIFY(choose(&page, "optXONXOFF", "Enable"));
    QVERIFY(choose(&page, "optCfg42C", "Enable"));
    QVERIFY(choose(&page, "Optcfg42b", "Lower Case"));
    QVERIFY(choose(&page, "optcfg44A", "Bar Equals High"));
    QVERIFY(choose(&page, "optCfg46", "Nixdorf"));
    QCOMPARE(c.block[27] & 0xB3, 0xB3);
    QCOMPARE(c.block[28] & 0x07, 0x07);
    QCOMPARE(c.block[29] & 0x3C, 0x3C);
    for (const char *button : {"cmdDefault41", "cmdDefault42", "cmdDefault43", "cmdDefault44"})
        press(&page, button);
    QCOMPARE(c.block[27] & 0xB3, 0xB3);
    QCOMPARE(c.block[28] & 0x07, 0x07);
    QCOMPARE(c.block[29] & 0x3C, 0x3C);
}

QTEST_MAIN(CommunicationPageTest)
#include "tst_communication_page.moc"
