#include <QtTest>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include "model/factory_defaults.h"
#include "pages/misc/misc_page.h"
#include "misc_typing.h"
#include "support/documented.h"
#include "support/page_driver.h"
#include "support/scripted_dialogs.h"

using namespace q51;
using namespace q51::test;

namespace {

QLineEdit *codeIdBox(QWidget &page, int symbology)
{
    return page.findChild<QLineEdit *>(QStringLiteral("txt62_%1").arg(symbology));
}

QCheckBox *check(QWidget &page, const char *name)
{
    return page.findChild<QCheckBox *>(QString::fromLatin1(name));
}

} // namespace

class MiscPageTest : public QObject {
    Q_OBJECT
private slots:
    void tabsAndCaptions();
    void factoryBlockOpensUnchanged();
    void languageWritesItsNibble_data();
    void languageWritesItsNibble();
    void languageShownAndReset();
    void codeIdsShownFromBlock();
    void codeIdRule_data();
    void codeIdRule();
    void codeIdSetAllDefaults();
    void enableCodeIdFollowsTheBlockOnTabChange();
    void othersWriteTheirBits_data();
    void othersWriteTheirBits();
    void othersSetAllDefaults();
    void reverseOutputHasTwoControls();
};

void MiscPageTest::tabsAndCaptions()
{
    Configuration c;
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    QCOMPARE(page.objectName(), QStringLiteral("cfg6"));
    QCOMPARE(page.windowTitle(), QStringLiteral("Miscellaneous Parameters"));
    QTabWidget *tabs = page.findChild<QTabWidget *>(QStringLiteral("TabCFG3"));
    QVERIFY(tabs);
    const QStringList captions{"&Language", "Code &ID", "Characters &Edit", "&Others"};
    const QStringList tips{"Language Selection", "Define Bar Code ID",
                           "Deleting and Inserting Edit For Output Characters",
                           "Reading Level, Accuracy, Buzzer Beep Type, Command Communication"};
    QCOMPARE(tabs->count(), 4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(tabs->tabText(i), captions[i]);
        QCOMPARE(tabs->tabToolTip(i), tips[i]);
        QCOMPARE(tabs->widget(i)->objectName(), QStringLiteral("fraCfg6_%1").arg(i));
    }
    QCOMPARE(tabs->currentIndex(), 0);
    const QStringList frames{"Language Selection", "Code ID", "Characters Edit", "Others"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(page.findChild<QGroupBox *>(QStringLiteral("fraCfg6_%1_frame").arg(i))->title(), frames[i]);
}

void MiscPageTest::factoryBlockOpensUnchanged()
{
    Configuration c;
    LoadFactoryDefaults(c);
    c.TakeSavedCopy();
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    QVERIFY(!c.HasUnsavedChanges());
    QVERIFY(d.messages.isEmpty());
    QCOMPARE(chosen(&page, "opt61"), QStringLiteral("US English"));
    QVERIFY(!check(page, "chk62")->isChecked());
    QCOMPARE(chosen(&page, "opt63"), QStringLiteral("Bar Equlas Low"));
    QCOMPARE(chosen(&page, "opt64"), QStringLiteral("1 Time"));
    QCOMPARE(chosen(&page, "opt65"), QStringLiteral("High"));
    QCOMPARE(chosen(&page, "optCFG6_10"), QStringLiteral("Fast"));
    QCOMPARE(chosen(&page, "optCFG6_11"), QStringLiteral("Off"));
    QCOMPARE(chosen(&page, "OptReverse"), QStringLiteral("Disable"));
    QCOMPARE(codeIdBox(page, 0)->text(), QStringLiteral("A"));
    QCOMPARE(codeIdBox(page, 25)->text(), QStringLiteral("C"));
    // Hidden rows exist and are filled.
    QCOMPARE(codeIdBox(page, 2)->text(), QStringLiteral("P"));
    QVERIFY(codeIdBox(page, 2)->isHidden());
    QCOMPARE(codeIdBox(page, 28)->text(), QStringLiteral("Z"));
    QCOMPARE(codeIdBox(page, 20)->text(), QString());
    for (int missing : {21, 22, 23})
        QVERIFY(!codeIdBox(page, missing));
    QCOMPARE(page.findChild<QLabel *>(QStringLiteral("lbl62_16"))->text(), QStringLiteral("Lcd 25"));
}

void MiscPageTest::languageWritesItsNibble_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("index");
    const char *captions[] = {"US English", "UK English", "Italian",    "Spanish", "French",  "German",
                              "Swedish",    "Switzerland", "Hungarian", "Japanese", "Belgium", "Portuguese",
                              "Denmark",    "Netherlands", "Turkey",    "Reserved 2"};
    for (int i = 0; i < 16; ++i)
        QTest::newRow(captions[i]) << QString::fromLatin1(captions[i]) << i;
}

