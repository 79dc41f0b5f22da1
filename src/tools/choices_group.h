#pragma once
// A box of mutually exclusive options whose choose operation runs exactly
// once per change of selection, however the change comes about: a click,
// the keyboard, or select() from the window's own code. Selecting the
// option that is already selected does nothing.

#include <functional>

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace q51 {

class ChoicesGroup final : public QGroupBox {
    Q_OBJECT
public:
    // The buttons get the ids 0..n-1 and the names controlName_0.., the
    // button group the name controlName. `initial` is selected without
    // running the choose operation.
    ChoicesGroup(const QString &caption, const QString &controlName, const QStringList &options,
                 int initial, QWidget *parent = nullptr);

    // Runs for every change of selection, with the new option's index.
    std::function<void(int index)> onChosen;

    // Selects the option as a click would; nothing when it is already
    // selected or does not exist.
    void select(int index);
    // Leaves no option selected, without running the choose operation, so
    // that whichever option is clicked next counts as a change.
    void clearSelection();
    // -1 when none is selected.
    [[nodiscard]] int current() const { return current_; }
    [[nodiscard]] QButtonGroup *buttonGroup() const { return group_; }
    [[nodiscard]] QRadioButton *option(int index) const;

private:
    void onToggled(int id, bool checked);
    void check(int index);

    QButtonGroup *group_;
    int current_ = -1;
};

} // namespace q51
