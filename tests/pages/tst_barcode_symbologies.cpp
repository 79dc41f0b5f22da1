#include <QtTest>

#include <QCheckBox>
#include <QGroupBox>
#include <QTabWidget>

#include "model/factory_defaults.h"
#include "pages/barcodes/barcode_page.h"
#include "schema/symbology_fields.h"
#include "support/documented.h"
#include "support/page_driver.h"
#include "support/scripted_dialogs.h"

using namespace q51;
using namespace q51::test;

// The bar-code page's frame, its symbology list and the UPC/EAN/JAN panel.
class BarCodeSymbologiesTest : public QObject {
    Q_OBJECT
private slots:
    void tabsAndPanelTitles();
    void factoryBlockOpensUnchangedWithItsMeanings();
    void listEntries();
    void summaryBitFollowsTheList_data();
    void summaryBitFollowsTheList();
    void anyListClickRecomputesTheSummary();
    void setAllBarcodesOnFactoryBlock();
    void clearAllTouchesNothingElse_data();
    void clearAllTouchesNothingElse();
    void listAndUpcDefaultsGiveTheFactoryBytes_data();
    void listAndUpcDefaultsGiveTheFactoryBytes();
    void supplementalChoiceLeavesItsNeighbours();
};

static QCheckBox *check(QWidget &page, const std::string &name)
{
    return page.findChild<QCheckBox *>(QString::fromStdString(name));
}

void BarCodeSymbologiesTest::tabsAndPanelTitles()
{
    Configuration c;
    ScriptedDialogs d;
    q51::test::Documented<BarCodePage> page(c, d);
    QCOMPARE(page.objectName(), QStringLiteral("cfg5"));
    QCOMPARE(page.windowTitle(), QStringLiteral("Bar Codes and Others"));
    const QStringList captions{"&Symboligies", "&UPC/EAN/JAN", "Code &39", "Code 12&8", "&Interleave 25",
                               "In&dustrial 25", "&Matrix 25", "Coda&Bar", "Code &93", "Code &11", "MSI/&PLESSEY",
                               "BC &412", "China P&ostage", "Code 2&6", "Lcd 25", "&Telepen"};
    const QStringList tips{"Symboligies Selection", "UPC/EAN/JAN Parameters", "Code 39 Parameters",
                           "Code 128 Parameters", "Interleave 25 Parameters", "Industrial 25 Parameters",
                           "Matrix 25 Parameters", "CodaBar Parameters", "Code 93 Parameters", "Code 11 Parameters",
                           "MSI/PLESSEY Code Parameters", "BC 412 Code Parameters", "China Postage Code Parameters",
                           "Code 26", "Lcd 25", "Telepen Code"};
    const QStringList titles{"Symboligies Selection", "UPC/EAN/JAN Parameters", "Code 39 Parameters",
                             "Code 128 Parameters", "Interleave 25 Parameters", "Industrial 25 Parameters",
                             "Matrix 25 Parameters", "Codabar Parameters", "Code 93 Parameters", "Code 11 Parameters",
                             "MSI/PLESSEY Code Parameters", "BC412 Code Parameters", "China Postage Parameters",
                             "Code 26 Parameters", "Lcd 25 Parameters", "Telepen Parameters"};
    QTabWidget *tabs = page.tabs();
    QCOMPARE(tabs->count(), 16);
    QCOMPARE(tabs->currentIndex(), 0);
    for (int i = 0; i < 16; ++i) {
        QCOMPARE(tabs->tabText(i), captions[i]);
        QCOMPARE(tabs->tabToolTip(i), tips[i]);
        const auto frames = tabs->widget(i)->findChildren<QGroupBox *>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(!frames.isEmpty());
        QCOMPARE(frames.constFirst()->title(), titles[i]);
    }
}

void BarCodeSymbologiesTest::factoryBlockOpensUnchangedWithItsMeanings()
{
    Configuration c;
    LoadFactoryDefaults(c);
    c.TakeSavedCopy();
    ScriptedDialogs d;
    q51::test::Documented<BarCodePage> page(c, d);
    QCOMPARE(c.block, c.savedCopy);
    QVERIFY(d.messages.isEmpty());
    QCOMPARE(chosen(&page, "Opt53A1"), QStringLiteral("Standard"));
    QCOMPARE(chosen(&page, "opt53B"), QStringLiteral("Do Not Calculate Check Digit"));
    QCOMPARE(chosen(&page, "OptAsterisk"), QStringLiteral("Disable"));
    QVERIFY(!check(page, "chk53A2")->isChecked());
    QVERIFY(!check(page, "chk53C")->isChecked());
    QCOMPARE(chosen(&page, "opt54A"), QStringLiteral("Calculate Check Digit and Not Transmit"));
    QCOMPARE(chosen(&page, "opt59A"), QStringLiteral("Calculate Check 2 Digits and Not Transmit"));
    QCOMPARE(chosen(&page, "opt510A"), QStringLiteral("Do Not Calculate Check Digit"));
    QCOMPARE(chosen(&page, "optRSVA3"), QStringLiteral("Do Not Calculate Check Digit"));
    QCOMPARE(chosen(&page, "optCfg52B"), QStringLiteral("Not Transmit"));
    for (const Symbology &s : Symbologies())
        QCOMPARE(check(page, SymbologyListControl(s.number))->isChecked(), s.defaultOn);
}

