#include <QtTest>

#include <QAccessible>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTextBrowser>
#include <QToolBar>
#include <QDialog>

#include "app/about_box.h"
#include "model/factory_defaults.h"
#include "support/shell_fixture.h"

using namespace q51;
using q51::test::Shell;

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startUpValues();
    void portIoAttempts_data();
    void portIoAttempts();
    void menuItems_data();
    void menuItems();
    void menuBarOrder();
    void toolbar();
    void toolbarReachableByName();
    void toggleTwiceOpensThenCloses();
    void toolbarSwitchesPages();
    void transmitWindow();
    void closingChildByItsOwnCloseResetsState();
    void shortcutsToggle();
    void setAllDefaults();
    void help();
    void aboutBox();
    void systemInfo_data();
    void systemInfo();
    void toolItemsFollowTheirWindows();
    void firmwareUpdateClosesThePageAndTransmitClosesIt();
    void modalToolsCloseWhatHoldsAPort_data();
    void modalToolsCloseWhatHoldsAPort();
    void storedDataWindowIsCreatedOnce();
};


static QStringList checkedPages(Shell &s)
{
    QStringList out;
    for (auto name : {"mnuConfigInterface", "mnuConfigComm", "mnuConfigBar", "mnuConfigMisc"}) {
        if (s.window->action(QString::fromLatin1(name))->isChecked())
            out << QString::fromLatin1(name);
    }
    return out;
}

static QStringList openChildren(Shell &s)
{
    QStringList out;
    for (auto *w : s.window->mdiArea()->subWindowList())
        out << w->widget()->objectName();
    return out;
}

void MainWindowTest::startUpValues()
{
    Shell s;
    QCOMPARE(s.window->windowTitle(), QStringLiteral("Q51 & V51 Decoder Configuration: New File"));
    QCOMPARE(s.config.block, FactoryBlock());
    QVERIFY(!s.config.HasUnsavedChanges());
    QCOMPARE(s.config.DeviceName, std::string("Device Name"));
    QCOMPARE(s.config.UserName, std::string("User's Name"));
    QCOMPARE(s.config.BuildingDate, std::string("08/12/2026"));
    QCOMPARE(s.config.Description, std::string("Your description about this configuration file"));
    QCOMPARE(s.config.FileName, std::string("New File"));
    QCOMPARE(s.config.SettingsString(), std::string("9600,N,8,1"));
    QCOMPARE(int(s.config.PortNumber), 1);
    QCOMPARE(int(s.config.TransferMode), 1);
    QCOMPARE(s.config.KeyDelay, 5);
    QCOMPARE(int(s.config.ActivePage), 0);
    QVERIFY(s.dialogs.messages.isEmpty());
}

void MainWindowTest::portIoAttempts_data()
{
    QTest::addColumn<int>("failures");
    QTest::addColumn<int>("inits");
    QTest::addColumn<int>("shutdowns");
    QTest::addColumn<bool>("warned");
    QTest::newRow("first try") << 0 << 1 << 0 << false;
    QTest::newRow("third try") << 2 << 3 << 2 << false;
    QTest::newRow("tenth try") << 9 << 10 << 9 << false;
    QTest::newRow("never") << -1 << 10 << 10 << true;
}

void MainWindowTest::portIoAttempts()
{
    QFETCH(int, failures);
    QFETCH(int, inits);
    QFETCH(int, shutdowns);
    QFETCH(bool, warned);
    Shell s(failures);
    QCOMPARE(s.portIo.initCalls, inits);
    QCOMPARE(s.portIo.shutdownCalls, shutdowns);
    QCOMPARE(s.window->keyboardPortAvailable(), !warned);
    QCOMPARE(s.dialogs.messages.size(), warned ? 1 : 0);
    if (warned) {
        const auto &m = s.dialogs.messages.constFirst();
        QCOMPARE(m.title, QStringLiteral("Configuration Setup"));
        QCOMPARE(m.text, QStringLiteral("There is an error for keyboard, you can download and upload CFG data only thru RS232!"));
        QCOMPARE(m.buttons, MessageButtons::Ok);
    }
    // The block is still set up after the warning.
    QCOMPARE(s.config.block, FactoryBlock());
    s.window->close();
    QCOMPARE(s.portIo.shutdownCalls, shutdowns + 1);
}

