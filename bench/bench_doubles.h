#pragma once
// The outside world as the benchmarks need it: no message box, no
// keyboard-controller port, no serial port.

#include <functional>

#include "app/child_windows.h"
#include "app/main_window.h"
#include "document/config_document.h"
#include "link/portio/port_io.h"
#include "ui/user_dialogs.h"

namespace q51::bench {

// Hands every message to onMessage instead of showing a box.
class NoteDialogs final : public UserDialogs {
public:
    std::function<void(const Message &)> onMessage;
    Answer ask(const Message &message) override
    {
        if (onMessage)
            onMessage(message);
        return message.defaultAnswer;
    }
    QString openFileName(const FileDialogRequest &) override { return {}; }
    QString saveFileName(const FileDialogRequest &) override { return {}; }
};

class NoPortIo final : public PortIo {
public:
    bool InitializeWinIo() override { return false; }
    bool SetPortVal(std::uint16_t, std::uint32_t, int) override { return false; }
    void ShutdownWinIo() override {}
};

// The program's main window with its real pages and tool windows, on
// serial ports that cannot open (no window may start a real exchange),
// messages going nowhere and no help viewer (the built-in page).
struct BenchWindow {
    static bool closePorts()
    {
        for (int n = 1; n <= 4; ++n)
            qputenv(("Q51_COM" + QByteArray::number(n)).constData(), "/nonexistent/q51-bench-port");
        return true;
    }
    bool portsClosed = closePorts(); // first, before any window exists
    Configuration config;
    ConfigDocument document{config};
    NoteDialogs dialogs;
    NoPortIo portIo;
    MainWindow window{config, ShellServices{dialogs, portIo,
                                            [](const QString &, const QStringList &) { return false; },
                                            [] { return QStringLiteral("08/12/2026"); },
                                            MakeChildWindowFactory(config, document, dialogs, portIo),
                                            MakeToolWindowFactories(config, dialogs, portIo), &document}};
};

} // namespace q51::bench
