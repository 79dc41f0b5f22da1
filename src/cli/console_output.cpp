#include "cli/console_output.h"

#include <cstdio>

namespace q51::cli {

namespace {

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

void PrintResult(const QString &text)
{
    print(stdout, text);
}

void PrintFailure(const QString &text, const QString &detail)
{
    print(stderr, text);
    if (!detail.isEmpty())
        print(stderr, detail);
}

} // namespace q51::cli
