#pragma once
// Where q51ctl's words go: results on stdout, failures on stderr, in the
// windows' own texts. Also the dialog seam the shared link code reports
// through (the port reopen procedure's not-available message), answered
// without asking: a command line has already said what it wants.

#include <QString>

#include "ui/user_dialogs.h"

namespace q51::cli {

// The text as a terminal shows it: the windows' CR LF become plain line ends.
QString TerminalText(const QString &text);

void PrintResult(const QString &text);
void PrintFailure(const QString &text, const QString &detail = {});

class ConsoleDialogs final : public UserDialogs {
public:
    Answer ask(const Message &message) override;
    QString openFileName(const FileDialogRequest &) override { return {}; }
    QString saveFileName(const FileDialogRequest &) override { return {}; }
};

} // namespace q51::cli
