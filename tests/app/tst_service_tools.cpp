// The service windows as the main window's Tools menu opens them: the
// firmware update maximised, the test window modal, the stored-data
// window, whose opening closes the transfer window or opens and closes it,
// and which window makes way for which so that no two hold one port.

#include <optional>

#include <QApplication>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "support/shell_fixture.h"

using namespace q51;
using test::Shell;

namespace {

QStringList openChildren(Shell &s)
{
    QStringList out;
    for (auto *w : s.window->mdiArea()->subWindowList()) {
        if (w->isVisible())
            out << w->widget()->objectName();
    }
    return out;
}

const QString NotAvailable = QStringLiteral("COM 1: not available.");

} // namespace

class ServiceToolsTest : public QObject {
    Q_OBJECT
private slots:
    void openingMakesWayOnThePort_data();
    void openingMakesWayOnThePort();
    void storedDataOpensAndClosesTheTransferWindow();
    void storedDataClosesAnOpenTransferWindow();
    void firmwareUpdateOpensMaximised();
    void testWindowIsModal();
    void stationIsOneWindowBesideTheRest();
    void menusWaitWhileAMessageBoxIsUp();
    void hostedToolWindowsKeepTheMainTitleAndCtrlF4_data();
    void hostedToolWindowsKeepTheMainTitleAndCtrlF4();
};

void ServiceToolsTest::openingMakesWayOnThePort_data()
{
    QTest::addColumn<QStringList>("before"); // menu items triggered first
    QTest::addColumn<QString>("opener");
    QTest::addColumn<QStringList>("openAfter"); // while a modal opener runs
    QTest::addColumn<QStringList>("messages");
    const QString transfer = QStringLiteral("mnuConfigTransmit");
    const QString page = QStringLiteral("mnuConfigInterface");
    const QString isp = QStringLiteral("mnuToolISP");
    const QString memory = QStringLiteral("mnuToolMemory");
    const QStringList none;
    const QStringList notAvailable{NotAvailable};

    QTest::newRow("transfer closes firmware update") << QStringList{isp} << transfer << QStringList{"frmTransmit"}
                                                     << notAvailable;
    QTest::newRow("transfer leaves stored data") << QStringList{memory} << transfer
                                                 << QStringList{"Memory", "frmTransmit"} << notAvailable;
    QTest::newRow("firmware update closes page") << QStringList{page} << isp << QStringList{"frmISP"} << none;
    QTest::newRow("firmware update closes transfer") << QStringList{transfer} << isp << QStringList{"frmISP"} << none;
    QTest::newRow("firmware update leaves stored data") << QStringList{memory} << isp
                                                        << QStringList{"Memory", "frmISP"} << none;
    QTest::newRow("console closes page") << QStringList{page} << "mnuToolCmd" << none << none;
    QTest::newRow("console closes transfer") << QStringList{transfer} << "mnuToolCmd" << none << none;
    QTest::newRow("console leaves firmware update") << QStringList{isp} << "mnuToolCmd" << QStringList{"frmISP"}
                                                    << none;
    QTest::newRow("test window leaves page") << QStringList{page} << "KRtest" << QStringList{"cfg3"} << notAvailable;
    QTest::newRow("test window closes transfer") << QStringList{transfer} << "KRtest" << none << notAvailable;
    QTest::newRow("stored data opens and closes transfer, closing the rest")
        << QStringList{isp, page} << memory << QStringList{"Memory"} << notAvailable;
    QTest::newRow("stored data closes open transfer") << QStringList{transfer} << memory << QStringList{"Memory"}
                                                      << none;
}

// Who opens, who is closed, which message.
void ServiceToolsTest::openingMakesWayOnThePort()
{
    QFETCH(QStringList, before);
    QFETCH(QString, opener);
    QFETCH(QStringList, openAfter);
    QFETCH(QStringList, messages);
    Shell s;
    for (const QString &item : before)
        s.trigger(item.toLatin1().constData());
    s.dialogs.clear();

    // A modal opener is looked at while it runs, then dismissed.
    std::optional<QStringList> seen;
    QTimer whileModal;
    whileModal.setSingleShot(true);
    connect(&whileModal, &QTimer::timeout, [&] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            seen = openChildren(s);
            dialog->reject();
        }
    });
    whileModal.start(0);
    s.trigger(opener.toLatin1().constData());
    whileModal.stop();
    if (!seen)
        seen = openChildren(s);

    QCOMPARE(*seen, openAfter);
    QCOMPARE(s.dialogs.texts(), messages);
}

void ServiceToolsTest::storedDataOpensAndClosesTheTransferWindow()
{
    Shell s;
    s.trigger("mnuToolISP");
    QVERIFY(s.window->firmwareUpdateWindow());
    s.trigger("mnuConfigInterface");
    QCOMPARE(int(s.config.ActivePage), 1);

    s.trigger("mnuToolMemory");
    // The transfer window opened (and said its port is missing) and closed,
    // taking the firmware update and the page with it.
    QCOMPARE(s.dialogs.texts(), QStringList{NotAvailable});
    QCOMPARE(int(s.config.ActivePage), 0);
    QVERIFY(!s.window->firmwareUpdateWindow());
    QCOMPARE(openChildren(s), QStringList{"Memory"});
    QVERIFY(s.window->action(QStringLiteral("mnuConfigDefault"))->isEnabled());

    // Shown again, not opened again.
    QWidget *memory = s.window->storedDataWindow();
    s.trigger("mnuToolMemory");
    QCOMPARE(s.window->storedDataWindow(), memory);
    QCOMPARE(s.dialogs.messages.size(), 1);
}

