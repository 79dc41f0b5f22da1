#include <QtTest>

#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>

#include "pages/misc/misc_page.h"
#include "support/documented.h"
#include "support/scripted_dialogs.h"

using namespace q51;
using namespace q51::test;

using Codes = QList<int>;

namespace {

constexpr int Insertion = 112;

Codes storedText(const Configuration &c)
{
    Codes out;
    for (int i = Insertion + 2; i < Insertion + 10; ++i)
        out << c.block[static_cast<std::size_t>(i)];
    return out;
}

Codes padded(Codes codes)
{
    while (codes.size() < 8)
        codes << 0;
    return codes;
}

QPushButton *button(QWidget *parent, const QString &name)
{
    return parent->findChild<QPushButton *>(name);
}

} // namespace

class KeyDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void functionKeyDialog();
    void controlKeyDialog();
    void lastKeyChosenIsInserted();
    void emptyChoiceInsertsNothing();
    void insertsAtTheCaret();
    void replacesTheSelectionTheUserMade();
    void staysOpenForMoreKeys();
    void exitGivesTheFocusBack();

private:
    // Opens the dialog the page button opens and returns it.
    QDialog *open(const char *pageButton, const char *dialogName);

    Configuration config_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<MiscPage> page_;
    QLineEdit *text_ = nullptr;
};

void KeyDialogsTest::init()
{
    config_ = Configuration{};
    page_ = std::make_unique<q51::test::Documented<MiscPage>>(config_, dialogs_);
    page_->tabs()->setCurrentIndex(2);
    text_ = page_->findChild<QLineEdit *>(QStringLiteral("txt694"));
}

void KeyDialogsTest::cleanup()
{
    page_.reset();
}

QDialog *KeyDialogsTest::open(const char *pageButton, const char *dialogName)
{
    QWidget *frame = page_->findChild<QWidget *>(QStringLiteral("fra69"));
    QTest::mouseClick(button(frame, QString::fromLatin1(pageButton)), Qt::LeftButton);
    auto *dialog = page_->findChild<QDialog *>(QString::fromLatin1(dialogName));
    if (dialog)
        QTest::qWait(0); // let it show
    return dialog;
}

void KeyDialogsTest::functionKeyDialog()
{
    QDialog *dialog = open("Command1", "DlgKey");
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QVERIFY(dialog->isModal());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Function Key"));
    QVERIFY(dialog->findChild<QLineEdit *>(QStringLiteral("txtkey")));
    QCOMPARE(button(dialog, "OKButton")->text(), QStringLiteral("Insert Key"));
    QCOMPARE(button(dialog, "CancelButton")->text(), QStringLiteral("Exit"));
    const QStringList keys{"F1",  "F2",  "F3",  "F4",   "F5",   "F6",   "F7",  "F8",   "F9",    "F10", "F11",
                           "F12", "Ins", "Del", "Home", "PgUp", "PgDn", "End", "Left", "Right", "Up",  "Down"};
    for (int i = 0; i < keys.size(); ++i) {
        QPushButton *key = button(dialog, QStringLiteral("CmdKey_%1").arg(i));
        QVERIFY(key);
        QCOMPARE(key->text(), keys[i]);
        QVERIFY(key->isEnabled());
    }
    QVERIFY(!button(dialog, "CmdKey_22"));
}

void KeyDialogsTest::controlKeyDialog()
{
    QDialog *dialog = open("Command3", "DlgCtrl");
    QVERIFY(dialog);
    QVERIFY(dialog->isModal());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Control Key"));
    QVERIFY(dialog->findChild<QLineEdit *>(QStringLiteral("txtCtrl")));
    QCOMPARE(button(dialog, "Command1")->text(), QStringLiteral("Insert Control Key"));
    QCOMPARE(button(dialog, "Command2")->text(), QStringLiteral("Exit"));
    const QStringList keys{"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
                           "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
                           "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
    for (int i = 0; i < keys.size(); ++i) {
        QPushButton *key = button(dialog, QStringLiteral("btnCtrl_%1").arg(i));
        QVERIFY(key);
        QCOMPARE(key->text(), keys[i]);
        QCOMPARE(key->isEnabled(), i != 0);
    }
    // NUL cannot be chosen, so a stored 0 never cuts the text short.
    QTest::mouseClick(button(dialog, "btnCtrl_0"), Qt::LeftButton);
    QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("txtCtrl"))->text(), QString());
}