void MiscPageTest::languageWritesItsNibble()
{
    QFETCH(QString, caption);
    QFETCH(int, index);
    Configuration c;
    c.block[25] = 0xA7; // terminal type in the low nibble belongs to another page
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    QVERIFY(choose(&page, "opt61", caption.toUtf8().constData()));
    QCOMPARE(int(c.block[25]), index * 16 + 0x07);
}

void MiscPageTest::languageShownAndReset()
{
    Configuration c;
    c.block[25] = 0x9A;
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    QCOMPARE(chosen(&page, "opt61"), QStringLiteral("Japanese"));
    QCOMPARE(page.findChild<QPushButton *>(QStringLiteral("cmdDefault61"))->text(), QStringLiteral("Set Default"));
    press(&page, "cmdDefault61");
    QCOMPARE(int(c.block[25]), 0x0A);
    QCOMPARE(chosen(&page, "opt61"), QStringLiteral("US English"));
}

void MiscPageTest::codeIdsShownFromBlock()
{
    Configuration c;
    c.block[80] = 0x05; // control codes stand for no code ID
    c.block[81] = 0x1F;
    c.block[84] = 0x20;
    c.block[85] = 0xE9;
    c.block[86] = 0x80;
    c.block[87] = 0x81; // undefined in the code page: kept as itself
    c.block[101] = 0x03; // no box: left alone
    c.block[106] = 'x';
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    QCOMPARE(codeIdBox(page, 0)->text(), QString());
    QCOMPARE(int(c.block[80]), 0);
    QCOMPARE(int(c.block[81]), 0);
    QCOMPARE(codeIdBox(page, 4)->text(), QStringLiteral(" "));
    QCOMPARE(codeIdBox(page, 5)->text(), QStringLiteral("\u00E9"));
    QCOMPARE(codeIdBox(page, 6)->text(), QStringLiteral("\u20AC"));
    QCOMPARE(codeIdBox(page, 7)->text(), QStringLiteral("\u0081"));
    QCOMPARE(codeIdBox(page, 26)->text(), QStringLiteral("x"));
    QCOMPARE(int(c.block[84]), 0x20);
    QCOMPARE(int(c.block[85]), 0xE9);
    QCOMPARE(int(c.block[86]), 0x80);
    QCOMPARE(int(c.block[87]), 0x81);
    QCOMPARE(int(c.block[101]), 0x03);
    QVERIFY(d.messages.isEmpty());
}

void MiscPageTest::codeIdRule_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("messages");
    QTest::newRow("one letter") << "Q" << "Q" << 0x51 << 0;
    QTest::newRow("two letters") << "QR" << "" << 0 << 1;
    QTest::newRow("three letters") << "QRS" << "S" << 0x53 << 1; // the third starts afresh
    QTest::newRow("blank") << " " << " " << 0x20 << 0;
    QTest::newRow("e acute") << "\u00E9" << "\u00E9" << 0xE9 << 0;
    QTest::newRow("euro") << "\u20AC" << "\u20AC" << 0x80 << 0;
    // No single-byte code: refused as typed, the stored code stays.
    QTest::newRow("CJK refused") << "\u4E2D" << "G" << int('G') << 0;
    QTest::newRow("emoji refused") << "\U0001F600" << "G" << int('G') << 0;
}

void MiscPageTest::codeIdRule()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, stored);
    QFETCH(int, messages);
    Configuration c;
    c.block[86] = 'G';
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    QLineEdit *box = codeIdBox(page, 6);
    QCOMPARE(box->text(), QStringLiteral("G"));
    box->selectAll();
    typeText(box, typed);
    QCOMPARE(box->text(), shown);
    QCOMPARE(int(c.block[86]), stored);
    QCOMPARE(d.messages.size(), messages);
    for (const Message &m : d.messages) {
        QCOMPARE(m.text, QStringLiteral("Allow only one character."));
        QCOMPARE(m.title, QStringLiteral("Decoder Configuration Setup"));
        QCOMPARE(m.buttons, MessageButtons::Ok);
    }
    QCOMPARE(int(c.block[85]), 0); // the neighbours are untouched
    QCOMPARE(int(c.block[87]), 0);
}

