#pragma once
// The open configuration as a document: every change to the block and the
// header goes through here and is announced once, naming each setting that
// changed with its value before and after, and offered as one named step
// to whoever keeps the history. Pages and the undo history follow the
// announcements instead of each other.

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "document/document_state.h"
#include "model/configuration.h"
#include "schema/setting_values.h"

namespace q51 {

struct SettingChange {
    const Setting *setting = nullptr;
    std::string before; // in the text form's exact notation
    std::string after;
};

// One change as the user made it: "Set Baud Rate to 19200", "Set All
// Defaults". Consecutive steps that type into the same text setting may
// be taken as one.
struct DocumentStep {
    QString name;
    DocumentState before;
    DocumentState after;
    const Setting *typed = nullptr; // the one text-like setting it changed
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
    // Any other change (defaults, an upload): made on the configuration,
    // then announced setting by setting. Without a name the step is named
    // after the one setting it changed.
    void change(const std::function<void(Configuration &)> &edit, const QString &name = {});
    // A change that starts a new history (New, Open): announced, but
    // nothing before it can be undone.
    void replace(const std::function<void(Configuration &)> &edit);
    // Announces what changed without the document: the link's transfers
    // replace the block on the wire's own terms, then the window that ran
    // one calls this.
    void catchUp(const QString &name = {});
    // Puts back the block and header of a step: announced, not a new step.
    void restore(const DocumentState &state);

    // Changes made while a StepScope lives are one step of that name (a
    // panel's "Set Default" selects field after field).
    class StepScope {
    public:
        StepScope(ConfigDocument &document, QString name);
        ~StepScope();
        StepScope(const StepScope &) = delete;
        StepScope &operator=(const StepScope &) = delete;

    private:
        ConfigDocument &document_;
        DocumentState before_;
    };

signals:
    // Never empty; emitted after the configuration holds the new values.
    void settingsChanged(const QList<q51::SettingChange> &changes);
    // After the announcement of a change the user can undo.
    void stepTaken(const q51::DocumentStep &step);
    // New or Open: the steps before are no longer the user's document.
    void historyCleared();

private:
    // The settings whose value differs between before and now.
    [[nodiscard]] QList<SettingChange> changesSince(const Configuration &before) const;
    // Announces what changed since the last announcement and returns it.
    QList<SettingChange> announce();
    void offerStep(const QString &name, const DocumentState &before, const QList<SettingChange> &changes);

    Configuration &config_;
    Configuration seen_; // as last announced
    int scopes_ = 0;     // open StepScopes: their outermost takes the step
    QString scopeName_;
};

} // namespace q51
