#include "pages/interface/interface_page.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "pages/interface/header_text_guard.h"
#include "schema/interface_fields.h"

namespace q51 {

InterfacePage::InterfacePage(ConfigDocument &document, QWidget *parent)
    : ParameterPage("cfg3", "Interface", "TabCFG", PanelTabs::Placement::Top, document, parent)
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
        std::string Configuration::*target;
    } lines[] = {{"txtDeviceName", "Device Name: ", &Configuration::DeviceName},
                 {"txtUserName", "User's Name: ", &Configuration::UserName},
                 {"txtDate", "Building Date:", &Configuration::BuildingDate}};
    auto *note = new QLabel(panel);
    auto *guard = new HeaderTextGuard(note, document_, panel);
    const auto caption = [](const char *label) { return QString::fromUtf8(label).remove(QLatin1Char(':')).trimmed(); };
    for (const auto &line : lines) {
        auto *edit = new QLineEdit(QString::fromStdString(config().*line.target), panel);
        edit->setObjectName(QString::fromLatin1(line.name));
        guard->bind(edit, caption(line.label), line.target);
        auto *label = new QLabel(QString::fromUtf8(line.label), panel);
        label->setBuddy(edit);
        form->addRow(label, edit);
    }
    auto *description = new QPlainTextEdit(QString::fromStdString(config().Description), panel);
    description->setObjectName(QStringLiteral("txtDescription"));
    description->setTabChangesFocus(true);
    guard->bind(description, caption("Description:"), &Configuration::Description);
    auto *label = new QLabel(QStringLiteral("Description:"), panel);
    label->setBuddy(description);
    form->addRow(label, description);
    form->addRow(note);
    return panel;
}

} // namespace q51