void MiscPageTest::codeIdSetAllDefaults()
{
    Configuration c;
    c.block.fill(0x3F);
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    QVERIFY(check(page, "chk62")->isChecked());
    auto *button = page.findChild<QPushButton *>(QStringLiteral("cmdDefault62"));
    QCOMPARE(button->text(), QStringLiteral("Set All Defaults"));
    button->click();
    const QByteArray expected("AB\0\0EFGHIJKLMNOPQRSTU???DCXYZ", 29);
    for (int i = 0; i < expected.size(); ++i) {
        const int want = expected[i] == '?' ? 0x3F : static_cast<unsigned char>(expected[i]);
        QVERIFY2(c.block[static_cast<std::size_t>(80 + i)] == want, qPrintable(QString::number(80 + i)));
    }
    QCOMPARE(codeIdBox(page, 2)->text(), QString());
    QCOMPARE(codeIdBox(page, 20)->text(), QStringLiteral("U"));
    QCOMPARE(int(c.block[26]), 0x2F); // only "Enable Code ID" cleared
    QVERIFY(!check(page, "chk62")->isChecked());
    QCOMPARE(int(c.block[79]), 0x3F);
    QCOMPARE(int(c.block[109]), 0x3F);
}

void MiscPageTest::enableCodeIdFollowsTheBlockOnTabChange()
{
    Configuration c;
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    QCheckBox *enable = check(page, "chk62");
    enable->click();
    QCOMPARE(int(c.block[26]), 0x10);
    c.block[26] = 0xE7; // changed under the page
    QVERIFY(enable->isChecked());
    page.tabs()->setCurrentIndex(2);
    QVERIFY(!enable->isChecked());
    QCOMPARE(int(c.block[26]), 0xE7);
    c.block[26] = 0x10;
    page.tabs()->setCurrentIndex(1);
    QVERIFY(enable->isChecked());
}

void MiscPageTest::othersWriteTheirBits_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("value");
    QTest::newRow("reading level high") << "opt63" << "Bar Equals High" << 29 << 0x20;
    QTest::newRow("accuracy 3") << "opt64" << "3 Times" << 27 << 0x02;
    QTest::newRow("accuracy 4") << "opt64" << "4 Times" << 27 << 0x03;
    QTest::newRow("beep low") << "opt65" << "Low" << 27 << 0x10;
    QTest::newRow("beep medium") << "opt65" << "Medium" << 27 << 0x20;
    QTest::newRow("continuous fast") << "optCFG6_10" << "Fast" << 29 << 0x08;
    QTest::newRow("notebook on") << "optCFG6_11" << "On" << 29 << 0x04;
    QTest::newRow("reverse enable") << "OptReverse" << "Enable" << 29 << 0x10;
}

void MiscPageTest::othersWriteTheirBits()
{
    QFETCH(QString, group);
    QFETCH(QString, caption);
    QFETCH(int, byte);
    QFETCH(int, value);
    Configuration c;
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    QVERIFY(choose(&page, group.toLatin1().constData(), caption.toLatin1().constData()));
    QCOMPARE(int(c.block[static_cast<std::size_t>(byte)]), value);
}

void MiscPageTest::othersSetAllDefaults()
{
    Configuration c;
    c.block[27] = 0xCF; // accuracy 4, beep off, other page's bits set
    c.block[29] = 0xF7; // level high, reverse on, notebook on, continuous slow
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    QCOMPARE(chosen(&page, "opt65"), QStringLiteral("Off"));
    QCOMPARE(chosen(&page, "optCFG6_10"), QStringLiteral("Slow"));
    press(&page, "cmd63_66");
    QCOMPARE(int(c.block[27]), 0xFC);
    QCOMPARE(int(c.block[29]), 0xCB);
    QCOMPARE(chosen(&page, "opt63"), QStringLiteral("Bar Equlas Low"));
    QCOMPARE(chosen(&page, "opt64"), QStringLiteral("1 Time"));
    QCOMPARE(chosen(&page, "opt65"), QStringLiteral("High"));
    QCOMPARE(chosen(&page, "OptReverse"), QStringLiteral("Disable"));
    QVERIFY(!check(page, "chk67")->isChecked());
}

void MiscPageTest::reverseOutputHasTwoControls()
{
    Configuration c;
    c.block[29] = 0x10;
    ScriptedDialogs d;
    q51::test::Documented<MiscPage> page(c, d);
    QCheckBox *box = check(page, "chk67");
    QCOMPARE(box->text(), QStringLiteral("Reverse Output Characters"));
    QVERIFY(box->isChecked());
    QCOMPARE(chosen(&page, "OptReverse"), QStringLiteral("Enable"));
    box->click();
    QCOMPARE(int(c.block[29]), 0x00);
    QCOMPARE(chosen(&page, "OptReverse"), QStringLiteral("Disable")); // the other control shows it too
    QVERIFY(choose(&page, "OptReverse", "Enable"));
    QCOMPARE(int(c.block[29]), 0x10);
    QVERIFY(box->isChecked());
}

QTEST_MAIN(MiscPageTest)
#include "tst_misc_page.moc"
