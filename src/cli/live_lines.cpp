#include "cli/live_lines.h"

#include <cstdio>

#include <unistd.h>

namespace q51::cli {

namespace {

constexpr int RedrawMs = 150;
constexpr int BarWidth = 20;

QString lineFor(const PortRecord &record, qsizetype nameWidth)
{
    QString bar(BarWidth + 7, QLatin1Char(' '));
    if (record.voice.percent >= 0 && record.state == PortState::Running) {
        const int filled = record.voice.percent * BarWidth / 100;
        bar = QStringLiteral("[%1%2] %3%")
                  .arg(QString(filled, QLatin1Char('#')), QString(BarWidth - filled, QLatin1Char(' ')))
                  .arg(record.voice.percent, 3);
    }
    return QStringLiteral("%1  %2  %3  %4")
        .arg(record.target.name.leftJustified(nameWidth), QString::fromLatin1(PortStateName(record.state)).leftJustified(8),
             bar, record.voice.lastWords);
}

} // namespace

bool LiveLinesWanted(bool quiet)
{
    return !quiet && isatty(STDERR_FILENO) == 1;
}

LiveLines::LiveLines(const PortRecords &records, bool enabled) : records_(records), enabled_(enabled)
{
    timer_.setSingleShot(true);
    timer_.setInterval(RedrawMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { draw(); });
}

void LiveLines::touch()
{
    if (enabled_ && !timer_.isActive())
        timer_.start();
}

void LiveLines::finish()
{
    timer_.stop();
    if (enabled_)
        draw();
}

void LiveLines::draw()
{
    qsizetype nameWidth = 0;
    for (const auto &record : records_)
        nameWidth = std::max(nameWidth, record->target.name.size());
    QByteArray text;
    if (drawn_ > 0)
        text += "\x1b[" + QByteArray::number(drawn_) + "A"; // back to the first line
    for (const auto &record : records_)
        text += "\r\x1b[K" + lineFor(*record, nameWidth).toLocal8Bit() + "\n";
    drawn_ = int(records_.size());
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stderr);
    std::fflush(stderr);
}

} // namespace q51::cli
