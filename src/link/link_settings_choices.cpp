#include "link/link_settings_choices.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "model/configuration.h"

namespace q51 {

namespace {

constexpr std::array<const char *, 2> ModeOptions{"By Keyboard", "By RS232"};
constexpr std::array<const char *, 4> PortOptions{"Com 1", "Com 2", "Com 3", "Com 4"};
// Captions are the BaudText values; 600 came last, hence its place.
constexpr std::array<const char *, 6> BaudOptions{"1200", "2400", "4800", "9600", "19200", "600"};
constexpr std::array<const char *, 2> DataBitsOptions{"7 Data Bits", "8 Data Bits"};
constexpr std::array<const char *, 2> StopBitsOptions{"1 Stop Bit", "2 Stop Bit"};
constexpr std::array<const char *, 5> ParityOptions{"None", "Even", "Odd", "Mark", "Space"};

constexpr std::size_t ParityPosition = 1;

const std::array<LinkChoiceGroup, 6> Groups{{
    {LinkSetting::TransferMode, "OptMode", "FraMode", "Interface", ModeOptions, 1, std::nullopt},
    {LinkSetting::Port, "OptPort", "FraPort", "Port", PortOptions, 0, std::nullopt},
    {LinkSetting::Baud, "optBaud", "FraBaud", "Baud Rate", BaudOptions, 3, std::nullopt},
    {LinkSetting::DataBits, "optDatabits", "FraDatabits", "Data Bits", DataBitsOptions, 1, FramingField{3, "78"}},
    {LinkSetting::StopBits, "optStopbits", "FraStopbits", "Stop Bits", StopBitsOptions, 0, FramingField{5, "12"}},
    {LinkSetting::Parity, "OptParity", "FraParity", "Parity", ParityOptions, 0, FramingField{ParityPosition, "NEOMS"}},
}};

bool HasOption(const LinkChoiceGroup &group, int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < group.options.size();
}

// The option of each group that stands for these settings, in the order
// the window's opening steps select them.
std::optional<std::array<std::pair<LinkSetting, int>, 6>> serialLinkChoices(int portNumber,
                                                                          const SerialSettings &settings)
{
    const auto index = [](LinkSetting setting, std::string_view value) -> std::optional<int> {
        const LinkChoiceGroup &group = LinkChoiceGroupFor(setting);
        if (group.framing) {
            const std::size_t at = value.size() == 1 ? group.framing->letters.find(value[0]) : std::string_view::npos;
            return at == std::string_view::npos ? std::nullopt : std::optional<int>(static_cast<int>(at));
        }
        const auto at = std::find(group.options.begin(), group.options.end(), value);
        return at == group.options.end() ? std::nullopt
                                         : std::optional<int>(static_cast<int>(at - group.options.begin()));
    };
    const std::string baud = std::to_string(settings.baudRate);
    const std::string dataBits = std::to_string(settings.dataBits);
    const std::string stopBits = std::to_string(settings.stopBits);
    const std::optional<int> found[] = {index(LinkSetting::Baud, baud), index(LinkSetting::DataBits, dataBits),
                                        index(LinkSetting::StopBits, stopBits),
                                        index(LinkSetting::Parity, std::string_view(&settings.parity, 1))};
    const int port = portNumber - 1;
    if (!HasOption(LinkChoiceGroupFor(LinkSetting::Port), port)
        || std::any_of(std::begin(found), std::end(found), [](const auto &f) { return !f; }))
        return std::nullopt;
    return std::array<std::pair<LinkSetting, int>, 6>{{{LinkSetting::Port, port},
                                                      {LinkSetting::TransferMode, TransferModes::ByRs232},
                                                      {LinkSetting::Baud, *found[0]},
                                                      {LinkSetting::DataBits, *found[1]},
                                                      {LinkSetting::StopBits, *found[2]},
                                                      {LinkSetting::Parity, *found[3]}}};
}

} // namespace

std::span<const LinkChoiceGroup> LinkChoiceGroups()
{
    return Groups;
}

const LinkChoiceGroup &LinkChoiceGroupFor(LinkSetting setting)
{
    // Every setting has exactly one row; the table test holds it to that.
    return *std::find_if(Groups.begin(), Groups.end(),
                         [setting](const LinkChoiceGroup &g) { return g.setting == setting; });
}

void ApplyLinkChoice(Configuration &config, LinkSetting setting, int index)
{
    const LinkChoiceGroup &group = LinkChoiceGroupFor(setting);
    if (!HasOption(group, index))
        return;
    if (group.framing) {
        config.FramingText.setAt(group.framing->position, group.framing->letters[static_cast<std::size_t>(index)]);
        return;
    }
    switch (setting) {
    case LinkSetting::TransferMode: config.TransferMode = static_cast<std::int16_t>(index); break;
    case LinkSetting::Port: config.PortNumber = static_cast<std::int16_t>(index + 1); break;
    case LinkSetting::Baud: config.BaudText = group.options[static_cast<std::size_t>(index)]; break;
    default: break; // the framing groups are handled above
    }
}

std::optional<int> StoredLinkChoice(const Configuration &config, LinkSetting setting)
{
    const LinkChoiceGroup &group = LinkChoiceGroupFor(setting);
    auto found = [&](std::size_t index) -> std::optional<int> {
        return index < group.options.size() ? std::optional<int>(static_cast<int>(index)) : std::nullopt;
    };
    if (group.framing)
        return found(group.framing->letters.find(config.FramingText.at(group.framing->position)));
    switch (setting) {
    case LinkSetting::TransferMode: return IsKeyboardMode(config) ? 0 : 1;
    case LinkSetting::Port:
        return config.PortNumber >= 1 ? found(static_cast<std::size_t>(config.PortNumber - 1)) : std::nullopt;
    case LinkSetting::Baud:
        return found(static_cast<std::size_t>(
            std::find(group.options.begin(), group.options.end(), std::string_view(config.BaudText))
            - group.options.begin()));
    default: return std::nullopt;
    }
}

bool ChooseSerialLink(Configuration &config, int portNumber, const SerialSettings &settings)
{
    const auto choices = serialLinkChoices(portNumber, settings);
    if (!choices)
        return false;
    for (const auto &[setting, index] : *choices)
        ApplyLinkChoice(config, setting, index);
    return true;
}

bool OffersSerialLink(int portNumber, const SerialSettings &settings)
{
    return serialLinkChoices(portNumber, settings).has_value();
}

std::optional<SerialSettings> SerialSettingsOf(const Configuration &config, QString *problem)
{
    return parseSerialSettings(QString::fromStdString(config.SettingsString()), problem);
}

bool IsKeyboardMode(const Configuration &config)
{
    return config.TransferMode == TransferModes::ByKeyboard;
}

bool ParityAllowsReplies(const Configuration &config)
{
    return ParityAllowsReplies(config.FramingText.at(ParityPosition));
}

bool ParityAllowsReplies(char parityLetter)
{
    return parityLetter != 'O' && parityLetter != 'E';
}

} // namespace q51
