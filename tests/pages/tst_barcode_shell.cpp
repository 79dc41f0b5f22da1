#include <QtTest>

#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "support/page_driver.h"
#include "support/shell_fixture.h"

using namespace q51;
using namespace q51::test;

// The bar-code page opened and closed from the main window.
class BarCodeShellTest : public QObject {
    Q_OBJECT
private slots:
    void opensAsPage3WithoutChangingTheFactoryBlock();
    void badMinimumOfTheUnshownSlotIsReportedOnce();
    void editsSurviveSaveAndReopen();
};

void BarCodeShellTest::opensAsPage3WithoutChangingTheFactoryBlock()
{
    Shell s;
    QWidget *page = s.open("mnuConfigBar", "cfg5");
    QVERIFY(page);
    QCOMPARE(int(s.config.ActivePage), 3);
    QVERIFY(s.window->action(QStringLiteral("mnuConfigBar"))->isChecked());
    QVERIFY(!s.window->action(QStringLiteral("mnuConfigDefault"))->isEnabled());
    QVERIFY(!s.config.HasUnsavedChanges());
    QVERIFY(s.dialogs.messages.isEmpty());
    s.trigger("mnuConfigBar");
    QCOMPARE(int(s.config.ActivePage), 0);
    QVERIFY(!s.window->action(QStringLiteral("mnuConfigBar"))->isChecked());
    QVERIFY(s.window->action(QStringLiteral("mnuConfigDefault"))->isEnabled());
}

void BarCodeShellTest::badMinimumOfTheUnshownSlotIsReportedOnce()
{
    Shell s;
    s.config.block[206] = 200;
    QVERIFY(s.open("mnuConfigBar", "cfg5"));
    QCOMPARE(s.dialogs.texts(), QStringList{"You must input a integer less than 100"});
    QCOMPARE(s.dialogs.messages.constFirst().title, QStringLiteral("Decoder Configuration Setup"));
    QCOMPARE(int(s.config.block[206]), 0);
}

void BarCodeShellTest::editsSurviveSaveAndReopen()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("codes.cfg"));
    {
        Shell s;
        QWidget *page = s.open("mnuConfigBar", "cfg5");
        QVERIFY(choose(page, "opt58B1", "C"));
        QVERIFY(choose(page, "opt510A", "Calculate Check 2 Digits and Transmit"));
        page->findChild<QAbstractButton *>(QStringLiteral("chk51_11"))->click();
        page->findChild<QAbstractButton *>(QStringLiteral("chkvariable_9"))->click();
        auto *fix = page->findChild<QLineEdit *>(QStringLiteral("txtFix1_9"));
        fix->selectAll();
        fix->insert(QStringLiteral("14"));
        s.dialogs.saveNames.enqueue(file);
        s.trigger("mnuFileSave");
        QVERIFY(!s.config.HasUnsavedChanges());
    }
    Shell t;
    t.dialogs.openNames.enqueue(file);
    t.trigger("mnuFileOpen");
    QWidget *page = t.open("mnuConfigBar", "cfg5");
    QVERIFY(page);
    QCOMPARE(chosen(page, "opt58B1"), QStringLiteral("C"));
    QCOMPARE(chosen(page, "opt510A"), QStringLiteral("Calculate Check 2 Digits and Transmit"));
    QVERIFY(page->findChild<QAbstractButton *>(QStringLiteral("chk51_11"))->isChecked());
    QVERIFY(!page->findChild<QAbstractButton *>(QStringLiteral("chkvariable_9"))->isChecked());
    QCOMPARE(page->findChild<QLineEdit *>(QStringLiteral("txtFix1_9"))->text(), QStringLiteral("14"));
    QCOMPARE(page->findChild<QLineEdit *>(QStringLiteral("txtFix2_9"))->text(), QStringLiteral("255"));
    QVERIFY(!t.config.HasUnsavedChanges());
}

QTEST_MAIN(BarCodeShellTest)
#include "tst_barcode_shell.moc"
