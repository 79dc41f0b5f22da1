#include "pages/misc/misc_page.h"

#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "pages/binding/field_binding.h"
#include "pages/misc/character_edit_tab.h"
#include "pages/misc/code_id_boxes.h"
#include "schema/misc_fields.h"

namespace q51 {

namespace {

enum GeneratedPanel { LanguagePanel, CodeIdPanel, OthersPanel };

} // namespace

MiscPage::MiscPage(ConfigDocument &document, UserDialogs &dialogs, QWidget *parent)
    : ParameterPage("cfg6", "Miscellaneous Parameters", "TabCFG3", PanelTabs::Placement::Top, document, parent)
{
    const auto &panels = MiscPagePanels();
    addPanel(panels[LanguagePanel]);

    FieldPanel *codeId = addPanel(panels[CodeIdPanel]);
    codeIds_ = new CodeIdBoxes(document, dialogs, codeId);
    codeId->extraArea()->addWidget(codeIds_);
    connect(codeId, &FieldPanel::defaultsApplied, codeIds_, &CodeIdBoxes::resetDefaults);

    // Its reverse-output box and the Others tab's share one bit: each shows
    // a change made through the other, as the document announces it.
    characterEdit_ = new CharacterEditTab(document, dialogs, tabs());
    addTab(characterEdit_, "Characters &Edit", "Deleting and Inserting Edit For Output Characters");

    addPanel(panels[OthersPanel]);

    loadPanels();
    codeIds_->load();
    characterEdit_->load();

    // The code-ID switch is shown afresh from the block on every tab change.
    connect(tabs(), &QTabWidget::currentChanged, this, [this] { binding("chk62")->load(); });
}

} // namespace q51
