#pragma once
// One tab of a page: a frame of described fields and the panel's own
// "Set Default" button, which resets only the fields of this panel.

#include <QWidget>
#include <string>
#include <vector>

#include "pages/binding/field_types.h"

class QGridLayout;
class QPushButton;
class QVBoxLayout;

namespace q51 {

class FieldBinding;

struct PanelSpec {
    std::string tabCaption;
    std::string tabToolTip;
    std::string objectName;   // the panel's frame
    std::string frameCaption; // empty: no frame title
    std::vector<FieldSpec> fields;
    std::string defaultButton;                 // objectName; empty: no button
    std::string defaultCaption = "Set Default";
    int fieldColumns = 2;
};

class FieldPanel : public QWidget {
    Q_OBJECT
public:
    FieldPanel(const PanelSpec &spec, Configuration &config, QWidget *parent = nullptr);

    [[nodiscard]] const PanelSpec &spec() const { return spec_; }
    // Reads every field from the block, in table order.
    void load();
    // Selects every field's default, in table order, then lets the page
    // reset what it built by hand.
    void resetDefaults();

    [[nodiscard]] FieldBinding *binding(const std::string &control) const;
    [[nodiscard]] const std::vector<FieldBinding *> &bindings() const { return bindings_; }
    [[nodiscard]] QPushButton *defaultButton() const { return defaultButton_; }
    // Room for controls a page builds itself, below the fields.
    [[nodiscard]] QVBoxLayout *extraArea() const { return extra_; }

signals:
    void defaultsApplied();

private:
    PanelSpec spec_;
    std::vector<FieldBinding *> bindings_;
    QPushButton *defaultButton_ = nullptr;
    QVBoxLayout *extra_ = nullptr;
};

} // namespace q51
