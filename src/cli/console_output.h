#pragma once
// Where q51ctl's words go: data on stdout; outcome lines ("Download OK!")
// and failures on stderr, in the windows' own texts, every failure line
// starting with "q51ctl: " so it is told apart in a script's log.

#include <QString>

namespace q51::cli {

// The text as a terminal shows it: the windows' CR LF become plain line ends.
QString TerminalText(const QString &text);

// -q: outcome lines are left out.
void SetQuiet(bool quiet);

void PrintResult(const QString &text);
void PrintOutcome(const QString &text);
void PrintFailure(const QString &text, const QString &detail = {});

// Bytes as they are, for data that is not text (a .cfg on stdout).
void PrintBytes(const QByteArray &bytes);

} // namespace q51::cli
