// q51setup: edits, stores and transfers the configuration block of Q51 and
// V51 bar-code decoders.

#include <QApplication>
#include <QDate>
#include <QLocale>
#include <QProcess>

#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

#include "app/child_windows.h"
#include "app/first_paint_probe.h"
#include "app/main_window.h"
#include "app/toolbar_icons.h"
#include "document/config_document.h"
#include "link/keyboard_helper_port_io.h"
#include "model/configuration.h"
#include "ui/user_dialogs.h"

namespace {

constexpr const char *ApplicationVersion = "1.08.03";

constexpr const char *UsageText =
    "Usage: q51setup [FILE]\n"
    "\n"
    "Edits, stores and transfers the configuration of Q51 and V51 bar-code\n"
    "decoders. FILE, a configuration file (*.cfg), is opened at start-up as\n"
    "File > Open would.\n"
    "\n"
    "  -h, --help   print this text\n"
    "  --version    print the program version\n"
    "\n"
    "q51ctl does the same from the command line, without a display.\n";

// Answered before the window system is touched, so that they work in a
// terminal without a display.
std::optional<int> answerWithoutDisplay(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--version") {
            std::printf("q51setup %s\n", ApplicationVersion);
            return 0;
        }
        if (argument == "--help" || argument == "-h") {
            std::fputs(UsageText, stdout);
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const auto answered = answerWithoutDisplay(argc, argv))
        return *answered;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("q51setup"));
    QApplication::setApplicationVersion(QString::fromLatin1(ApplicationVersion));
    QApplication::setWindowIcon(q51::ApplicationIcon());

    q51::Configuration config;
    q51::ConfigDocument document(config);
    q51::QtUserDialogs dialogs;
    // The keyboard line goes through the helper, which alone may write the
    // keyboard controller's port.
    auto portIo = std::make_unique<q51::KeyboardHelperPortIo>(q51::KeyboardHelperProgram());

    q51::ShellServices services{
        dialogs,
        *portIo,
        [](const QString &program, const QStringList &arguments) {
            return QProcess::startDetached(program, arguments);
        },
        [] { return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat); },
        q51::MakeChildWindowFactory(config, document, dialogs, *portIo),
        q51::MakeToolWindowFactories(config, dialogs, *portIo, &document),
        &document,
    };
    q51::MainWindow window(config, services);
    dialogs.setParent(&window);
    q51::FirstPaintProbe::InstallIfAsked(window);
    window.startUp(); // may warn about the keyboard port before the window shows
    window.show();
    // "q51setup FILE", as the desktop's file associations start it: the
    // file is opened exactly as File > Open would.
    if (const QStringList arguments = QApplication::arguments().mid(1); !arguments.isEmpty())
        window.documents().OpenFile(arguments.constFirst());
    return QApplication::exec();
}
