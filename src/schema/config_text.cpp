#include "schema/config_text.h"

#include <cctype>
#include <map>

#include "model/factory_defaults.h"
#include "model/windows1252.h"
#include "schema/caption_text.h"
#include "schema/setting_catalog.h"
#include "schema/setting_values.h"

namespace q51 {

namespace {

TextProblem problem(int line, std::string message)
{
    return {line, "line " + std::to_string(line) + ": " + std::move(message)};
}

constexpr std::size_t EchoedCharacters = 80;
constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

// The version line, or why it is not one this program reads.
std::optional<std::string> versionLineProblem(std::string_view line)
{
    if (line == ConfigurationTextVersionLine)
        return std::nullopt;
    if (line.starts_with(ConfigurationTextVersionPrefix))
        return "unknown version " + EchoedValue(Trimmed(line.substr(ConfigurationTextVersionPrefix.size()))) +
               "; this program reads \"" + std::string(ConfigurationTextVersionLine) + "\"";
    return "expected \"" + std::string(ConfigurationTextVersionLine) + "\" before the first setting";
}

} // namespace

namespace {

// Each setting's value in the factory block, in catalogue order.
const std::vector<std::string> &factoryValues()
{
    static const std::vector<std::string> values = [] {
        Configuration factory;
        factory.block = FactoryBlock();
        std::vector<std::string> all;
        for (const Setting &setting : AllSettings())
            all.push_back(SettingValue(setting, factory, ValueForm::Exact));
        return all;
    }();
    return values;
}

} // namespace

std::string ExportConfigurationText(const Configuration &config)
{
    std::string out(ConfigurationTextVersionLine);
    out += "\n# One \"key = value\" a line; \"#\" starts a comment. A key left out keeps its factory value.\n";
    out += "# \"" + std::string(FactoryValueComment.substr(2)) + "\" comments give the factory value where it differs.\n";
    std::string section;
    const auto &settings = AllSettings();
    for (std::size_t i = 0; i < settings.size(); ++i) {
        const Setting &setting = settings[i];
        const std::string heading = setting.page + " / " + setting.panel;
        if (heading != section) {
            out += "\n# " + heading + "\n";
            section = heading;
        }
        const std::string value = SettingValue(setting, config, ValueForm::Exact);
        if (setting.role != SettingRole::Header) {
            if (factoryValues()[i] != value)
                out += std::string(FactoryValueComment) + factoryValues()[i] + "\n";
        }
        out += setting.key + " = " + value + "\n";
    }
    return out;
}

std::optional<TextProblem> ImportConfigurationText(std::string_view text, Configuration &config)
{
    Configuration result = config;
    std::map<const Setting *, int> seen;
    bool versionSeen = false;
    int lineNumber = 0;
    // Editors on Windows often start a UTF-8 file with a byte-order mark.
    if (text.starts_with(Utf8ByteOrderMark))
        text.remove_prefix(Utf8ByteOrderMark.size());
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == '#')
            continue;
        if (!versionSeen) {
            if (auto wrong = versionLineProblem(line))
                return problem(lineNumber, std::move(*wrong));
            versionSeen = true;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return problem(lineNumber, "expected \"key = value\"");
        const std::string_view key = Trimmed(line.substr(0, equals));
        const std::string_view value = Trimmed(line.substr(equals + 1));
        const Setting *setting = FindSetting(key);
        if (!setting)
            return problem(lineNumber, "unknown key \"" + EchoedValue(key) + "\"");
        if (const auto first = seen.find(setting); first != seen.end())
            return problem(lineNumber, setting->key + ": already set on line " + std::to_string(first->second));
        seen.emplace(setting, lineNumber);
        if (const auto allowed = WriteSettingValue(*setting, result, value, ValueSource::Text))
            return problem(lineNumber, setting->key + ": \"" + EchoedValue(value) + "\" is not allowed; allowed: " +
                                           *allowed);
        if (auto refused = RefusedHeaderValue(*setting, result, value))
            return problem(lineNumber, setting->key + ": " + std::move(*refused));
    }
    if (!versionSeen)
        return problem(std::max(lineNumber, 1), "expected \"" + std::string(ConfigurationTextVersionLine) + "\"");
    config = std::move(result);
    return std::nullopt;
}

std::optional<std::string> RefusedHeaderValue(const Setting &setting, const Configuration &config,
                                              std::string_view typed)
{
    if (setting.kind == SettingKind::HeaderText) {
        if (const auto outside = FirstOutsideWindows1252(config.*setting.text))
            return Windows1252RefusalText(*outside);
    }
    if (setting.kind == SettingKind::HeaderNumber && setting.number == &Configuration::PortNumber) {
        const int port = config.PortNumber;
        if (!IsOfferedPortNumber(port))
            return "\"" + EchoedValue(Trimmed(typed)) + "\" is not allowed; allowed: a port number from " +
                   std::to_string(FirstPortNumber) + " to " + std::to_string(LastPortNumber);
    }
    return std::nullopt;
}

std::string EchoedValue(std::string_view text)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A character starts at every byte but a UTF-8 continuation byte.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && characters++ == EchoedCharacters)
            return std::string(text.substr(0, i)) + "...";
    }
    return std::string(text);
}

} // namespace q51
