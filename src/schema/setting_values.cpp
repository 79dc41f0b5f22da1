#include "schema/setting_values.h"

#include "schema/caption_text.h"
#include "schema/setting_codec.h"
#include "schema/symbology_fields.h"

namespace q51 {

std::string SettingValue(const Setting &setting, const Configuration &config, ValueForm form)
{
    return CodecOf(setting.kind).read(setting, config, form);
}

std::optional<std::string> WriteSettingValue(const Setting &setting, Configuration &config, std::string_view text,
                                             ValueSource source)
{
    const SettingCodec &codec = CodecOf(setting.kind);
    if (codec.write(setting, config, Trimmed(text), source))
        return std::nullopt;
    return codec.allowed(setting, source);
}

std::string AllowedValues(const Setting &setting, ValueSource source)
{
    return CodecOf(setting.kind).allowed(setting, source);
}

void ApplyPageRules(const Setting &setting, Configuration &config)
{
    if (setting.kind == SettingKind::Field && IsSymbologyListControl(setting.field.control))
        UpdateUpcEanSummary(config);
}

bool SettingDiffers(const Setting &setting, const Configuration &a, const Configuration &b)
{
    return CodecOf(setting.kind).differs(setting, a, b);
}

} // namespace q51
