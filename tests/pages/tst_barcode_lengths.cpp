#include <QtTest>

#include <QCheckBox>
#include <QLineEdit>
#include <QTabWidget>

#include "model/factory_defaults.h"
#include "pages/barcodes/barcode_page.h"
#include "pages/barcodes/code_length_group.h"
#include "schema/code_lengths.h"
#include "support/documented.h"
#include "support/page_driver.h"
#include "support/scripted_dialogs.h"

using namespace q51;
using namespace q51::test;

// The length group every symbology panel carries, and the reading of typed lengths.
class BarCodeLengthsTest : public QObject {
    Q_OBJECT
private slots:
    void leadingNumber_data();
    void leadingNumber();
    void typedMinimum_data();
    void typedMinimum();
    void typedFixedLength_data();
    void typedFixedLength();
    void variableKeepsTheBytesAt255();
    void clearingVariableThenTypingOneLength();
    void fixedPairOpensUnticked();
    void badMinimaAreReportedOncePerSlotOnOpening();
    void slotDefaults_data();
    void slotDefaults();
    void chinaPostageVariableIsGreyed();
    void oneComponentServesEverySlot();
};

static std::uint8_t &at(Configuration &c, int index)
{
    return c.block[static_cast<std::size_t>(index)];
}

template <class T>
static T *named(QWidget &page, const char *name, int slot)
{
    return page.findChild<T *>(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(slot));
}

// Replaces the box's text in one edit, as pasting over it does.
static void type(QLineEdit *box, const QString &text)
{
    box->selectAll();
    box->insert(text);
}

void BarCodeLengthsTest::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("number");
    QTest::newRow("integer") << "42" << qint64(42);
    QTest::newRow("rounded up") << "12.6" << qint64(13);
    QTest::newRow("half up") << "12.5" << qint64(13);
    QTest::newRow("rounded down") << "12.49" << qint64(12);
    QTest::newRow("trailing text") << "7x" << qint64(7);
    QTest::newRow("no number") << "x" << qint64(0);
    QTest::newRow("empty") << "" << qint64(0);
    QTest::newRow("blanks and sign") << "  +8" << qint64(8);
    QTest::newRow("negative") << "-3" << qint64(-3);
    QTest::newRow("small negative rounds to 0") << "-0.4" << qint64(0);
    QTest::newRow("fraction only") << ".5" << qint64(1);
    QTest::newRow("leading zeros") << "007" << qint64(7);
    QTest::newRow("huge saturates") << "99999999999999999999999999" << qint64(1'000'000'000);
}

void BarCodeLengthsTest::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(qint64, number);
    QCOMPARE(qint64(LeadingNumber(text.toStdString())), number);
}

void BarCodeLengthsTest::typedMinimum_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("messages");
    QTest::newRow("100") << "100" << 0 << "0" << 1;
    QTest::newRow("12.6") << "12.6" << 13 << "12.6" << 0;
    QTest::newRow("7x") << "7x" << 7 << "7x" << 0;
    QTest::newRow("x") << "x" << 0 << "x" << 0;
    QTest::newRow("99") << "99" << 99 << "99" << 0;
    QTest::newRow("99.5") << "99.5" << 0 << "0" << 1;
    QTest::newRow("-1") << "-1" << 0 << "0" << 1;
    QTest::newRow("huge") << "123456789012345678901" << 0 << "0" << 1;
}

void BarCodeLengthsTest::typedMinimum()
{
    QFETCH(QString, typed);
    QFETCH(int, stored);
    QFETCH(QString, shown);
    QFETCH(int, messages);
    Configuration c;
    LoadFactoryDefaults(c);
    ScriptedDialogs d;
    q51::test::Documented<BarCodePage> page(c, d);
    QLineEdit *box = named<QLineEdit>(page, "TxtMin", 4);
    QCOMPARE(box->text(), QStringLiteral("4"));
    const Block before = c.block;
    type(box, typed);
    QCOMPARE(int(at(c, 194)), stored);
    QCOMPARE(box->text(), shown);
    QCOMPARE(d.messages.size(), messages);
    for (const Message &m : d.messages) {
        QCOMPARE(m.title, QStringLiteral("Decoder Configuration Setup"));
        QCOMPARE(m.text, QStringLiteral("You must input a integer less than 100"));
        QCOMPARE(m.icon, MessageIcon::Information);
        QCOMPARE(m.buttons, MessageButtons::Ok);
    }
    Block expected = before;
    expected[194] = static_cast<std::uint8_t>(stored);
    QCOMPARE(c.block, expected);
}

