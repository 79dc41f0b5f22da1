#include "document/setting_reference.h"

#include "document/config_document.h"
#include "document/document_state.h"
#include "model/factory_defaults.h"
#include "schema/setting_values.h"

namespace q51 {

const Configuration &FactoryConfiguration()
{
    static const Configuration factory = [] {
        Configuration config;
        LoadFactoryDefaults(config);
        return config;
    }();
    return factory;
}

bool HasFactoryValue(const Setting &setting)
{
    return setting.role == SettingRole::Parameter || setting.role == SettingRole::Reserved;
}

Configuration ReferenceOf(const Configuration &now, Reference reference)
{
    Configuration config = now;
    if (reference == Reference::Factory)
        ApplyState(config, {FactoryConfiguration().block, now.Header()});
    else
        ApplyState(config, {now.savedCopy, now.savedHeader});
    return config;
}

QList<const Setting *> ChangedSettings(const Configuration &now, Reference reference)
{
    const Configuration then = ReferenceOf(now, reference);
    QList<const Setting *> changed;
    for (const Setting &setting : AllSettings()) {
        if (setting.role == SettingRole::Derived)
            continue; // every download rewrites the checksum
        if (reference == Reference::Factory && !HasFactoryValue(setting))
            continue;
        if (SettingDiffers(setting, then, now))
            changed.append(&setting);
    }
    return changed;
}

void ResetToFactoryValue(ConfigDocument &document, const Setting &setting)
{
    const std::string factory = SettingValue(setting, FactoryConfiguration(), ValueForm::Exact);
    document.change([&](Configuration &config) { WriteSettingValue(setting, config, factory, ValueSource::Text); },
                    QStringLiteral("Reset %1 to Factory Value").arg(QString::fromStdString(setting.caption)));
}

} // namespace q51