void KeyDialogsTest::lastKeyChosenIsInserted()
{
    QDialog *dialog = open("Command1", "DlgKey");
    button(dialog, "CmdKey_4")->click();
    QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("txtkey"))->text(), QStringLiteral("F5"));
    button(dialog, "CmdKey_14")->click();
    button(dialog, "OKButton")->click();
    QCOMPARE(text_->text(), QStringLiteral("{Home}"));
    QCOMPARE(storedText(config_), padded({206}));
    QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("txtkey"))->text(), QString());
    button(dialog, "CmdKey_20")->click();
    button(dialog, "OKButton")->click();
    QCOMPARE(storedText(config_), padded({206, 212}));
}

void KeyDialogsTest::emptyChoiceInsertsNothing()
{
    text_->setText(QStringLiteral("AB"));
    const Block before = config_.block;
    QDialog *dialog = open("Command1", "DlgKey");
    button(dialog, "OKButton")->click();
    QCOMPARE(text_->text(), QStringLiteral("AB"));
    QVERIFY(config_.block == before);
    QVERIFY(dialog->isVisible());
}

void KeyDialogsTest::insertsAtTheCaret()
{
    text_->setText(QStringLiteral("AB"));
    text_->setCursorPosition(1);
    QDialog *dialog = open("Command3", "DlgCtrl");
    button(dialog, "btnCtrl_10")->click();
    button(dialog, "Command1")->click();
    QCOMPARE(text_->text(), QStringLiteral("A{LF}B"));
    QCOMPARE(storedText(config_), padded({0x41, 0x0A, 0x42}));
}

void KeyDialogsTest::replacesTheSelectionTheUserMade()
{
    page_->show();
    page_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(page_.get()));
    text_->setFocus();
    QTest::keyClicks(text_, QStringLiteral("ABCD"));
    text_->setSelection(1, 2); // "BC"
    // Clicking the page's button takes the focus from the text box first.
    QDialog *dialog = open("Command3", "DlgCtrl");
    button(dialog, "btnCtrl_13")->click();
    button(dialog, "Command1")->click();
    QCOMPARE(text_->text(), QStringLiteral("A{CR}D"));
    QCOMPARE(storedText(config_), padded({0x41, 0x0D, 0x44}));
}

void KeyDialogsTest::staysOpenForMoreKeys()
{
    text_->setText(QStringLiteral("xy"));
    text_->setCursorPosition(1);
    QDialog *dialog = open("Command1", "DlgKey");
    button(dialog, "CmdKey_0")->click();
    button(dialog, "OKButton")->click();
    button(dialog, "CmdKey_1")->click();
    button(dialog, "OKButton")->click();
    QVERIFY(dialog->isVisible());
    QCOMPARE(text_->text(), QStringLiteral("x{F1}{F2}y"));
    QCOMPARE(storedText(config_), padded({'x', 192, 193, 'y'}));
}

void KeyDialogsTest::exitGivesTheFocusBack()
{
    page_->show();
    page_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(page_.get()));
    QPointer<QDialog> dialog = open("Command3", "DlgCtrl");
    QVERIFY(dialog);
    QVERIFY(!text_->hasFocus());
    button(dialog, "Command2")->click();
    QTRY_VERIFY(!dialog); // discarded once closed
    QTRY_COMPARE(page_->focusWidget(), text_);
    QVERIFY(!page_->findChild<QDialog *>());
}

QTEST_MAIN(KeyDialogsTest)
#include "tst_misc_key_dialogs.moc"
