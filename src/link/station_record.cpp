#include "link/station_record.h"

namespace q51 {

namespace {

struct StepNames {
    UnitStep step;
    const char *word;
    const char *text;
};

constexpr StepNames Steps[]{
    {UnitStep::Identify, "identify", "reading the version"},
    {UnitStep::Backup, "backup", "backing up the configuration"},
    {UnitStep::Firmware, "firmware", "updating the firmware"},
    {UnitStep::Download, "download", "sending the golden configuration"},
    {UnitStep::ReadBack, "readback", "reading the configuration back"},
    {UnitStep::Verify, "verify", "comparing the configuration read back"},
    {UnitStep::Record, "record", "storing the record"},
};

} // namespace

QString UnitStepWord(UnitStep step)
{
    for (const StepNames &names : Steps) {
        if (names.step == step)
            return QString::fromLatin1(names.word);
    }
    return {};
}

std::optional<UnitStep> UnitStepFromWord(const QString &word)
{
    for (const StepNames &names : Steps) {
        if (word == QLatin1String(names.word))
            return names.step;
    }
    return std::nullopt;
}

QString UnitStepText(UnitStep step)
{
    for (const StepNames &names : Steps) {
        if (names.step == step)
            return QString::fromLatin1(names.text);
    }
    return {};
}

} // namespace q51
