#pragma once
// Where q51ctl's words go: results on stdout, failures on stderr, in the
// windows' own texts.

#include <QString>

namespace q51::cli {

// The text as a terminal shows it: the windows' CR LF become plain line ends.
QString TerminalText(const QString &text);

void PrintResult(const QString &text);
void PrintFailure(const QString &text, const QString &detail = {});

} // namespace q51::cli