void MainWindowTest::menuItems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<bool>("checkable");
    QTest::addColumn<bool>("enabled");
    auto row = [](const char *n, const char *c, const char *k, bool check, bool on) {
        QTest::newRow(n) << QString::fromLatin1(n) << QString::fromLatin1(c) << QString::fromLatin1(k) << check << on;
    };
    row("mnuFileNew", "&New", "Ctrl+N", false, true);
    row("mnuFileOpen", "&Open...", "Ctrl+O", false, true);
    row("mnuFileSave", "&Save", "Ctrl+S", false, true);
    row("mnuFileSaveAs", "Save &As...", "Ctrl+A", false, true);
    row("mnuFileExportReport", "&Export Report...", "", false, true);
    row("mnuFileExit", "E&xit", "Ctrl+X", false, true);
    row("mnuEditUndo", "&Undo", "Ctrl+Z", false, false);
    row("mnuEditRedo", "&Redo", "Ctrl+Shift+Z", false, false);
    row("mnuEditFind", "&Find Setting...", "Ctrl+F", false, true);
    row("mnuEditChanged", "&Changed Settings", "Ctrl+D", true, true);
    row("mnuConfigInterface", "&Interface", "Ctrl+F3", true, true);
    row("mnuConfigComm", "&Communication", "Ctrl+F4", true, true);
    row("mnuConfigBar", "&Bar Codes and Others", "Ctrl+F5", true, true);
    row("mnuConfigMisc", "&Miscellaneous", "Ctrl+F6", true, true);
    row("mnuConfigDefault", "&Set All Defaults", "", false, true);
    row("mnuConfigTransmit", "Transmit", "", false, true);
    row("mnuToolISP", "&ISP", "", false, true);
    row("mnuToolCmd", "Send &Command", "", false, true);
    row("mnuToolsKRtest", "&KR Test", "", false, true);
    row("mnuToolMemory", "Read &Memory...", "", false, true);
    row("mnuToolFindDecoder", "&Find Decoder...", "", false, true);
    row("mnuToolCompare", "Com&pare with Decoder...", "", false, true);
    row("mnuHelpContents", "&Contents", "", false, true);
    row("mnuHelpAbout", "&About", "", false, true);
}

void MainWindowTest::menuItems()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    QFETCH(bool, checkable);
    QFETCH(bool, enabled);
    Shell s;
    QAction *a = s.window->findChild<QAction *>(name);
    QVERIFY(a);
    QCOMPARE(a->text(), caption);
    QCOMPARE(a->shortcut(), QKeySequence(shortcut));
    QCOMPARE(a->isCheckable(), checkable);
    QCOMPARE(a->isEnabled(), enabled);
    QVERIFY(!a->isChecked());
}

