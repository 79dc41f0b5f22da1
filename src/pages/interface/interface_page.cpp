#include "pages/interface/interface_page.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "schema/interface_fields.h"

namespace q51 {

namespace {

// A header string is copied into the configuration on every keystroke, so a
// Save while the page is open stores what is typed.
QLineEdit *headerLine(const char *name, std::string &target, QWidget *parent)
{
    auto *edit = new QLineEdit(QString::fromStdString(target), parent);
    edit->setObjectName(QString::fromLatin1(name));
    QObject::connect(edit, &QLineEdit::textChanged, edit,
                     [&target](const QString &text) { target = text.toStdString(); });
    return edit;
}

} // namespace

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
    for (const auto &line : lines) {
        QLineEdit *edit = headerLine(line.name, line.target, panel);
        auto *label = new QLabel(QString::fromUtf8(line.label), panel);
        label->setBuddy(edit);
        form->addRow(label, edit);
    }
    auto *description = new QPlainTextEdit(QString::fromStdString(config_.Description), panel);
    description->setObjectName(QStringLiteral("txtDescription"));
    description->setTabChangesFocus(true);
    connect(description, &QPlainTextEdit::textChanged, description,
            [this, description] { config_.Description = description->toPlainText().toStdString(); });
    auto *label = new QLabel(QStringLiteral("Description:"), panel);
    label->setBuddy(description);
    form->addRow(label, description);
    return panel;
}

} // namespace q51
