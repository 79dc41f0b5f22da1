#include "cli/console_output.h"

#include <cstdio>

#include <QStringList>

namespace q51::cli {

namespace {

bool quietOutcomes = false;
constexpr QLatin1StringView FailurePrefix("q51ctl: ");

void print(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = TerminalText(text).toLocal8Bit();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
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

void PrintResult(const QString &text)
{
    print(stdout, text);
}

void PrintOutcome(const QString &text)
{
    if (!quietOutcomes)
        print(stderr, text);
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
    print(stderr, lines.join(QLatin1Char('\n')));
}

void PrintBytes(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace q51::cli
