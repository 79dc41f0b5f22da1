#include <QtTest>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "model/factory_defaults.h"
#include "pages/interface/interface_page.h"
#include "support/documented.h"
#include "support/page_driver.h"

using namespace q51;
using namespace q51::test;

class InterfacePageTest : public QObject {
    Q_OBJECT
private slots:
    void factoryBlock();
    void tabs();
    void interfaceWrites_data();
    void interfaceWrites();
    void interfaceReadPrecedence_data();
    void interfaceReadPrecedence();
    void readingModeAcrossTwoBytes();
    void hiddenReadingModeSelectsNoVisibleOption();
    void hiddenFieldsAreLoadedAndReset();
    void setDefaultButtons();
    void headerStringsFollowEveryKeystroke();
};

void InterfacePageTest::factoryBlock()
{
    Configuration c;
    LoadFactoryDefaults(c);
    c.TakeSavedCopy();
    q51::test::Documented<InterfacePage> page(c);
    QCOMPARE(page.objectName(), QStringLiteral("cfg3"));
    QCOMPARE(page.windowTitle(), QStringLiteral("Interface"));
    QCOMPARE(chosen(&page, "optCFG3_1"), QStringLiteral("Keyboard Mode"));
    QCOMPARE(chosen(&page, "OptCfg3_3"), QStringLiteral("Good Read Off"));
    QCOMPARE(page.tabs()->currentIndex(), 0);
    QVERIFY(!c.HasUnsavedChanges()); // opening the page on factory values writes nothing new
}

