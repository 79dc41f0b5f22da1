#include "files/config_file_damage.h"

#include "model/windows1252.h"

namespace q51 {

namespace {

constexpr int PortNumberLine = 6;
constexpr int TransferModeLine = 7;
constexpr int FirstBlockLine = 8;

// What a line of the file holds, so a technician can find the setting.
QString lineName(int line)
{
    if (line >= FirstBlockLine)
        return QStringLiteral("line %1 (byte %2)").arg(line).arg(line - FirstBlockLine);
    if (line == PortNumberLine)
        return QStringLiteral("line %1 (port number)").arg(line);
    if (line == TransferModeLine)
        return QStringLiteral("line %1 (transfer mode)").arg(line);
    return QStringLiteral("line %1 (header)").arg(line);
}

QString allowedRange(int line)
{
    return line >= FirstBlockLine ? QStringLiteral("0 to 255") : QStringLiteral("-32768 to 32767");
}

int lastLinePresent(const std::vector<SkippedLine> &all)
{
    for (const SkippedLine &line : all) {
        if (line.reason == SkippedLine::Reason::Missing)
            return line.line - 1;
    }
    return ConfigurationFileLineCount;
}

QString found(const SkippedLine &line)
{
    return QString::fromStdString(Windows1252ToUtf8(line.text)).trimmed();
}

} // namespace

QString DescribeSkippedLine(const SkippedLine &line, const std::vector<SkippedLine> &all)
{
    switch (line.reason) {
    case SkippedLine::Reason::Missing:
        return QStringLiteral("%1: missing; the file ends after line %2").arg(lineName(line.line)).arg(lastLinePresent(all));
    case SkippedLine::Reason::OutOfRange:
        return QStringLiteral("%1: %2 is out of range (%3)").arg(lineName(line.line), found(line), allowedRange(line.line));
    case SkippedLine::Reason::NotANumber:
        break;
    }
    return QStringLiteral("%1: \"%2\" is not a number").arg(lineName(line.line), found(line));
}

QStringList DescribeSkippedLines(const std::vector<SkippedLine> &skipped)
{
    QStringList described;
    for (const SkippedLine &line : skipped) {
        if (line.reason == SkippedLine::Reason::Missing && line.line < ConfigurationFileLineCount) {
            described << QStringLiteral("lines %1 to %2: missing; the file ends after line %3")
                             .arg(line.line)
                             .arg(ConfigurationFileLineCount)
                             .arg(line.line - 1);
            break; // every later line is missing too
        }
        described << DescribeSkippedLine(line, skipped);
    }
    return described;
}

} // namespace q51