void BarCodeLengthsTest::typedFixedLength_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("007") << "007" << 7 << "7";
    QTest::newRow("x") << "x" << 0 << "0";
    QTest::newRow("12.6") << "12.6" << 13 << "13";
    QTest::newRow("254") << "254" << 254 << "254";
    QTest::newRow("over a byte is limited") << "300" << 255 << "255";
    QTest::newRow("negative is limited") << "-5" << 0 << "0";
}

void BarCodeLengthsTest::typedFixedLength()
{
    QFETCH(QString, typed);
    QFETCH(int, stored);
    QFETCH(QString, shown);
    Configuration c;
    at(c, 40) = 10;
    at(c, 41) = 20;
    ScriptedDialogs d;
    q51::test::Documented<BarCodePage> page(c, d);
    QLineEdit *second = named<QLineEdit>(page, "txtFix2", 2);
    QVERIFY(second->isEnabled());
    type(second, typed);
    QCOMPARE(int(at(c, 41)), stored);
    QCOMPARE(second->text(), shown);
    QCOMPARE(int(at(c, 40)), 10);
    QVERIFY(d.messages.isEmpty());
}

void BarCodeLengthsTest::variableKeepsTheBytesAt255()
{
    Configuration c;
    at(c, 50) = 10;
    at(c, 51) = 20;
    ScriptedDialogs d;
    {
        q51::test::Documented<BarCodePage> page(c, d);
        auto *variable = named<QCheckBox>(page, "chkvariable", 7);
        QVERIFY(!variable->isChecked());
        QCOMPARE(named<QLineEdit>(page, "txtFix1", 7)->text(), QStringLiteral("10"));
        QCOMPARE(named<QLineEdit>(page, "txtFix2", 7)->text(), QStringLiteral("20"));
        variable->click();
        QCOMPARE(int(at(c, 50)), 255);
        QCOMPARE(int(at(c, 51)), 255);
        for (const char *box : {"txtFix1", "txtFix2"}) {
            QVERIFY(!named<QLineEdit>(page, box, 7)->isEnabled());
            QCOMPARE(named<QLineEdit>(page, box, 7)->text(), QStringLiteral("0"));
        }
    }
    q51::test::Documented<BarCodePage> reopened(c, d);
    QVERIFY(named<QCheckBox>(reopened, "chkvariable", 7)->isChecked());
}

void BarCodeLengthsTest::clearingVariableThenTypingOneLength()
{
    Configuration c;
    LoadFactoryDefaults(c);
    ScriptedDialogs d;
    {
        q51::test::Documented<BarCodePage> page(c, d);
        named<QCheckBox>(page, "chkvariable", 3)->click();
        for (const char *box : {"txtFix1", "txtFix2"}) {
            QVERIFY(named<QLineEdit>(page, box, 3)->isEnabled());
            QCOMPARE(named<QLineEdit>(page, box, 3)->text(), QStringLiteral("0"));
        }
        QCOMPARE(int(at(c, 42)), 255);
        QCOMPARE(int(at(c, 43)), 255);
        type(named<QLineEdit>(page, "txtFix1", 3), QStringLiteral("12"));
        QCOMPARE(int(at(c, 42)), 12);
        QCOMPARE(int(at(c, 43)), 255);
    }
    q51::test::Documented<BarCodePage> reopened(c, d);
    QVERIFY(!named<QCheckBox>(reopened, "chkvariable", 3)->isChecked());
    QCOMPARE(named<QLineEdit>(reopened, "txtFix2", 3)->text(), QStringLiteral("255"));
}

void BarCodeLengthsTest::fixedPairOpensUnticked()
{
    Configuration c;
    LoadFactoryDefaults(c);
    at(c, 52) = 255;
    at(c, 53) = 12;
    c.TakeSavedCopy();
    ScriptedDialogs d;
    q51::test::Documented<BarCodePage> page(c, d);
    QVERIFY(!named<QCheckBox>(page, "chkvariable", 8)->isChecked());
    QCOMPARE(named<QLineEdit>(page, "txtFix1", 8)->text(), QStringLiteral("255"));
    QCOMPARE(named<QLineEdit>(page, "txtFix2", 8)->text(), QStringLiteral("12"));
    QVERIFY(named<QLineEdit>(page, "txtFix1", 8)->isEnabled());
    QCOMPARE(c.block, c.savedCopy);
}

