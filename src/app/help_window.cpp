#include "app/help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace q51 {

namespace {
// Where the install rules put the page, relative to the program.
constexpr const char *InstalledHelpPage = "../share/q51setup/help/index.html";
constexpr const char *BuiltInHelpPage = "qrc:/help/index.html";
} // namespace

QUrl HelpPageUrl()
{
    const QFileInfo installed(QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromUtf8(InstalledHelpPage)));
    if (installed.isFile())
        return QUrl::fromLocalFile(installed.canonicalFilePath());
    return QUrl(QString::fromUtf8(BuiltInHelpPage));
}

HelpWindow::HelpWindow(QWidget *parent) : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowFlag(Qt::Window); // its own window beside the main one, not modal
    setOpenExternalLinks(true);
    setSource(HelpPageUrl());
    setWindowTitle(documentTitle());
    resize(640, 720);
}

} // namespace q51
