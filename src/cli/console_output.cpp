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

Answer ConsoleDialogs::ask(const Message &message)
{
    // Only failures reach this seam from the shared code; its questions
    // were answered by the command line itself.
    PrintFailure(message.text, message.detail);
    switch (message.buttons) {
    case MessageButtons::Ok: return Answer::Ok;
    case MessageButtons::OkCancel: return Answer::Ok;
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel: return Answer::Yes;
    }
    return Answer::Ok;
}

} // namespace q51::cli