void ServiceToolsTest::storedDataClosesAnOpenTransferWindow()
{
    Shell s;
    s.trigger("mnuConfigTransmit");
    QCOMPARE(int(s.config.ActivePage), 5);
    QCOMPARE(s.dialogs.texts(), QStringList{NotAvailable});
    s.trigger("mnuToolMemory");
    QCOMPARE(int(s.config.ActivePage), 0);
    QCOMPARE(s.dialogs.messages.size(), 1); // closed, not opened again
    QCOMPARE(openChildren(s), QStringList{"Memory"});
}

void ServiceToolsTest::firmwareUpdateOpensMaximised()
{
    Shell s;
    s.trigger("mnuConfigTransmit");
    s.trigger("mnuToolISP");
    QWidget *isp = s.window->firmwareUpdateWindow();
    QVERIFY(isp);
    QCOMPARE(isp->objectName(), QStringLiteral("frmISP"));
    QVERIFY(isp->parentWidget()->isMaximized());
    QCOMPARE(int(s.config.ActivePage), 0);
}

// The station runs for hours: a window of its own, not modal, opened once
// and raised when asked again; it goes with the main window.
void ServiceToolsTest::stationIsOneWindowBesideTheRest()
{
    Shell s;
    s.trigger("mnuToolStation");
    QPointer<QWidget> station = s.window->findChild<QWidget *>(QStringLiteral("frmStation"));
    QVERIFY(station && station->isVisible() && station->isWindow());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(s.window->action(QStringLiteral("mnuToolStation"))->text(), QStringLiteral("&Station..."));
    s.trigger("mnuConfigInterface"); // the rest of the program stays at hand
    QCOMPARE(int(s.config.ActivePage), 1);
    s.trigger("mnuToolStation");
    QCOMPARE(s.window->findChildren<QWidget *>(QStringLiteral("frmStation")), QList<QWidget *>{station.data()});
    s.window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(station.isNull());
}

void ServiceToolsTest::testWindowIsModal()
{
    Shell s;
    QString seen;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            seen = dialog->objectName();
            modal = dialog->isModal();
            dialog->reject();
        }
    });
    s.trigger("KRtest");
    QCOMPARE(seen, QStringLiteral("DDT"));
    QVERIFY(modal);
    QCOMPARE(s.dialogs.texts(), QStringList{NotAvailable});
    QVERIFY(!QApplication::activeModalWidget());
}

// Assistive technology can trigger menu items past a modal box. Opening or
// closing windows then deleted the transfer window while its message box
// still ran; now the menus wait for the box, as mouse and keys must.
void ServiceToolsTest::menusWaitWhileAMessageBoxIsUp()
{
    Shell s;
    s.open("mnuConfigTransmit");
    QMessageBox box(QMessageBox::NoIcon, QString(), NotAvailable, QMessageBox::Ok, s.window.get());
    QTimer::singleShot(0, &box, [&] {
        for (const char *item : {"mnuToolISP", "mnuToolMemory", "mnuConfigTransmit", "mnuConfigInterface",
                                 "mnuToolCmd", "mnuFileNew"})
            s.trigger(item);
        box.accept();
    });
    box.exec();
    QCOMPARE(openChildren(s), QStringList{"frmTransmit"});
    QCOMPARE(int(s.config.ActivePage), int(Page::Transmit));
    s.trigger("mnuToolISP"); // and once the box is gone they work again
    QVERIFY(s.window->firmwareUpdateWindow());
}

void ServiceToolsTest::hostedToolWindowsKeepTheMainTitleAndCtrlF4_data()
{
    QTest::addColumn<QByteArray>("menuItem");
    QTest::newRow("ISP, maximised") << QByteArray("mnuToolISP");
    QTest::newRow("Read Memory") << QByteArray("mnuToolMemory");
}

// The main title is prefix and file name only, and Ctrl+F4 stays the
// Communication page's even while a hosted tool window has the focus.
void ServiceToolsTest::hostedToolWindowsKeepTheMainTitleAndCtrlF4()
{
    QFETCH(QByteArray, menuItem);
    Shell s;
    const QString title = s.window->windowTitle();
    s.trigger(menuItem.constData());
    QWidget *tool = s.window->mdiArea()->activeSubWindow()->widget();
    QVERIFY(tool);
    QCOMPARE(s.window->windowTitle(), title);
    s.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
    tool->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4, Qt::ControlModifier);
    QCOMPARE(int(s.config.ActivePage), int(Page::Communication));
}

QTEST_MAIN(ServiceToolsTest)
#include "tst_service_tools.moc"
