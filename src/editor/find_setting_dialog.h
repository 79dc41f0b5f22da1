#pragma once
// Edit > "Find Setting...": one box over every setting. Each result shows
// where the setting sits and what it holds now; Enter or a double-click
// asks for it to be opened. Keyboard only from start to finish: typing
// goes to the box, the arrows move through the results from there.

#include <QDialog>

#include "document/config_document.h"

class QLineEdit;
class QTreeWidget;
class QLabel;

namespace q51 {

class FindSettingDialog : public QDialog {
    Q_OBJECT
public:
    FindSettingDialog(const ConfigDocument &document, QWidget *parent = nullptr);

    // Shown again with the box's text selected, so typing starts afresh.
    void present();
    [[nodiscard]] QLineEdit *box() const { return box_; }
    [[nodiscard]] QTreeWidget *results() const { return results_; }

signals:
    void settingChosen(const q51::Setting *setting);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void search(const QString &text);
    void choose();

    const ConfigDocument &document_;
    QLineEdit *box_;
    QTreeWidget *results_;
    QLabel *count_;
};

} // namespace q51
