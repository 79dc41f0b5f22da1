#include "cli/port_voice.h"

#include <memory>

#include "cli/console_output.h"
#include "cli/json_output.h"
#include "cli/progress_meter.h"

namespace q51::cli {

struct PrintingVoice::Meter {
    QString label;
    ProgressMeter meter;
};

PrintingVoice::PrintingVoice() = default;
PrintingVoice::~PrintingVoice() = default;

void PrintingVoice::result(const QString &text)
{
    PrintResult(text);
}

void PrintingVoice::outcome(const QString &text)
{
    PrintOutcome(text);
}

void PrintingVoice::failure(const QString &text, const QString &detail)
{
    PrintFailure(text, detail);
}

void PrintingVoice::json(const QJsonObject &data)
{
    PrintJson(data);
}

void PrintingVoice::bytes(const QByteArray &data)
{
    PrintBytes(data);
}

void PrintingVoice::progress(const QString &label, qint64 done, qint64 total)
{
    if (!meter_ || meter_->label != label)
        meter_.reset(new Meter{label, ProgressMeter(label, total)});
    meter_->meter.setTotal(total);
    meter_->meter.update(done);
}

void PrintingVoice::progressEnd()
{
    meter_.reset(); // the bar's line ends before the outcome is told
}

} // namespace q51::cli