void BarCodeSymbologiesTest::listEntries()
{
    Configuration c;
    ScriptedDialogs d;
    q51::test::Documented<BarCodePage> page(c, d);
    page.show();
    int shown = 0;
    for (int n = 0; n < 24; ++n) {
        QCheckBox *box = check(page, SymbologyListControl(n));
        QVERIFY(box);
        if (box->isVisibleTo(&page))
            ++shown;
    }
    QCOMPARE(shown, 18);
    for (int hidden : {2, 3, 17, 18, 20, 21})
        QVERIFY(!check(page, SymbologyListControl(hidden))->isVisibleTo(&page));
    QCOMPARE(check(page, SymbologyListControl(14))->text(), QStringLiteral("BC412"));
    QVERIFY(!check(page, SymbologyListControl(14))->isEnabled());
    QCOMPARE(check(page, SymbologyListControl(22))->text(), QStringLiteral("EAN-13/JAN-13"));
}

void BarCodeSymbologiesTest::summaryBitFollowsTheList_data()
{
    QTest::addColumn<int>("opened"); // byte 0
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<int>("after");
    QTest::newRow("UPC-A cleared, EAN-13 and EAN-8 stay") << 0xBF << QList<int>{0} << 0xBB;
    QTest::newRow("last of the three cleared") << 0x84 << QList<int>{0} << 0x00;
    QTest::newRow("all three cleared one by one") << 0xFF << QList<int>{22, 0, 23} << 0x78;
    QTest::newRow("EAN-8 ticked alone") << 0x00 << QList<int>{23} << 0x81;
}

void BarCodeSymbologiesTest::summaryBitFollowsTheList()
{
    QFETCH(int, opened);
    QFETCH(QList<int>, clicks);
    QFETCH(int, after);
    Configuration c;
    c.block[0] = static_cast<std::uint8_t>(opened);
    ScriptedDialogs d;
    q51::test::Documented<BarCodePage> page(c, d);
    for (int n : clicks)
        check(page, SymbologyListControl(n))->click();
    QCOMPARE(int(c.block[0]), after);
}

void BarCodeSymbologiesTest::anyListClickRecomputesTheSummary()
{
    Configuration c;
    c.block[0] = 0x07;
    ScriptedDialogs d;
    q51::test::Documented<BarCodePage> page(c, d);
    c.block[0] = 0x07; // summary out of step again
    check(page, SymbologyListControl(4))->click(); // Code 39
    QCOMPARE(int(c.block[4]), 0x80);
    QCOMPARE(int(c.block[0]), 0x87);
}

void BarCodeSymbologiesTest::setAllBarcodesOnFactoryBlock()
{
    Configuration c;
    LoadFactoryDefaults(c);
    ScriptedDialogs d;
    q51::test::Documented<BarCodePage> page(c, d);
    press(&page, "cmdSetAll");
    Block expected = FactoryBlock();
    expected[0] |= 0x87;
    for (std::size_t i = 1; i <= 21; ++i)
        expected[i] |= 0x80;
    QCOMPARE(c.block, expected);
    for (int n = 0; n < 24; ++n)
        QVERIFY(check(page, SymbologyListControl(n))->isChecked());
}

void BarCodeSymbologiesTest::clearAllTouchesNothingElse_data()
{
    QTest::addColumn<bool>("factory"); // else every byte 0xFF
    QTest::newRow("factory block") << true;
    QTest::newRow("all bits set") << false;
}

void BarCodeSymbologiesTest::clearAllTouchesNothingElse()
{
    QFETCH(bool, factory);
    Configuration c;
    if (factory)
        LoadFactoryDefaults(c);
    else
        c.block.fill(0xFF);
    ScriptedDialogs d;
    q51::test::Documented<BarCodePage> page(c, d);
    Block expected = c.block;
    expected[0] &= ~0x87;
    for (std::size_t i = 1; i <= 21; ++i)
        expected[i] &= ~0x80;
    press(&page, "Command1");
    QCOMPARE(c.block, expected);
}

void BarCodeSymbologiesTest::listAndUpcDefaultsGiveTheFactoryBytes_data()
{
    QTest::addColumn<int>("byte0");
    QTest::addColumn<int>("byte1");
    QTest::newRow("empty") << 0x00 << 0x00;
    QTest::newRow("full, bits 4 and 6 of byte 1 clear") << 0xFF << 0xAF;
    QTest::newRow("mixed") << 0x5A << 0x0D;
}

void BarCodeSymbologiesTest::listAndUpcDefaultsGiveTheFactoryBytes()
{
    QFETCH(int, byte0);
    QFETCH(int, byte1);
    Configuration c;
    c.block[0] = static_cast<std::uint8_t>(byte0);
    c.block[1] = static_cast<std::uint8_t>(byte1);
    c.block[27] = 0x4C; // the communication page's bits stay
    ScriptedDialogs d;
    q51::test::Documented<BarCodePage> page(c, d);
    press(&page, "cmDefault51");
    press(&page, "cmdDefault52C");
    QCOMPARE(int(c.block[0]), 0xBF);
    QCOMPARE(int(c.block[1]), 0xA3);
    QCOMPARE(int(c.block[27]), 0xCC);
}

void BarCodeSymbologiesTest::supplementalChoiceLeavesItsNeighbours()
{
    Configuration c;
    c.block[1] = 0xAF; // UPC-E on, its check digit, ISBN, ISSN, "Not Transmit"
    ScriptedDialogs d;
    q51::test::Documented<BarCodePage> page(c, d);
    QVERIFY(choose(&page, "optCfg52B", "Transmit 2 Code"));
    QCOMPARE(int(c.block[1]), 0xAD);
    QVERIFY(check(page, "chkIsbn")->isChecked());
    QVERIFY(check(page, "chkIssn")->isChecked());
}

QTEST_MAIN(BarCodeSymbologiesTest)
#include "tst_barcode_symbologies.moc"
