#include "cli/kept_voice.h"

#include "cli/console_output.h"

namespace q51::cli {

namespace {

QString firstLine(const QString &text)
{
    return TerminalText(text).section(QLatin1Char('\n'), 0, 0, QString::SectionSkipEmpty).trimmed();
}

} // namespace

void KeptVoice::tell()
{
    if (changed)
        changed();
}

void KeptVoice::result(const QString &text)
{
    data += TerminalText(text) + QLatin1Char('\n');
}

void KeptVoice::outcome(const QString &text)
{
    lastWords = firstLine(text);
    tell();
}

void KeptVoice::failure(const QString &text, const QString &detail)
{
    lastWords = firstLine(text);
    QString all = TerminalText(text);
    if (!detail.isEmpty())
        all += QLatin1Char('\n') + TerminalText(detail);
    for (const QString &line : all.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        failureLines << line;
    tell();
}

void KeptVoice::json(const QJsonObject &object)
{
    jsonData = object;
}

void KeptVoice::bytes(const QByteArray &bytes)
{
    data += QString::fromUtf8(bytes);
}

void KeptVoice::progress(const QString &name, qint64 done, qint64 total)
{
    label = name;
    const int now = total > 0 ? int(qBound(qint64(0), done * 100 / total, qint64(100))) : -1;
    if (now == percent)
        return;
    percent = now;
    tell();
}

void KeptVoice::progressEnd()
{
}

void KeptVoice::wrote(const QString &path)
{
    file = path;
}

} // namespace q51::cli
