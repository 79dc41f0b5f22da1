#pragma once
// One tab of a page built from its panel description: a frame of bound
// fields and the panel's own "Set Default" button.

#include <QWidget>
#include <string>
#include <vector>

#include "document/config_document.h"
#include "schema/panel_description.h"

class QGridLayout;
class QPushButton;
class QVBoxLayout;

namespace q51 {

class FieldBinding;

class FieldPanel : public QWidget {
    Q_OBJECT
public:
    FieldPanel(const PanelSpec &spec, ConfigDocument &document, QWidget *parent = nullptr);

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
    ConfigDocument &document_;
    std::vector<FieldBinding *> bindings_;
    QPushButton *defaultButton_ = nullptr;
    QVBoxLayout *extra_ = nullptr;
};

} // namespace q51
