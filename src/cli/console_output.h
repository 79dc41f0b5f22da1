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

// Data to stdout. A failed write is kept (see FinishStandardOutput) and
// stops every later write and outcome line: nothing may claim success once
// data was lost.
bool PrintResult(const QString &text);
void PrintOutcome(const QString &text);
void PrintFailure(const QString &text, const QString &detail = {});

// Bytes as they are, for data that is not text (a .cfg on stdout).
bool PrintBytes(const QByteArray &bytes);

// The exit code after a verb: BadFile with one message when its data did
// not all reach stdout, otherwise the verb's own code. A broken pipe with
// SIGPIPE at its default has ended the program quietly before this.
int FinishStandardOutput(int code);

} // namespace q51::cli
