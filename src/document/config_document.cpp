#include "document/config_document.h"

#include "schema/field_access.h"
#include "schema/setting_catalog.h"

#include <utility>

namespace q51 {

namespace {

// Settings a user types into a box: one step while the typing goes on.
bool IsTyped(SettingKind kind)
{
    switch (kind) {
    case SettingKind::HeaderText:
    case SettingKind::Number:
    case SettingKind::FixedLengths:
    case SettingKind::CodeId:
    case SettingKind::InsertionCodes: return true;
    default: return false;
    }
}

QString StepName(const QList<SettingChange> &changes, const Configuration &now)
{
    if (changes.size() != 1)
        return QStringLiteral("Change %1 Settings").arg(changes.size());
    const Setting &setting = *changes.front().setting;
    return QStringLiteral("Set %1 to %2")
        .arg(QString::fromStdString(setting.caption),
             QString::fromStdString(SettingValue(setting, now, ValueForm::Shown)));
}

} // namespace

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

void ConfigDocument::change(const std::function<void(Configuration &)> &edit, const QString &name)
{
    const DocumentState before = StateOf(config_);
    edit(config_);
    offerStep(name, before, announce());
}

void ConfigDocument::replace(const std::function<void(Configuration &)> &edit)
{
    edit(config_);
    announce();
    emit historyCleared();
}

void ConfigDocument::catchUp(const QString &name)
{
    // A transfer replaced the block alone: the port and mode chosen in the
    // transfer window meanwhile are not part of what undoing it takes back.
    const DocumentState before{seen_.block, config_.Header()};
    offerStep(name, before, announce());
}

void ConfigDocument::restore(const DocumentState &state)
{
    ApplyState(config_, state);
    announce();
}

QList<SettingChange> ConfigDocument::announce()
{
    const QList<SettingChange> changes = changesSince(seen_);
    seen_ = config_;
    if (!changes.isEmpty())
        emit settingsChanged(changes);
    return changes;
}

void ConfigDocument::offerStep(const QString &name, const DocumentState &before, const QList<SettingChange> &changes)
{
    if (changes.isEmpty() || scopes_ > 0)
        return; // an open scope takes the whole step when it closes
    DocumentStep step{name.isEmpty() ? StepName(changes, config_) : name, before, StateOf(config_)};
    if (changes.size() == 1 && name.isEmpty() && IsTyped(changes.front().setting->kind))
        step.typed = changes.front().setting;
    emit stepTaken(step);
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

ConfigDocument::StepScope::StepScope(ConfigDocument &document, QString name)
    : document_(document), before_(StateOf(document.config_))
{
    if (document_.scopes_++ == 0)
        document_.scopeName_ = std::move(name);
}

ConfigDocument::StepScope::~StepScope()
{
    if (--document_.scopes_ > 0)
        return;
    document_.announce();
    // The scope's whole effect, so that a change undone within it is no step.
    Configuration then = document_.config_;
    ApplyState(then, before_);
    document_.offerStep(std::exchange(document_.scopeName_, {}), before_, document_.changesSince(then));
}

} // namespace q51
