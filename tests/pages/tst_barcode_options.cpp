#include <QtTest>

#include <QCheckBox>

#include "pages/barcodes/barcode_page.h"
#include "pages/binding/field_binding.h"
#include "schema/code_lengths.h"
#include "schema/field_access.h"
#include "schema/symbology_option_fields.h"
#include "support/documented.h"
#include "support/page_driver.h"
#include "support/scripted_dialogs.h"

using namespace q51;
using namespace q51::test;

// The option panels of tabs 2 to 15, driven through their widgets.
class BarCodeOptionsTest : public QObject {
    Q_OBJECT
private slots:
    void choicesWrite_data();
    void choicesWrite();
    void openingShows_data();
    void openingShows();
    void fnc2SurvivesReopening();
    void brazil25GreysThreeFrames();
    void italianPharmacyGreysOutputAs();
    void chinaPostageCheckDigitIsGreyedButDefaulted();
    void panelDefaults_data();
    void panelDefaults();
    void defaultsEnableTheBrazil25Frames();
};

// "group=caption" clicks an option, "box" clicks a check box.
static bool apply(QWidget &page, const QString &click)
{
    if (!click.contains('='))
        return page.findChild<QCheckBox *>(click) && (page.findChild<QCheckBox *>(click)->click(), true);
    return choose(&page, click.section('=', 0, 0).toLatin1().constData(), click.section('=', 1).toUtf8().constData());
}

void BarCodeOptionsTest::choicesWrite_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("before");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("after");
    QTest::newRow("FNC2 on") << 5 << 0xC0 << QStringList{"chk54B"} << 0xC8;
    QTest::newRow("FNC2 on and off") << 5 << 0xC0 << QStringList{"chk54B", "chk54B"} << 0xC0;
    QTest::newRow("Code 128 transmit") << 5 << 0xC0 << QStringList{"opt54A=Calculate Check Digit and Transmit"} << 0xE0;
    QTest::newRow("Code 128 no check") << 5 << 0xC0 << QStringList{"opt54A=Do Not Calculate Check Digit"} << 0xA0;
    QTest::newRow("Code 11 choice 1") << 11 << 0x20 << QStringList{"opt510A=Calculate Check 1 Digit and Transmit"}
                                      << 0x70;
    QTest::newRow("Code 11 choice 3") << 11 << 0xFF << QStringList{"opt510A=Calculate Check 2 Digits and Transmit"}
                                      << 0xEF;
    QTest::newRow("Code 93 choice 0") << 10 << 0x40 << QStringList{"opt59A=Do Not Calculate Check Digit"} << 0x30;
    QTest::newRow("Code 93 choice 4") << 10 << 0xFF << QStringList{"opt59A=Calculate Check 2 Digits and Not Transmit"}
                                      << 0xCF;
    QTest::newRow("Codabar C/A") << 30 << 0xFF << QStringList{"opt58B1=C", "opt58B2=A"} << 0x41;
    QTest::newRow("Codabar D/B then any") << 30 << 0x00 << QStringList{"opt58B1=D", "opt58B2=B", "opt58B2=A/B/C/D"}
                                          << 0x8F;
    QTest::newRow("Codabar start/stop on") << 9 << 0xA0 << QStringList{"chk58A"} << 0xB0;
    QTest::newRow("Code 39 full ASCII, Italian, start/stop, asterisk")
        << 4 << 0xB0 << QStringList{"Opt53A1=Full ASCII", "chk53A2", "chk53C", "OptAsterisk=Enable"} << 0xAE;
    QTest::newRow("Interleave odd, Brazil") << 6 << 0xB8 << QStringList{"Opt55B=Odd", "Option1=Enable"} << 0xB4;
    QTest::newRow("Telepen numeric, transmit") << 19 << 0x00
                                               << QStringList{"OptMode=Numeric Mode",
                                                              "optRSVA3=Calculate Check Digit and Transmit"}
                                               << 0x68;
    QTest::newRow("MSI not transmit") << 13 << 0x30 << QStringList{"opt511A=Calculate Check Digit and Not Transmit"}
                                      << 0x50;
}

