// The service windows as the main window's Tools menu opens them: the
// firmware update maximised, the test window modal, and the stored-data
// window, whose opening closes the transfer window or opens and closes it.

#include <QApplication>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
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
    void storedDataOpensAndClosesTheTransferWindow();
    void storedDataClosesAnOpenTransferWindow();
    void firmwareUpdateOpensMaximised();
    void testWindowIsModal();
};

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

QTEST_MAIN(ServiceToolsTest)
#include "tst_service_tools.moc"
