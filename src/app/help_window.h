#pragma once
// The program's own help page, shown when the help viewer cannot be
// started: the page installed with the program, or the copy built into it.

#include <QTextBrowser>
#include <QUrl>

namespace q51 {

class HelpWindow final : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);
};

// The installed page when present, else the built-in copy.
QUrl HelpPageUrl();

} // namespace q51
