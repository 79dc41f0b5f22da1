#include "pages/binding/parameter_page.h"

#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "pages/binding/field_binding.h"

namespace q51 {

ParameterPage::ParameterPage(const char *objectName, const char *caption, const char *tabStripName,
                             PanelTabs::Placement tabPlacement, ConfigDocument &document, QWidget *parent)
    : QWidget(parent), document_(document), tabs_(new PanelTabs(tabPlacement, this))
{
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(QString::fromUtf8(caption));
    tabs_->setObjectName(QString::fromLatin1(tabStripName));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
}

FieldPanel *ParameterPage::addPanel(const PanelSpec &spec)
{
    auto *panel = new FieldPanel(spec, document_, tabs_);
    panels_.push_back(panel);
    addTab(panel, spec.tabCaption.c_str(), spec.tabToolTip.c_str());
    return panel;
}

void ParameterPage::addTab(QWidget *panel, const char *caption, const char *toolTip)
{
    const int index = tabs_->addTab(panel, QString::fromUtf8(caption));
    tabs_->setTabToolTip(index, QString::fromUtf8(toolTip));
}

void ParameterPage::loadPanels()
{
    tabs_->setCurrentIndex(0);
    for (FieldPanel *panel : panels_)
        panel->load();
}

FieldBinding *ParameterPage::binding(const std::string &control) const
{
    for (FieldPanel *panel : panels_) {
        if (FieldBinding *b = panel->binding(control))
            return b;
    }
    return nullptr;
}

} // namespace q51
