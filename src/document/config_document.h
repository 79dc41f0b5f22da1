#pragma once
// The open configuration as a document: every change to the block and the
// header goes through here and is announced once, naming each setting that
// changed with its value before and after. Pages, the title's unsaved state
// and (later) undo follow the announcements instead of each other.

#include <QList>
#include <QObject>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "model/configuration.h"
#include "schema/setting_values.h"

namespace q51 {

struct SettingChange {
    const Setting *setting = nullptr;
    std::string before; // in the text form's exact notation
    std::string after;
};

class ConfigDocument : public QObject {
    Q_OBJECT
public:
    // The run's one configuration; the document does not copy it.
    explicit ConfigDocument(Configuration &config, QObject *parent = nullptr);

    [[nodiscard]] const Configuration &config() const { return config_; }

    // A setting from text in the setting's notation. Refused text writes
    // nothing and returns what the setting allows.
    std::optional<std::string> setValue(const Setting &setting, std::string_view text,
                                        ValueSource source = ValueSource::Text);
    // A page table field set to a choice's value, exactly as a click does.
    void selectField(const FieldSpec &field, int value);
    // Any other change (defaults, a file read, an upload): made on the
    // configuration, then announced setting by setting.
    void change(const std::function<void(Configuration &)> &edit);
    // Announces what changed without the document: the link's transfers
    // replace the block on the wire's own terms, then the window that ran
    // one calls this.
    void catchUp();

signals:
    // Never empty; emitted after the configuration holds the new values.
    void settingsChanged(const QList<q51::SettingChange> &changes);

private:
    // The settings whose value differs between before and now.
    [[nodiscard]] QList<SettingChange> changesSince(const Configuration &before) const;

    Configuration &config_;
    Configuration seen_; // as last announced
};

} // namespace q51