void InterfacePageTest::tabs()
{
    Configuration c;
    q51::test::Documented<InterfacePage> page(c);
    QTabWidget *tabs = page.findChild<QTabWidget *>(QStringLiteral("TabCFG"));
    QVERIFY(tabs);
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(0), QStringLiteral("&User Information"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("&Interface"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("&Reading Mode"));
    QCOMPARE(tabs->tabToolTip(0), QStringLiteral("User's Name,building date and other informations"));
    QCOMPARE(tabs->tabToolTip(1), QStringLiteral("Interface Selection and 2nd Port Input Device Selection"));
    QCOMPARE(tabs->tabToolTip(2), QStringLiteral("1st Input Port for CCD & Laser Scanner Reading Mode"));
}

void InterfacePageTest::interfaceWrites_data()
{
    QTest::addColumn<int>("b26");
    QTest::addColumn<int>("b23");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("after26");
    QTest::addColumn<int>("after23");
    QTest::addColumn<QString>("shown");
    QTest::newRow("RS232 on 00") << 0x00 << 0x00 << QStringList{"RS232 Mode"} << 0x80 << 0x00 << "RS232 Mode";
    QTest::newRow("RS232 then Wand") << 0x00 << 0x00 << QStringList{"RS232 Mode", "Wand Emulation"} << 0xA0 << 0x00
                                     << "Wand Emulation";
    QTest::newRow("USB then RS232 keeps byte 23 bit 7")
        << 0x00 << 0x00 << QStringList{"USB Mode", "RS232 Mode"} << 0x80 << 0x80 << "RS232 Mode";
    QTest::newRow("OCIA keeps bit 7") << 0x9F << 0x00 << QStringList{"OCIA Mode"} << 0xDF << 0x00 << "OCIA Mode";
    QTest::newRow("Keyboard clears both") << 0xFF << 0xFF << QStringList{"Keyboard Mode"} << 0x1F << 0x7F
                                          << "Keyboard Mode";
    QTest::newRow("USB") << 0xFF << 0x00 << QStringList{"USB Mode"} << 0x1F << 0x80 << "USB Mode";
}

void InterfacePageTest::interfaceWrites()
{
    QFETCH(int, b26);
    QFETCH(int, b23);
    QFETCH(QStringList, clicks);
    QFETCH(int, after26);
    QFETCH(int, after23);
    QFETCH(QString, shown);
    Configuration c;
    c.block[26] = static_cast<std::uint8_t>(b26);
    c.block[23] = static_cast<std::uint8_t>(b23);
    // Opening rewrites only values no option produces; start from clean ones.
    q51::test::Documented<InterfacePage> page(c);
    c.block[26] = static_cast<std::uint8_t>(b26);
    c.block[23] = static_cast<std::uint8_t>(b23);
    for (const QString &caption : clicks)
        QVERIFY(choose(&page, "optCFG3_1", caption.toUtf8().constData()));
    QCOMPARE(int(c.block[26]), after26);
    QCOMPARE(int(c.block[23]), after23);
    q51::test::Documented<InterfacePage> reopened(c);
    QCOMPARE(chosen(&reopened, "optCFG3_1"), shown);
}

void InterfacePageTest::interfaceReadPrecedence_data()
{
    QTest::addColumn<int>("b26");
    QTest::addColumn<int>("b23");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("after26"); // what opening the page leaves
    QTest::addColumn<int>("after23");
    QTest::newRow("bits 7 and 5: wand") << 0xA0 << 0x00 << "Wand Emulation" << 0xA0 << 0x00;
    QTest::newRow("RS232 wins over USB bit") << 0x80 << 0x80 << "RS232 Mode" << 0x80 << 0x80;
    QTest::newRow("USB") << 0x00 << 0x80 << "USB Mode" << 0x00 << 0x80;
    QTest::newRow("bits 6..5 = 11 becomes keyboard") << 0x60 << 0x00 << "Keyboard Mode" << 0x00 << 0x00;
    QTest::newRow("bits 6..5 = 11 with USB becomes USB") << 0x6F << 0x80 << "USB Mode" << 0x0F << 0x80;
}

void InterfacePageTest::interfaceReadPrecedence()
{
    QFETCH(int, b26);
    QFETCH(int, b23);
    QFETCH(QString, shown);
    QFETCH(int, after26);
    QFETCH(int, after23);
    Configuration c;
    c.block[26] = static_cast<std::uint8_t>(b26);
    c.block[23] = static_cast<std::uint8_t>(b23);
    q51::test::Documented<InterfacePage> page(c);
    QCOMPARE(chosen(&page, "optCFG3_1"), shown);
    QCOMPARE(int(c.block[26]), after26);
    QCOMPARE(int(c.block[23]), after23);
}

void InterfacePageTest::readingModeAcrossTwoBytes()
{
    Configuration c;
    c.block[28] = 0xC9;
    q51::test::Documented<InterfacePage> page(c);
    QVERIFY(choose(&page, "OptCfg3_3", "Reserved 2"));
    QCOMPARE(int(c.block[35] & 0x0F), 8);
    QCOMPARE(int(c.block[28]), 0xC9);
    QVERIFY(choose(&page, "OptCfg3_3", "Flash"));
    QCOMPARE(int(c.block[28]), 0xCC);
    QCOMPARE(int(c.block[35] & 0x0F), 0);
}

void InterfacePageTest::hiddenReadingModeSelectsNoVisibleOption()
{
    Configuration c;
    c.block[28] = 0x01;
    c.block[35] = 0xAD; // bits 3..0 = 13: "Reserved 7", hidden
    q51::test::Documented<InterfacePage> page(c);
    QAbstractButton *hidden = option(&page, "OptCfg3_3", "Reserved 7");
    QVERIFY(hidden);
    QVERIFY(hidden->isHidden());
    QVERIFY(hidden->isChecked());
    for (auto *b : page.findChild<QGroupBox *>(QStringLiteral("OptCfg3_3"))->findChildren<QRadioButton *>()) {
        if (!b->isHidden())
            QVERIFY2(!b->isChecked(), qPrintable(b->text()));
    }
    QCOMPARE(int(c.block[35]), 0xAD);
}

void InterfacePageTest::hiddenFieldsAreLoadedAndReset()
{
    Configuration c;
    c.block[23] = 0x20; // Enable Memory
    c.block[26] = 0x08; // Bar Code Scanner on the second port
    q51::test::Documented<InterfacePage> page(c);
    auto *memory = page.findChild<QCheckBox *>(QStringLiteral("ChkMemory"));
    QVERIFY(memory && memory->isHidden() && memory->isChecked());
    auto *secondPort = page.findChild<QGroupBox *>(QStringLiteral("OptCfg3_2"));
    QVERIFY(secondPort && secondPort->isHidden() && !secondPort->isEnabled());
    QCOMPARE(chosen(&page, "OptCfg3_2"), QStringLiteral("Bar Code Scanner"));
    c.block[26] |= 0x17; // other pages' bits
    press(&page, "cmdDefault31_2");
    QCOMPARE(int(c.block[23]), 0x00);
    QCOMPARE(int(c.block[26]), 0x17);
    QVERIFY(!memory->isChecked());
    QCOMPARE(chosen(&page, "OptCfg3_2"), QStringLiteral("MSR"));
}

void InterfacePageTest::setDefaultButtons()
{
    Configuration c;
    c.block[28] = 0xF5;
    c.block[35] = 0x3A;
    q51::test::Documented<InterfacePage> page(c);
    press(&page, "cmdDefault33");
    QCOMPARE(int(c.block[28]), 0xF1);
    QCOMPARE(int(c.block[35]), 0x30);
    QCOMPARE(chosen(&page, "OptCfg3_3"), QStringLiteral("Good Read Off"));
    // The reading-mode button leaves the interface alone, and the other way round.
    c.block[26] = 0x80;
    press(&page, "cmdDefault33");
    QCOMPARE(int(c.block[26]), 0x80);
    press(&page, "cmdDefault31_2");
    QCOMPARE(int(c.block[28]), 0xF1);
    QCOMPARE(chosen(&page, "optCFG3_1"), QStringLiteral("Keyboard Mode"));
}

void InterfacePageTest::headerStringsFollowEveryKeystroke()
{
    Configuration c;
    c.DeviceName = "Dev";
    c.Description = "Old";
    q51::test::Documented<InterfacePage> page(c);
    auto *device = page.findChild<QLineEdit *>(QStringLiteral("txtDeviceName"));
    QCOMPARE(device->text(), QStringLiteral("Dev"));
    device->setFocus();
    QTest::keyClicks(device, QStringLiteral("ice"));
    QCOMPARE(c.DeviceName, std::string("Device"));
    auto *description = page.findChild<QPlainTextEdit *>(QStringLiteral("txtDescription"));
    QCOMPARE(description->toPlainText(), QStringLiteral("Old"));
    description->moveCursor(QTextCursor::End);
    QTest::keyClicks(description, QStringLiteral(" text, \"quoted\""));
    QCOMPARE(c.Description, std::string("Old text, \"quoted\""));

    // What a file cannot hold is taken back at once and named, never stored as "?".
    auto *note = page.findChild<QLabel *>(QStringLiteral("lblHeaderRefused"));
    QTest::sendKeyEvent(QTest::Click, device, Qt::Key_unknown, QStringLiteral("\u65e5"), Qt::NoModifier); // typed
    QCOMPARE(device->text(), QStringLiteral("Device"));
    QCOMPARE(c.DeviceName, std::string("Device"));
    QVERIFY(note->isVisibleTo(&page));
    QVERIFY2(note->text().startsWith(QStringLiteral("Device Name: \"\u65e5\" (U+65E5) cannot be stored")),
             qPrintable(note->text()));
    description->insertPlainText(QStringLiteral("\U0001F600")); // pasted
    QCOMPARE(description->toPlainText(), QStringLiteral("Old text, \"quoted\""));
    QCOMPARE(c.Description, std::string("Old text, \"quoted\""));
    QTest::keyClicks(device, QStringLiteral("s"));
    QCOMPARE(c.DeviceName, std::string("Devices"));
    QVERIFY(!note->isVisibleTo(&page));
    QTest::keyClicks(page.findChild<QLineEdit *>(QStringLiteral("txtUserName")), QStringLiteral("x"));
    QTest::keyClicks(page.findChild<QLineEdit *>(QStringLiteral("txtDate")), QStringLiteral("y"));
    QCOMPARE(c.UserName, std::string("x"));
    QCOMPARE(c.BuildingDate, std::string("y"));
}

QTEST_MAIN(InterfacePageTest)
#include "tst_interface_page.moc"