void MainWindowTest::menuBarOrder()
{
    Shell s;
    QStringList menus;
    for (QAction *a : s.window->menuBar()->actions())
        menus << a->text();
    QCOMPARE(menus, (QStringList{"&File", "&Edit", "&Configuration", "&Tools", "&Help"}));
    auto *config = s.window->findChild<QMenu *>(QStringLiteral("mnuConfig"));
    QStringList items;
    for (QAction *a : config->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(items, (QStringList{"&Interface", "&Communication", "&Bar Codes and Others", "&Miscellaneous", "-",
                                 "&Set All Defaults", "-", "Transmit"}));
}

void MainWindowTest::toolbar()
{
    Shell s;
    auto *bar = s.window->findChild<QToolBar *>(QStringLiteral("Toolbar1"));
    QVERIFY(bar);
    QStringList keys, tips;
    for (QAction *a : bar->actions()) {
        keys << a->objectName();
        tips << a->toolTip();
        QCOMPARE(QString(a->text()).replace(QStringLiteral("&&"), QStringLiteral("&")), a->toolTip());
        QVERIFY(!a->icon().isNull());
    }
    QCOMPARE(keys, (QStringList{"new", "open", "save", "irm", "com", "bar", "mis", "transmit", "KRtest"}));
    QCOMPARE(tips, (QStringList{"New File", "Open File", "Save File", "Interface and Reading Mode",
                                "Communication Parameters", "Bar Codes and Others", "Miscellaneous Parameters",
                                "Transmit", "Keyboard & RS232 Test"}));
    // The test window's button follows its menu item.
    QVERIFY(bar->actions().last()->isEnabled());
}

void MainWindowTest::toolbarReachableByName()
{
    Shell s;
    auto *bar = s.window->findChild<QToolBar *>(QStringLiteral("Toolbar1"));
    for (QAction *a : bar->actions()) {
        QWidget *button = bar->widgetForAction(a);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(button);
        QVERIFY(iface);
        QCOMPARE(iface->text(QAccessible::Name), a->toolTip());
    }
    QAccessibleInterface *menuBar = QAccessible::queryAccessibleInterface(s.window->menuBar());
    QStringList names;
    for (int i = 0; i < menuBar->childCount(); ++i)
        names << menuBar->child(i)->text(QAccessible::Name);
    QVERIFY2(names.join(QLatin1Char('|')).contains(QStringLiteral("Configuration")), qPrintable(names.join('|')));
}

void MainWindowTest::toggleTwiceOpensThenCloses()
{
    Shell s;
    QAction *defaults = s.window->action(QStringLiteral("mnuConfigDefault"));
    s.trigger("mnuConfigInterface");
    QCOMPARE(int(s.config.ActivePage), 1);
    QCOMPARE(openChildren(s), QStringList{"cfg3"});
    QCOMPARE(s.window->mdiArea()->subWindowList().constFirst()->windowTitle(), QStringLiteral("Interface"));
    QCOMPARE(checkedPages(s), QStringList{"mnuConfigInterface"});
    QVERIFY(!defaults->isEnabled());
    s.trigger("mnuConfigInterface");
    QCOMPARE(int(s.config.ActivePage), 0);
    QVERIFY(checkedPages(s).isEmpty());
    QVERIFY(defaults->isEnabled());
    QTRY_VERIFY(openChildren(s).isEmpty());
}

void MainWindowTest::toolbarSwitchesPages()
{
    Shell s;
    s.trigger("com");
    QCOMPARE(checkedPages(s), QStringList{"mnuConfigComm"});
    s.trigger("bar");
    QCOMPARE(int(s.config.ActivePage), 3);
    QCOMPARE(checkedPages(s), QStringList{"mnuConfigBar"});
    QTRY_COMPARE(openChildren(s), QStringList{"cfg5"});
    QCOMPARE(s.window->mdiArea()->subWindowList().constFirst()->windowTitle(), QStringLiteral("Bar Codes and Others"));
    s.trigger("mis");
    QTRY_COMPARE(openChildren(s), QStringList{"cfg6"});
    s.trigger("mis");
    QCOMPARE(int(s.config.ActivePage), 0);
    QVERIFY(checkedPages(s).isEmpty());
}

void MainWindowTest::transmitWindow()
{
    Shell s;
    s.trigger("mnuConfigComm");
    s.trigger("transmit");
    QCOMPARE(int(s.config.ActivePage), 5);
    QVERIFY(checkedPages(s).isEmpty()); // the transfer window carries no check mark
    QVERIFY(!s.window->action(QStringLiteral("mnuConfigDefault"))->isEnabled());
    QTRY_COMPARE(openChildren(s), QStringList{"frmTransmit"});
    auto *sub = s.window->mdiArea()->subWindowList().constFirst();
    QCOMPARE(sub->windowTitle(), QStringLiteral("Transmit"));
    QVERIFY(sub->isMaximized());
    // A maximised child keeps its own title bar: the main title stays prefix + file name.
    QCOMPARE(s.window->windowTitle(), QStringLiteral("Q51 & V51 Decoder Configuration: New File"));
    s.trigger("mnuConfigTransmit");
    QCOMPARE(int(s.config.ActivePage), 0);
    QVERIFY(s.window->action(QStringLiteral("mnuConfigDefault"))->isEnabled());
}

void MainWindowTest::closingChildByItsOwnCloseResetsState()
{
    Shell s;
    s.trigger("mnuConfigMisc");
    s.window->mdiArea()->subWindowList().constFirst()->close();
    QCOMPARE(int(s.config.ActivePage), 0);
    QVERIFY(checkedPages(s).isEmpty());
    QVERIFY(s.window->action(QStringLiteral("mnuConfigDefault"))->isEnabled());
    // And it opens again on the next click rather than "closing" a ghost.
    s.trigger("mnuConfigMisc");
    QCOMPARE(int(s.config.ActivePage), 4);
}

void MainWindowTest::shortcutsToggle()
{
    Shell s;
    s.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
    QTest::keyClick(s.window.get(), Qt::Key_F3, Qt::ControlModifier);
    QCOMPARE(int(s.config.ActivePage), 1);
    // With a page focused inside the area, the next page's key still works.
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : s.window.get(), Qt::Key_F4,
                    Qt::ControlModifier);
    QCOMPARE(int(s.config.ActivePage), 2);
    QTest::keyClick(s.window.get(), Qt::Key_F6, Qt::ControlModifier);
    QCOMPARE(int(s.config.ActivePage), 4);
    QTest::keyClick(s.window.get(), Qt::Key_F6, Qt::ControlModifier);
    QCOMPARE(int(s.config.ActivePage), 0);
}

