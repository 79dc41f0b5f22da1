#include "document/config_document.h"

#include "schema/field_access.h"
#include "schema/setting_catalog.h"

namespace q51 {

ConfigDocument::ConfigDocument(Configuration &config, QObject *parent)
    : QObject(parent), config_(config), seen_(config)
{
}

std::optional<std::string> ConfigDocument::setValue(const Setting &setting, std::string_view text, ValueSource source)
{
    std::optional<std::string> refused;
    change([&](Configuration &config) { refused = WriteSettingValue(setting, config, text, source); });
    return refused;
}

void ConfigDocument::selectField(const FieldSpec &field, int value)
{
    change([&](Configuration &config) { WriteField(field, config, value); });
}

void ConfigDocument::change(const std::function<void(Configuration &)> &edit)
{
    edit(config_);
    catchUp();
}

void ConfigDocument::catchUp()
{
    const QList<SettingChange> changes = changesSince(seen_);
    seen_ = config_;
    if (!changes.isEmpty())
        emit settingsChanged(changes);
}

QList<SettingChange> ConfigDocument::changesSince(const Configuration &before) const
{
    QList<SettingChange> changes;
    for (const Setting &setting : AllSettings()) {
        if (SettingDiffers(setting, before, config_))
            changes.append({&setting, SettingValue(setting, before, ValueForm::Exact),
                            SettingValue(setting, config_, ValueForm::Exact)});
    }
    return changes;
}

} // namespace q51
