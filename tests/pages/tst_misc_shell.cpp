#include <QtTest>

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

#include "support/page_driver.h"
#include "support/shell_fixture.h"

using namespace q51;
using namespace q51::test;

// The Miscellaneous page opened from the main window.
class MiscShellTest : public QObject {
    Q_OBJECT
private slots:
    void opensAsPage4WithoutChangingTheFactoryBlock();
    void messagesGoThroughTheShell();
    void keyDialogIsModalOverTheMainWindow();
    void editsSurviveSaveAndReopen();
};

template <typename T>
static T *child(QWidget *page, const char *name)
{
    return page->findChild<T *>(QString::fromLatin1(name));
}

void MiscShellTest::opensAsPage4WithoutChangingTheFactoryBlock()
{
    Shell s;
    QWidget *page = s.open("mnuConfigMisc", "cfg6");
    QVERIFY(page);
    QCOMPARE(int(s.config.ActivePage), 4);
    QVERIFY(!s.config.HasUnsavedChanges());
    QVERIFY(s.dialogs.messages.isEmpty());
    QCOMPARE(child<QLineEdit>(page, "txt62_3")->text(), QStringLiteral("Q")); // hidden row, factory "Q"
    s.trigger("mnuConfigMisc");
    QCOMPARE(int(s.config.ActivePage), 0);
}

void MiscShellTest::messagesGoThroughTheShell()
{
    Shell s;
    QWidget *page = s.open("mnuConfigMisc", "cfg6");
    QLineEdit *box = child<QLineEdit>(page, "txt62_4");
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("XY"));
    QCOMPARE(s.dialogs.texts(), QStringList{"Allow only one character."});
    QCOMPARE(int(s.config.block[84]), 0);
    QLineEdit *count = child<QLineEdit>(page, "txt684");
    count->setText(QStringLiteral("100"));
    QCOMPARE(s.dialogs.texts().last(), QStringLiteral("You must input a number less than 100"));
}

void MiscShellTest::keyDialogIsModalOverTheMainWindow()
{
    Shell s;
    QWidget *page = s.open("mnuConfigMisc", "cfg6");
    child<QPushButton>(page, "Command1")->click();
    auto *dialog = page->findChild<QDialog *>(QStringLiteral("DlgKey"));
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QVERIFY(dialog->windowModality() != Qt::NonModal);
    QCOMPARE(dialog->parentWidget()->window(), s.window.get());
    child<QPushButton>(dialog, "CmdKey_11")->click();
    child<QPushButton>(dialog, "OKButton")->click();
    child<QPushButton>(dialog, "CancelButton")->click();
    QCOMPARE(child<QLineEdit>(page, "txt694")->text(), QStringLiteral("{F12}"));
    QCOMPARE(int(s.config.block[114]), 203);
}

void MiscShellTest::editsSurviveSaveAndReopen()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("misc.cfg"));
    {
        Shell s;
        QWidget *page = s.open("mnuConfigMisc", "cfg6");
        QVERIFY(choose(page, "opt61", "Denmark"));
        auto *groups = child<QComboBox>(page, "cbo691");
        groups->setCurrentIndex(3);
        child<QComboBox>(page, "cbo692")->setCurrentIndex(7); // Code 128
        QTest::keyClicks(child<QLineEdit>(page, "txt694"), QStringLiteral("{F10}x"));
        s.dialogs.saveNames.enqueue(file);
        s.trigger("mnuFileSave");
        QVERIFY(!s.config.HasUnsavedChanges());
    }
    Shell t;
    t.dialogs.openNames.enqueue(file);
    t.trigger("mnuFileOpen");
    QWidget *page = t.open("mnuConfigMisc", "cfg6");
    QCOMPARE(chosen(page, "opt61"), QStringLiteral("Denmark"));
    child<QComboBox>(page, "cbo691")->setCurrentIndex(3);
    QCOMPARE(child<QComboBox>(page, "cbo692")->currentText(), QStringLiteral("Code 128"));
    QCOMPARE(child<QLineEdit>(page, "txt694")->text(), QStringLiteral("{F10}x"));
    QCOMPARE(int(t.config.block[142]), 5);
    QCOMPARE(int(t.config.block[144]), 0xC9);
    QCOMPARE(int(t.config.block[145]), 0x78);
    QVERIFY(!t.config.HasUnsavedChanges());
}

QTEST_MAIN(MiscShellTest)
#include "tst_misc_shell.moc"
