#pragma once
// A file that differs from the factory block in exactly five settings, for
// the tests that compare a file with a decoder and send a chosen few.

#include <string>
#include <vector>

#include "model/factory_defaults.h"
#include "schema/setting_catalog.h"
#include "schema/setting_values.h"
#include "support/setting_samples.h"

namespace q51::test {

// The first three are the ones the tests tick and send.
inline const std::vector<std::string> &FiveDifferingKeys()
{
    static const std::vector<std::string> keys{
        "communication.keyboard.upper_lower_case", "barcodes.symboligies.code_39",
        "interface.interface.enable_memory",       "barcodes.symboligies.code_128",
        "communication.output_character.time_out_between_characters",
    };
    return keys;
}

// The factory block, checksum written, as a decoder fresh from the factory holds it.
inline Configuration FactoryDecoder()
{
    Configuration config;
    LoadFactoryDefaults(config);
    config.TakeSavedCopy();
    return config;
}

// The factory configuration with each of the five keys set to the first
// sample value it does not already hold.
inline Configuration FileWithFiveDifferences()
{
    Configuration file = FactoryDecoder();
    for (const std::string &key : FiveDifferingKeys()) {
        const Setting *setting = FindSetting(key);
        if (!setting)
            return {};
        for (const std::string &value : sampleValues(*setting)) {
            Configuration tried = file;
            if (!WriteSettingValue(*setting, tried, value, ValueSource::Text)
                && SettingDiffers(*setting, tried, file)) {
                file = tried;
                break;
            }
        }
    }
    return file;
}

inline std::vector<std::string> KeysOf(const std::vector<const Setting *> &settings)
{
    std::vector<std::string> keys;
    for (const Setting *setting : settings)
        keys.push_back(setting->key);
    return keys;
}

} // namespace q51::test