void MainWindowTest::setAllDefaults()
{
    Shell s;
    s.config.block[24] = 0x11;
    s.config.TakeSavedCopy();
    s.config.block[5] = 0x00;
    s.dialogs.answers.enqueue(Answer::No);
    s.trigger("mnuConfigDefault");
    QCOMPARE(s.dialogs.messages.size(), 1);
    const auto &m = s.dialogs.messages.constFirst();
    QCOMPARE(m.title, QStringLiteral("Decoder Configuration Setup"));
    QCOMPARE(m.text, QStringLiteral("Are you sure to set all to default values?"));
    QCOMPARE(m.buttons, MessageButtons::YesNo);
    QCOMPARE(m.icon, MessageIcon::Warning);
    QCOMPARE(m.defaultAnswer, Answer::No);
    QCOMPARE(int(s.config.block[5]), 0x00);

    s.dialogs.answers.enqueue(Answer::Yes);
    s.trigger("mnuConfigDefault");
    QCOMPARE(s.config.block, FactoryBlock());
    QCOMPARE(int(s.config.savedCopy[24]), 0x11); // the saved copy still holds the file
    QVERIFY(s.config.HasUnsavedChanges());
    QCOMPARE(s.window->windowTitle(), QStringLiteral("Q51 & V51 Decoder Configuration: New File"));
}

void MainWindowTest::help()
{
    Shell s;
    s.trigger("mnuHelpContents");
    QCOMPARE(s.started, QStringList{"hh q51_help.chm"});
    QVERIFY(s.dialogs.messages.isEmpty());
    QVERIFY(!s.window->findChild<QWidget *>(QStringLiteral("helpWindow")));

    // No viewer: the program's own page, one window however often asked.
    s.startSucceeds = false;
    s.trigger("mnuHelpContents");
    s.trigger("mnuHelpContents");
    QVERIFY(s.dialogs.messages.isEmpty());
    const auto helpWindows = s.window->findChildren<QTextBrowser *>(QStringLiteral("helpWindow"));
    QCOMPARE(helpWindows.size(), 1);
    QTextBrowser *help = helpWindows.constFirst();
    QVERIFY(help->isVisible());
    QVERIFY(help->isWindow());
    for (const char *window : {"Transmit", "Send Command", "KR Test", "Read Memory", "Interface",
                               "Communication Parameters", "Bar Codes and Others", "Miscellaneous Parameters"})
        QVERIFY2(help->toPlainText().contains(QString::fromUtf8(window)), window);
}

void MainWindowTest::aboutBox()
{
    Shell s;
    s.trigger("mnuHelpAbout");
    auto *about = s.window->findChild<AboutBox *>(QStringLiteral("frmAbout"));
    QVERIFY(about);
    QVERIFY(about->isVisible());
    QVERIFY(!about->isModal());
    QCOMPARE(about->windowTitle(), QStringLiteral("About This Software"));
    QCOMPARE(about->findChild<QLabel *>(QStringLiteral("Label1"))->text(),
             QStringLiteral("Q51 & V51 Decoder Configuration Setup V1.08.03"));
    QVERIFY(!about->findChild<QLabel *>(QStringLiteral("Picture1"))->pixmap().isNull());
    QVERIFY(!about->findChild<QLabel *>(QStringLiteral("Label2"))->text().isEmpty());
    QCOMPARE(about->findChild<QPushButton *>(QStringLiteral("cmdSysInfo"))->text(), QStringLiteral("System Info..."));
    about->findChild<QPushButton *>(QStringLiteral("cmdOK"))->click();
    QVERIFY(!about->isVisible());
    s.trigger("mnuHelpAbout"); // the same box again, not a second one
    QCOMPARE(s.window->findChildren<AboutBox *>().size(), 1);
#ifndef _WIN32
    // No registry here: the unavailable message.
    about->findChild<QPushButton *>(QStringLiteral("cmdSysInfo"))->click();
    QCOMPARE(s.dialogs.texts(), QStringList{"System Information Is Unavailable At This Time"});
    QCOMPARE(s.dialogs.messages.constFirst().title, QString::fromUtf8(DefaultCaption));
#endif
}

