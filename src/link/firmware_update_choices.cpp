#include "link/firmware_update_choices.h"

#include "model/configuration.h"

namespace q51 {

namespace {

constexpr std::size_t ParityPosition = 1;
constexpr std::size_t DataBitsPosition = 3;
constexpr std::size_t StopBitsPosition = 5;

} // namespace

void ApplyFirmwareUpdateChoice(Configuration &config, LinkSetting setting, int index)
{
    ApplyLinkChoice(config, setting, index);
    if (setting == LinkSetting::DataBits)
        config.FramingText.setAt(ParityPosition, 'N');
}

std::optional<int> FirmwareUpdateOpeningChoice(const Configuration &config, LinkSetting setting)
{
    switch (setting) {
    case LinkSetting::Port: return StoredLinkChoice(config, setting);
    case LinkSetting::Baud: return StoredLinkChoice(config, setting).value_or(0);
    case LinkSetting::DataBits: return config.FramingText.at(DataBitsPosition) == '7' ? 0 : 1;
    case LinkSetting::StopBits: return config.FramingText.at(StopBitsPosition) == '1' ? 0 : 1;
    default: return std::nullopt;
    }
}

} // namespace q51