void BarCodeOptionsTest::choicesWrite()
{
    QFETCH(int, byte);
    QFETCH(int, before);
    QFETCH(QStringList, clicks);
    QFETCH(int, after);
    Configuration c;
    c.block[static_cast<std::size_t>(byte)] = static_cast<std::uint8_t>(before);
    ScriptedDialogs d;
    q51::test::Documented<BarCodePage> page(c, d);
    const Block opened = c.block;
    for (const QString &click : clicks)
        QVERIFY2(apply(page, click), qPrintable(click));
    for (int i = 0; i < BlockSize; ++i) {
        const auto k = static_cast<std::size_t>(i);
        QCOMPARE(int(c.block[k]), i == byte ? after : int(opened[k]));
    }
}

void BarCodeOptionsTest::openingShows_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("shown");
    QTest::newRow("Codabar 0x30 start") << 30 << 0x30 << "opt58B1" << "A/B/C/D";
    QTest::newRow("Codabar 0x30 stop") << 30 << 0x30 << "opt58B2" << "A/B/C/D";
    QTest::newRow("Codabar C start") << 30 << 0x48 << "opt58B1" << "C";
    QTest::newRow("Codabar D stop") << 30 << 0x48 << "opt58B2" << "D";
    QTest::newRow("Codabar 0x00") << 30 << 0x00 << "opt58B2" << "A/B/C/D";
    QTest::newRow("three-way bit 6 clear") << 7 << 0x00 << "opt56A" << "Do Not Calculate Check Digit";
    QTest::newRow("three-way 0x40") << 8 << 0x40 << "opt57A" << "Calculate Check Digit and Not Transmit";
    QTest::newRow("five-way 0x3F") << 11 << 0x3F << "opt510A" << "Do Not Calculate Check Digit";
    QTest::newRow("five-way 0x50") << 11 << 0x50 << "opt510A" << "Calculate Check 1 Digit and Not Transmit";
    QTest::newRow("Code 93 without a button") << 10 << 0x50 << "opt59A" << "Other (0x05)";
    QTest::newRow("Code 93 0x20") << 10 << 0x20 << "opt59A" << "Do Not Calculate Check Digit";
}

void BarCodeOptionsTest::openingShows()
{
    QFETCH(int, byte);
    QFETCH(int, value);
    QFETCH(QString, group);
    QFETCH(QString, shown);
    Configuration c;
    c.block[static_cast<std::size_t>(byte)] = static_cast<std::uint8_t>(value);
    ScriptedDialogs d;
    q51::test::Documented<BarCodePage> page(c, d);
    QCOMPARE(chosen(&page, group.toLatin1().constData()), shown);
    if (byte != 30) // the check-digit fields are shown as they are, not rewritten
        QCOMPARE(int(c.block[static_cast<std::size_t>(byte)]), value);
}

void BarCodeOptionsTest::fnc2SurvivesReopening()
{
    Configuration c;
    c.block[5] = 0xC0;
    ScriptedDialogs d;
    {
        q51::test::Documented<BarCodePage> page(c, d);
        QVERIFY(apply(page, "chk54B"));
    }
    q51::test::Documented<BarCodePage> reopened(c, d);
    QVERIFY(reopened.findChild<QCheckBox *>("chk54B")->isChecked());
    QCOMPARE(int(c.block[5]), 0xC8);
}

static bool enabled(QWidget &page, const char *name)
{
    auto *w = page.findChild<QWidget *>(QLatin1String(name));
    return w && w->isEnabled();
}

void BarCodeOptionsTest::brazil25GreysThreeFrames()
{
    const char *frames[] = {"opt55A", "Opt55B", "fraCodeLength_4"};
    Configuration c;
    c.block[6] = 0xB8;
    ScriptedDialogs d;
    {
        q51::test::Documented<BarCodePage> page(c, d);
        for (const char *f : frames)
            QVERIFY(enabled(page, f));
        QVERIFY(choose(&page, "Option1", "Enable"));
        for (const char *f : frames)
            QVERIFY2(!enabled(page, f), f);
        QVERIFY(enabled(page, "fraCodeLength_5")); // other panels untouched
        QVERIFY(choose(&page, "Option1", "Disable"));
        for (const char *f : frames)
            QVERIFY(enabled(page, f));
        QVERIFY(choose(&page, "Option1", "Enable"));
    }
    QCOMPARE(c.block[6] & 0x04, 0x04);
    q51::test::Documented<BarCodePage> reopened(c, d);
    for (const char *f : frames)
        QVERIFY2(!enabled(reopened, f), f);
}

