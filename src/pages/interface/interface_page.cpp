#include "pages/interface/interface_page.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "pages/interface/header_text_guard.h"
#include "schema/interface_fields.h"

namespace q51 {

InterfacePage::InterfacePage(Configuration &config, QWidget *parent)
    : ParameterPage("cfg3", "Interface", "TabCFG", PanelTabs::Placement::Top, config, parent)
{
    addTab(buildHeaderPanel(), "&User Information", "User's Name,building date and other informations");
    for (const PanelSpec &spec : InterfacePagePanels())
        addPanel(spec);
    loadPanels();
}

QWidget *InterfacePage::buildHeaderPanel()
{
    auto *panel = new QWidget(tabs());
    panel->setObjectName(QStringLiteral("fraCfg3_0"));
    auto *form = new QFormLayout(panel);
    const struct {
        const char *name;
        const char *label;
        std::string &target;
    } lines[] = {{"txtDeviceName", "Device Name: ", config_.DeviceName},
                 {"txtUserName", "User's Name: ", config_.UserName},
                 {"txtDate", "Building Date:", config_.BuildingDate}};
    auto *note = new QLabel(panel);
    auto *guard = new HeaderTextGuard(note, panel);
    const auto caption = [](const char *label) { return QString::fromUtf8(label).remove(QLatin1Char(':')).trimmed(); };
    for (const auto &line : lines) {
        auto *edit = new QLineEdit(QString::fromStdString(line.target), panel);
        edit->setObjectName(QString::fromLatin1(line.name));
        guard->bind(edit, caption(line.label), line.target);
        auto *label = new QLabel(QString::fromUtf8(line.label), panel);
        label->setBuddy(edit);
        form->addRow(label, edit);
    }
    auto *description = new QPlainTextEdit(QString::fromStdString(config_.Description), panel);
    description->setObjectName(QStringLiteral("txtDescription"));
    description->setTabChangesFocus(true);
    guard->bind(description, caption("Description:"), config_.Description);
    auto *label = new QLabel(QStringLiteral("Description:"), panel);
    label->setBuddy(description);
    form->addRow(label, description);
    form->addRow(note);
    return panel;
}

} // namespace q51
