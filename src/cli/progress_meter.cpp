#include "cli/progress_meter.h"

#include <cstdio>

#include <unistd.h>

namespace q51::cli {

namespace {
constexpr int BarWidth = 30;
}

ProgressMeter::ProgressMeter(QString label, qint64 total)
    : label_(std::move(label)), total_(total), enabled_(isatty(STDERR_FILENO) == 1)
{
}

ProgressMeter::~ProgressMeter()
{
    if (enabled_ && shownPercent_ >= 0) {
        std::fputc('\n', stderr);
        std::fflush(stderr);
    }
}

void ProgressMeter::setTotal(qint64 total)
{
    total_ = total;
}

void ProgressMeter::update(qint64 done)
{
    if (!enabled_ || total_ <= 0)
        return;
    const int percent = int(qBound(qint64(0), done * 100 / total_, qint64(100)));
    if (percent == shownPercent_)
        return;
    shownPercent_ = percent;
    const int filled = percent * BarWidth / 100;
    const QByteArray bar = QByteArray(filled, '#') + QByteArray(BarWidth - filled, ' ');
    std::fprintf(stderr, "\r%s [%s] %3d%%", label_.toLocal8Bit().constData(), bar.constData(), percent);
    std::fflush(stderr);
}

} // namespace q51::cli