void BarCodeOptionsTest::italianPharmacyGreysOutputAs()
{
    Configuration c;
    c.block[4] = 0x88;
    ScriptedDialogs d;
    q51::test::Documented<BarCodePage> page(c, d);
    QVERIFY(!enabled(page, "Opt53A1"));
    QVERIFY(enabled(page, "opt53B"));
    QVERIFY(apply(page, "chk53A2"));
    QVERIFY(enabled(page, "Opt53A1"));
    QVERIFY(apply(page, "chk53A2"));
    QVERIFY(!enabled(page, "Opt53A1"));
}

void BarCodeOptionsTest::chinaPostageCheckDigitIsGreyedButDefaulted()
{
    Configuration c;
    c.block[12] = 0xC0; // enabled, calculate and not transmit
    ScriptedDialogs d;
    q51::test::Documented<BarCodePage> page(c, d);
    QVERIFY(!enabled(page, "opt513A"));
    QCOMPARE(chosen(&page, "opt513A"), QStringLiteral("Calculate Check Digit and Not Transmit"));
    press(&page, "cmdDefault513");
    QCOMPARE(int(c.block[12]), 0xA0);
    QCOMPARE(chosen(&page, "opt513A"), QStringLiteral("Do Not Calculate Check Digit"));
}

void BarCodeOptionsTest::panelDefaults_data()
{
    QTest::addColumn<int>("panel");
    QTest::addColumn<int>("fill");
    for (const auto &p : SymbologyOptionPanels()) {
        for (int fill : {0x00, 0xFF})
            QTest::addRow("%s on %02X", p.panel.defaultButton.c_str(), fill)
                << int(&p - SymbologyOptionPanels().data()) << fill;
    }
}

// Every field of the panel shows and holds its default, the slot is variable
// with its default minimum, and no other bit of the block moves.
void BarCodeOptionsTest::panelDefaults()
{
    QFETCH(int, panel);
    QFETCH(int, fill);
    const SymbologyOptionPanel &p = SymbologyOptionPanels()[static_cast<std::size_t>(panel)];
    Configuration c;
    c.block.fill(static_cast<std::uint8_t>(fill));
    for (const LengthSlot &s : LengthSlots())
        c.block[static_cast<std::size_t>(MinimumLengthByte(s.slot))] = 50; // no message on opening
    ScriptedDialogs d;
    q51::test::Documented<BarCodePage> page(c, d);
    const Block opened = c.block;
    press(&page, p.panel.defaultButton.c_str());

    std::array<int, BlockSize> allowed{};
    for (const FieldSpec &f : p.panel.fields) {
        QCOMPARE(ReadField(f, c), std::optional<int>(f.defaultValue));
        QCOMPARE(page.binding(f.control)->shownValue(), std::optional<int>(f.defaultValue));
        for (const auto &t : FieldTouches(f))
            allowed[static_cast<std::size_t>(t.byte)] |= t.mask;
    }
    const int slot = p.lengthSlot;
    QCOMPARE(int(c.block[static_cast<std::size_t>(MinimumLengthByte(slot))]), FindLengthSlot(slot)->defaultMinimum);
    QCOMPARE(int(c.block[static_cast<std::size_t>(FixedLengthByte(slot, 0))]), 255);
    QCOMPARE(int(c.block[static_cast<std::size_t>(FixedLengthByte(slot, 1))]), 255);
    for (int b : {MinimumLengthByte(slot), FixedLengthByte(slot, 0), FixedLengthByte(slot, 1)})
        allowed[static_cast<std::size_t>(b)] = 0xFF;
    for (std::size_t i = 0; i < opened.size(); ++i)
        QVERIFY2(((opened[i] ^ c.block[i]) & ~allowed[i]) == 0, qPrintable(QStringLiteral("byte %1 moved").arg(i)));
    QVERIFY(d.messages.isEmpty());
}

void BarCodeOptionsTest::defaultsEnableTheBrazil25Frames()
{
    Configuration c;
    c.block[6] = 0xC4; // Brazil 25, calculate and not transmit
    ScriptedDialogs d;
    q51::test::Documented<BarCodePage> page(c, d);
    QVERIFY(!enabled(page, "opt55A"));
    press(&page, "cmdDefault55");
    QCOMPARE(int(c.block[6]), 0xA8);
    for (const char *f : {"opt55A", "Opt55B", "fraCodeLength_4"})
        QVERIFY(enabled(page, f));
}

QTEST_MAIN(BarCodeOptionsTest)
#include "tst_barcode_options.moc"
