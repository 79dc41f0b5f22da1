#pragma once
// A progress bar on stderr for long work, drawn only when stderr is a
// terminal so that logs and pipes stay clean.

#include <QString>

namespace q51::cli {

class ProgressMeter {
public:
    ProgressMeter(QString label, qint64 total);
    ~ProgressMeter(); // ends the bar's line
    ProgressMeter(const ProgressMeter &) = delete;
    ProgressMeter &operator=(const ProgressMeter &) = delete;

    void setTotal(qint64 total);
    void update(qint64 done);

private:
    QString label_;
    qint64 total_;
    int shownPercent_ = -1;
    bool enabled_;
};

} // namespace q51::cli
