#pragma once
// A parameter page: a tab strip over panels, most of them generated from
// field tables. The page holds no copy of the configuration: it reads the
// block when it opens and every control writes its field at once.

#include <QWidget>
#include <vector>

#include "document/config_document.h"
#include "pages/binding/panel_tabs.h"
#include "pages/binding/field_panel.h"

class QTabWidget;

namespace q51 {

class ParameterPage : public QWidget {
    Q_OBJECT
public:
    ParameterPage(const char *objectName, const char *caption, const char *tabStripName,
                  PanelTabs::Placement tabPlacement, ConfigDocument &document,
                  QWidget *parent = nullptr);

    [[nodiscard]] QTabWidget *tabs() const { return tabs_; }
    [[nodiscard]] FieldBinding *binding(const std::string &control) const;
    [[nodiscard]] const std::vector<FieldPanel *> &panels() const { return panels_; }

protected:
    FieldPanel *addPanel(const PanelSpec &spec);
    void addTab(QWidget *panel, const char *caption, const char *toolTip);
    // Reads every generated field, panel by panel in table order, and shows
    // the first tab.
    void loadPanels();

    [[nodiscard]] const Configuration &config() const { return document_.config(); }

    ConfigDocument &document_;

private:
    QTabWidget *tabs_;
    std::vector<FieldPanel *> panels_;
};

} // namespace q51