void MainWindowTest::systemInfo_data()
{
    QTest::addColumn<QString>("pathValue");    // empty: absent
    QTest::addColumn<QString>("toolsFolder");  // empty: absent
    QTest::addColumn<bool>("msinfoExists");
    QTest::addColumn<bool>("startWorks");
    QTest::addColumn<QString>("started");      // empty: the unavailable message
    QTest::newRow("neither value") << "" << "" << false << true << "";
    QTest::newRow("PATH") << "C:\\msinfo.exe" << "" << false << true << "C:\\msinfo.exe";
    QTest::newRow("PATH fails to start") << "C:\\msinfo.exe" << "" << false << false << "";
    QTest::newRow("folder with program") << "" << "C:\\Tools" << true << true << "C:\\Tools\\MSINFO32.EXE";
    QTest::newRow("folder without program") << "" << "C:\\Tools" << false << true << "";
}

void MainWindowTest::systemInfo()
{
    QFETCH(QString, pathValue);
    QFETCH(QString, toolsFolder);
    QFETCH(bool, msinfoExists);
    QFETCH(bool, startWorks);
    QFETCH(QString, started);
    q51::test::ScriptedDialogs dialogs;
    QStringList launched;
    SystemInfoPlatform platform;
    platform.readLocalMachineString = [&](const QString &key, const QString &value) -> std::optional<QString> {
        if (key.endsWith(QStringLiteral("Shared Tools\\MSINFO")) && value == QStringLiteral("PATH") && !pathValue.isEmpty())
            return pathValue;
        if (key.endsWith(QStringLiteral("Shared Tools Location")) && value == QStringLiteral("MSINFO") && !toolsFolder.isEmpty())
            return toolsFolder;
        return std::nullopt;
    };
    platform.fileExists = [&](const QString &) { return msinfoExists; };
    platform.startDetached = [&](const QString &program, const QStringList &) {
        launched << program;
        return startWorks;
    };
    StartSysInfo(platform, dialogs);
    if (started.isEmpty()) {
        QCOMPARE(dialogs.texts(), QStringList{"System Information Is Unavailable At This Time"});
    } else {
        QCOMPARE(launched, QStringList{started});
        QVERIFY(dialogs.messages.isEmpty());
    }
    QCOMPARE(TrimRegistryString("abc\0", 4), std::string("abc"));
    QCOMPARE(TrimRegistryString("abcd", 4), std::string("abcd"));
}

