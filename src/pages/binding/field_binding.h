#pragma once
// The widgets of one described field, tied to the block: an option group
// (a frame of radio buttons) or a check box. select() writes exactly as a
// user's click does, whether the user, assistive technology or the page's
// own code chooses.

#include <QObject>
#include <optional>
#include <vector>

#include "schema/field_types.h"

#include "document/config_document.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QRadioButton;
class QWidget;

namespace q51 {

class FieldBinding : public QObject {
    Q_OBJECT
public:
    FieldBinding(FieldSpec spec, ConfigDocument &document, QWidget *parent);

    [[nodiscard]] const FieldSpec &spec() const { return spec_; }
    [[nodiscard]] QWidget *widget() const;

    // Shows what the block holds. A stored value some choice stands for is
    // selected, which writes it back as a click would (so aliases are
    // normalised); one that no choice stands for is shown as "Other" and
    // left in the block until the user chooses. A field marked
    // loadShowsOnly is shown without the write.
    void load();
    // Shows what the block holds without writing anything: for changes the
    // document announces from elsewhere (another control of the same bit,
    // a panel's defaults, a file).
    void refresh();
    // Writes the choice's value and shows it as selected.
    void select(int value);
    void selectDefault() { select(spec_.defaultValue); }

    // The value of the selected choice; nothing while "Other" is shown.
    [[nodiscard]] std::optional<int> shownValue() const;
    [[nodiscard]] QAbstractButton *button(int value) const;
    [[nodiscard]] QRadioButton *otherButton() const { return other_; }

signals:
    void selected(int value);

private:
    void buildOptions(QWidget *parent);
    void buildCheck(QWidget *parent);
    void show(int value);
    void showOther(int code);

    FieldSpec spec_;
    ConfigDocument &document_;
    QGroupBox *box_ = nullptr;
    QCheckBox *check_ = nullptr;
    QButtonGroup *group_ = nullptr;
    std::vector<std::pair<int, QRadioButton *>> buttons_;
    QRadioButton *other_ = nullptr;
    std::optional<int> shown_;
    bool showing_ = false; // show() is checking a button: not a user's choice
};

} // namespace q51
