#include "cli/console_output.h"

#include <QStringList>

#include <unistd.h>

#include "cli/exit_codes.h"
#include "files/checked_write.h"

namespace q51::cli {

namespace {

bool quietOutcomes = false;
QString standardOutputFailure;
constexpr QLatin1StringView FailurePrefix("q51ctl: ");

QByteArray line(const QString &text)
{
    return TerminalText(text).toLocal8Bit() + '\n';
}

// stderr is where failures are told; if that fails too there is nobody
// left to tell.
void printError(const QString &text)
{
    WriteAllToDescriptor(STDERR_FILENO, line(text));
}

} // namespace

QString TerminalText(const QString &text)
{
    return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

void SetQuiet(bool quiet)
{
    quietOutcomes = quiet;
}

bool PrintResult(const QString &text)
{
    return PrintBytes(line(text));
}

void PrintOutcome(const QString &text)
{
    if (!quietOutcomes && standardOutputFailure.isEmpty())
        printError(text);
}

void PrintFailure(const QString &text, const QString &detail)
{
    QString all = TerminalText(text);
    if (!detail.isEmpty())
        all += QLatin1Char('\n') + TerminalText(detail);
    QStringList lines = all.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (!line.startsWith(FailurePrefix))
            line.prepend(FailurePrefix);
    }
    printError(lines.join(QLatin1Char('\n')));
}

bool PrintBytes(const QByteArray &bytes)
{
    if (!standardOutputFailure.isEmpty())
        return false;
    standardOutputFailure = WriteAllToDescriptor(STDOUT_FILENO, bytes);
    return standardOutputFailure.isEmpty();
}

int FinishStandardOutput(int code)
{
    if (standardOutputFailure.isEmpty())
        return code;
    PrintFailure(QStringLiteral("standard output: ") + standardOutputFailure);
    return code == Success || code == Differences ? BadFile : code;
}

} // namespace q51::cli
