#pragma once
// A main window wired to test doubles: scripted dialogs, a counting port-I/O
// library, a recording program launcher and a fixed date.

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStringList>
#include <functional>
#include <memory>

#include "app/child_windows.h"
#include "app/main_window.h"
#include "document/config_document.h"
#include "link/portio/port_io.h"
#include "support/scripted_dialogs.h"

namespace q51::test {

class CountingPortIo final : public PortIo {
public:
    int failuresBeforeSuccess = 0; // negative: never succeeds
    int initCalls = 0;
    int shutdownCalls = 0;
    bool InitializeWinIo() override
    {
        ++initCalls;
        return failuresBeforeSuccess >= 0 && initCalls > failuresBeforeSuccess;
    }
    bool SetPortVal(std::uint16_t, std::uint32_t, int) override { return false; }
    void ShutdownWinIo() override { ++shutdownCalls; }
};

struct Shell {
    Configuration config;
    ConfigDocument document{config};
    ScriptedDialogs dialogs;
    CountingPortIo portIo;
    QStringList started; // "program arg..." of every start request
    bool startSucceeds = true;
    std::unique_ptr<MainWindow> window;

    explicit Shell(int portFailures = 0, bool startUp = true,
                   std::function<void(ToolWindowFactories &)> adjustTools = {})
    {
        // Never reach for the machine's own serial ports from a test.
        for (int n = 1; n <= 4; ++n) {
            const QByteArray name = "Q51_COM" + QByteArray::number(n);
            if (qEnvironmentVariableIsEmpty(name.constData()))
                qputenv(name.constData(), "/nonexistent/q51-test-port");
        }
        portIo.failuresBeforeSuccess = portFailures;
        ShellServices services{
            dialogs,
            portIo,
            [this](const QString &program, const QStringList &arguments) {
                started << (QStringList{program} + arguments).join(QLatin1Char(' '));
                return startSucceeds;
            },
            [] { return QStringLiteral("08/12/2026"); },
            MakeChildWindowFactory(config, document, dialogs, portIo),
            MakeToolWindowFactories(config, dialogs, portIo, &document),
            &document,
        };
        if (adjustTools)
            adjustTools(services.toolWindows);
        window = std::make_unique<MainWindow>(config, services);
        if (startUp)
            window->startUp();
        window->show();
    }

    void trigger(const char *name) { window->action(QString::fromLatin1(name))->trigger(); }

    // Triggers a menu item, then returns the visible child window (of that
    // object name, if given), or null. A window just closed may still be
    // awaiting deletion, hence visible only.
    QWidget *open(const char *menuItem, const char *objectName = nullptr)
    {
        trigger(menuItem);
        for (QMdiSubWindow *sub : window->mdiArea()->subWindowList()) {
            if (sub->isVisible() && (!objectName || sub->widget()->objectName() == QLatin1String(objectName)))
                return sub->widget();
        }
        return nullptr;
    }
};

} // namespace q51::test
