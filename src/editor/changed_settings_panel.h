#pragma once
// Edit > "Changed Settings": every setting that differs from the factory
// values, or from the saved file. Each row shows the value then and now;
// Enter or a double-click asks for the setting to be opened, and "Reset to
// Factory Value" puts the selected rows back as one undoable step.

#include <QWidget>

#include "document/config_document.h"
#include "document/setting_reference.h"

class QComboBox;
class QPushButton;
class QTreeWidget;

namespace q51 {

class ChangedSettingsPanel : public QWidget {
    Q_OBJECT
public:
    ChangedSettingsPanel(ConfigDocument &document, QWidget *parent = nullptr);

    [[nodiscard]] Reference reference() const;
    void setReference(Reference reference);
    // The saved copy changes without an announcement (Save, Open): look again.
    void refresh();
    [[nodiscard]] QTreeWidget *rows() const { return rows_; }
    // "3 settings differ from the factory values"
    [[nodiscard]] QString summary() const { return summary_; }

signals:
    void settingChosen(const q51::Setting *setting);
    void summaryChanged(const QString &summary);

private:
    void resetSelected();
    [[nodiscard]] QList<const Setting *> selectedSettings() const;

    ConfigDocument &document_;
    QComboBox *compared_;
    QTreeWidget *rows_;
    QPushButton *reset_;
    QString summary_;
};

} // namespace q51
