#pragma once
// The link settings the firmware-update window offers: port, baud rate, data
// bits and stop bits. They edit the shared settings for the other windows;
// the update itself always runs at 19200,N,8,1 on the chosen port.

#include <array>
#include <optional>

#include "link/link_settings_choices.h"

namespace q51 {

struct Configuration;

inline constexpr std::array<LinkSetting, 4> FirmwareUpdateSettings{LinkSetting::Port, LinkSetting::Baud,
                                                                   LinkSetting::DataBits, LinkSetting::StopBits};

// The settings of every update, whatever is chosen.
inline constexpr SerialSettings FirmwareUpdateLink{19200, 'N', 8, 1};

// As the transfer window's choice, except that choosing data bits also sets
// the parity to none, which this window does not offer.
void ApplyFirmwareUpdateChoice(Configuration &config, LinkSetting setting, int index);

// The option the window selects when it opens: an unknown baud rate reads
// as the first option, data bits other than 7 as 8, stop bits other than 1
// as 2. Nothing for a port outside 1..4.
std::optional<int> FirmwareUpdateOpeningChoice(const Configuration &config, LinkSetting setting);

} // namespace q51