void BarCodeLengthsTest::badMinimaAreReportedOncePerSlotOnOpening()
{
    Configuration c;
    LoadFactoryDefaults(c);
    at(c, 206) = 200; // slot 16: no tab shows it
    ScriptedDialogs d;
    {
        q51::test::Documented<BarCodePage> page(c, d);
        QCOMPARE(d.messages.size(), 1);
        QCOMPARE(d.messages.constFirst().text, QStringLiteral("You must input a integer less than 100"));
        QCOMPARE(int(at(c, 206)), 0);
    }
    d.clear();
    at(c, 192) = 100;
    at(c, 205) = 200; // slot 15 has no controls: neither checked nor changed
    at(c, 207) = 255;
    q51::test::Documented<BarCodePage> page(c, d);
    QCOMPARE(d.messages.size(), 2);
    QCOMPARE(int(at(c, 192)), 0);
    QCOMPARE(int(at(c, 205)), 200);
    QCOMPARE(int(at(c, 207)), 0);
    QCOMPARE(named<QLineEdit>(page, "TxtMin", 2)->text(), QStringLiteral("0"));
}

void BarCodeLengthsTest::slotDefaults_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("minimum");
    QTest::newRow("Codabar") << "cmdDefault58" << 7 << 3;
    QTest::newRow("Interleave 25") << "cmdDefault55" << 4 << 4;
    QTest::newRow("MSI") << "cmdDefault511" << 11 << 3;
    QTest::newRow("China Postage") << "cmdDefault513" << 10 << 1;
    QTest::newRow("Telepen") << "cmdDFTRSV3" << 17 << 1;
}

void BarCodeLengthsTest::slotDefaults()
{
    QFETCH(QString, button);
    QFETCH(int, slot);
    QFETCH(int, minimum);
    Configuration c;
    at(c, MinimumLengthByte(slot)) = 42;
    at(c, FixedLengthByte(slot, 0)) = 6;
    at(c, FixedLengthByte(slot, 1)) = 9;
    ScriptedDialogs d;
    q51::test::Documented<BarCodePage> page(c, d);
    // The box already showing the default text still stores it.
    named<QLineEdit>(page, "TxtMin", slot)->setText(QString::number(minimum));
    at(c, MinimumLengthByte(slot)) = 77;
    press(&page, button.toLatin1().constData());
    QCOMPARE(int(at(c, MinimumLengthByte(slot))), minimum);
    QCOMPARE(int(at(c, FixedLengthByte(slot, 0))), 255);
    QCOMPARE(int(at(c, FixedLengthByte(slot, 1))), 255);
    QVERIFY(named<QCheckBox>(page, "chkvariable", slot)->isChecked());
    QCOMPARE(named<QLineEdit>(page, "TxtMin", slot)->text(), QString::number(minimum));
}

void BarCodeLengthsTest::chinaPostageVariableIsGreyed()
{
    Configuration c;
    LoadFactoryDefaults(c);
    ScriptedDialogs d;
    q51::test::Documented<BarCodePage> page(c, d);
    for (const LengthSlot &s : LengthSlots()) {
        if (auto *variable = named<QCheckBox>(page, "chkvariable", s.slot))
            QCOMPARE(variable->isEnabled(), s.slot != 10);
    }
}

void BarCodeLengthsTest::oneComponentServesEverySlot()
{
    Configuration c;
    LoadFactoryDefaults(c);
    ScriptedDialogs d;
    q51::test::Documented<BarCodePage> page(c, d);
    QList<int> shownSlots;
    for (CodeLengthGroup *g : page.lengthGroups())
        shownSlots << g->slot();
    QCOMPARE(shownSlots, (QList<int>{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 17}));
    QCOMPARE(page.findChildren<CodeLengthGroup *>().size(), shownSlots.size());
    QVERIFY(!named<QLineEdit>(page, "TxtMin", 15));
    // Slot 16 lives on no tab; every other group on exactly the tab of its symbology.
    QVERIFY(!page.tabs()->isAncestorOf(named<CodeLengthGroup>(page, "fraCodeLength", 16)));
    QCOMPARE(named<CodeLengthGroup>(page, "fraCodeLength", 3)->title(), QStringLiteral("Set Up Code Lehgth"));
    QVERIFY(page.tabs()->widget(12)->isAncestorOf(named<CodeLengthGroup>(page, "fraCodeLength", 10)));
    QVERIFY(page.tabs()->widget(15)->isAncestorOf(named<CodeLengthGroup>(page, "fraCodeLength", 17)));
}

QTEST_MAIN(BarCodeLengthsTest)
#include "tst_barcode_lengths.moc"
