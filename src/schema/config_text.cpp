#include "schema/config_text.h"

#include <cctype>
#include <map>

#include "model/factory_defaults.h"
#include "schema/caption_text.h"
#include "schema/setting_catalog.h"
#include "schema/setting_values.h"

namespace q51 {

namespace {

TextProblem problem(int line, std::string message)
{
    return {line, "line " + std::to_string(line) + ": " + std::move(message)};
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
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == '#')
            continue;
        if (!versionSeen) {
            if (line != ConfigurationTextVersionLine)
                return problem(lineNumber, "expected \"" + std::string(ConfigurationTextVersionLine) +
                                               "\" before the first setting");
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
            return problem(lineNumber, "unknown key \"" + std::string(key) + "\"");
        if (const auto first = seen.find(setting); first != seen.end())
            return problem(lineNumber, setting->key + ": already set on line " + std::to_string(first->second));
        seen.emplace(setting, lineNumber);
        if (const auto allowed = WriteSettingValue(*setting, result, value, ValueSource::Text))
            return problem(lineNumber, setting->key + ": \"" + std::string(value) + "\" is not allowed; allowed: " +
                                           *allowed);
    }
    if (!versionSeen)
        return problem(std::max(lineNumber, 1), "expected \"" + std::string(ConfigurationTextVersionLine) + "\"");
    config = std::move(result);
    return std::nullopt;
}

} // namespace q51
