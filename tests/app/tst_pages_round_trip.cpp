#include <QtTest>

#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "support/page_driver.h"
#include "support/shell_fixture.h"

using namespace q51;
using namespace q51::test;

// Pages opened from the main window: edits go into the block, survive a
// save and a reopen, and a page always shows the block as it is now.
class PagesRoundTripTest : public QObject {
    Q_OBJECT
private slots:
    void editsSurviveSaveAndReopen();
    void pageReadsTheBlockAfreshAfterNew();
};

void PagesRoundTripTest::editsSurviveSaveAndReopen()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pages.cfg"));
    {
        Shell s;
        QWidget *page = s.open("mnuConfigInterface");
        QVERIFY(page);
        QVERIFY(choose(page, "optCFG3_1", "OCIA Mode"));
        QVERIFY(choose(page, "OptCfg3_3", "Reserved 3"));
        auto *device = page->findChild<QLineEdit *>(QStringLiteral("txtDeviceName"));
        device->selectAll();
        QTest::keyClicks(device, QStringLiteral("Scanner, \"north\" door"));
        page = s.open("mnuConfigComm"); // closes the Interface page
        QVERIFY(choose(page, "optCfg41A", "2400"));
        QVERIFY(choose(page, "optCfg41D", "Mark"));
        QVERIFY(choose(page, "optCfg43A", "HT(TAB)"));
        QVERIFY(choose(page, "optCfg46", "Spectra Physics"));
        QVERIFY(s.config.HasUnsavedChanges());
        s.dialogs.saveNames.enqueue(file);
        s.trigger("mnuFileSave"); // with the page still open
        QVERIFY(!s.config.HasUnsavedChanges());
    }
    Shell t;
    t.dialogs.openNames.enqueue(file);
    t.trigger("mnuFileOpen");
    QVERIFY(t.dialogs.messages.isEmpty());
    QWidget *page = t.open("mnuConfigInterface");
    QCOMPARE(chosen(page, "optCFG3_1"), QStringLiteral("OCIA Mode"));
    QCOMPARE(chosen(page, "OptCfg3_3"), QStringLiteral("Reserved 3"));
    QCOMPARE(page->findChild<QLineEdit *>(QStringLiteral("txtDeviceName"))->text(), QStringLiteral("Scanner, \"north\" door"));
    page = t.open("mnuConfigComm");
    QCOMPARE(chosen(page, "optCfg41A"), QStringLiteral("2400"));
    QCOMPARE(chosen(page, "optCfg41D"), QStringLiteral("Mark"));
    QCOMPARE(chosen(page, "optCfg43A"), QStringLiteral("HT(TAB)"));
    QCOMPARE(chosen(page, "optCfg46"), QStringLiteral("Spectra Physics"));
    QVERIFY(!t.config.HasUnsavedChanges()); // opening the pages wrote nothing
}

void PagesRoundTripTest::pageReadsTheBlockAfreshAfterNew()
{
    Shell s;
    QWidget *page = s.open("mnuConfigInterface");
    QVERIFY(choose(page, "optCFG3_1", "RS232 Mode"));
    s.dialogs.answers.enqueue(Answer::No);
    s.trigger("mnuFileNew"); // closes the page and loads the factory block
    QCOMPARE(int(s.config.ActivePage), 0);
    page = s.open("mnuConfigInterface");
    QCOMPARE(chosen(page, "optCFG3_1"), QStringLiteral("Keyboard Mode"));
    QCOMPARE(page->findChild<QLineEdit *>(QStringLiteral("txtDeviceName"))->text(), QStringLiteral("Device Name"));
}

QTEST_MAIN(PagesRoundTripTest)
#include "tst_pages_round_trip.moc"