namespace {

// Stand-ins for the service windows, so the Tools rules can be checked on
// their own.
void withStandIns(ToolWindowFactories &tools)
{
    tools.firmwareUpdate = [] {
        auto *w = new QWidget;
        w->setObjectName(QStringLiteral("frmISP"));
        return w;
    };
    tools.storedData = [] {
        auto *w = new QWidget;
        w->setObjectName(QStringLiteral("Memory"));
        return w;
    };
    auto modal = [](const char *name) {
        return [name](QWidget *parent) {
            auto *d = new QDialog(parent);
            d->setObjectName(QString::fromLatin1(name));
            return d;
        };
    };
    tools.commandConsole = modal("frmCMD");
    tools.keyboardTest = modal("DDT");
    tools.findDecoder = modal("frmFindDecoder");
    tools.compare = modal("frmCompare");
}

// Answers the next modal dialog once it is shown, noting what was open then.
int activePageWhileModal(Shell &s, const char *item)
{
    int seen = -1;
    QTimer::singleShot(0, s.window.get(), [&] {
        seen = s.config.ActivePage;
        if (auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            d->accept();
    });
    s.trigger(item);
    return seen;
}

} // namespace

void MainWindowTest::toolItemsFollowTheirWindows()
{
    Shell bare(0, true, [](ToolWindowFactories &tools) { tools = {}; });
    for (auto name : {"mnuToolISP", "mnuToolCmd", "mnuToolsKRtest", "mnuToolMemory", "mnuToolFindDecoder", "mnuToolCompare", "KRtest"})
        QVERIFY2(!bare.window->action(QString::fromLatin1(name))->isEnabled(), name);
    Shell full(0, true, withStandIns);
    for (auto name : {"mnuToolISP", "mnuToolCmd", "mnuToolsKRtest", "mnuToolMemory", "mnuToolFindDecoder", "mnuToolCompare", "KRtest"})
        QVERIFY2(full.window->action(QString::fromLatin1(name))->isEnabled(), name);
    QCOMPARE(full.window->action(QStringLiteral("mnuToolMemory"))->text(), QStringLiteral("Read &Memory..."));
}

void MainWindowTest::firmwareUpdateClosesThePageAndTransmitClosesIt()
{
    Shell s(0, true, withStandIns);
    s.trigger("mnuConfigBar");
    s.trigger("mnuToolISP");
    QCOMPARE(int(s.config.ActivePage), 0);
    QVERIFY(checkedPages(s).isEmpty());
    QWidget *isp = s.window->firmwareUpdateWindow();
    QVERIFY(isp);
    QVERIFY(isp->parentWidget()->isMaximized());
    s.trigger("mnuToolISP"); // the same window again
    QCOMPARE(s.window->firmwareUpdateWindow(), isp);
    s.trigger("mnuConfigTransmit");
    QCOMPARE(int(s.config.ActivePage), 5);
    QVERIFY(!s.window->firmwareUpdateWindow());
}

void MainWindowTest::modalToolsCloseWhatHoldsAPort_data()
{
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("during");
    QTest::addColumn<int>("after");
    QTest::newRow("console closes a page") << "mnuConfigComm" << "mnuToolCmd" << 0 << 0;
    QTest::newRow("console closes transmit") << "mnuConfigTransmit" << "mnuToolCmd" << 0 << 0;
    QTest::newRow("KR test keeps a page") << "mnuConfigComm" << "mnuToolsKRtest" << 2 << 2;
    QTest::newRow("KR test closes transmit") << "mnuConfigTransmit" << "mnuToolsKRtest" << 0 << 0;
    QTest::newRow("KR test from the toolbar") << "mnuConfigTransmit" << "KRtest" << 0 << 0;
    QTest::newRow("Find Decoder keeps a page") << "mnuConfigComm" << "mnuToolFindDecoder" << 2 << 2;
    QTest::newRow("Find Decoder closes transmit") << "mnuConfigTransmit" << "mnuToolFindDecoder" << 0 << 0;
    QTest::newRow("Compare keeps a page") << "mnuConfigComm" << "mnuToolCompare" << 2 << 2;
    QTest::newRow("Compare closes transmit") << "mnuConfigTransmit" << "mnuToolCompare" << 0 << 0;
}

void MainWindowTest::modalToolsCloseWhatHoldsAPort()
{
    QFETCH(QString, open);
    QFETCH(QString, item);
    QFETCH(int, during);
    QFETCH(int, after);
    Shell s(0, true, withStandIns);
    s.trigger(open.toLatin1().constData());
    QCOMPARE(activePageWhileModal(s, item.toLatin1().constData()), during);
    QCOMPARE(int(s.config.ActivePage), after);
    QVERIFY(!QApplication::activeModalWidget());
}

void MainWindowTest::storedDataWindowIsCreatedOnce()
{
    int created = 0;
    Shell s(0, true, [&created](ToolWindowFactories &tools) {
        withStandIns(tools);
        tools.storedData = [&created] {
            ++created;
            auto *w = new QWidget;
            w->setObjectName(QStringLiteral("Memory"));
            return w;
        };
    });
    s.trigger("mnuToolMemory");
    s.trigger("mnuToolMemory");
    QCOMPARE(created, 1);
    QVERIFY(s.window->storedDataWindow()->isVisible());
    QCOMPARE(int(s.config.ActivePage), 0);
}

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
