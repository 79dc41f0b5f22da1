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

MiscPage::MiscPage(Configuration &config, UserDialogs &dialogs, QWidget *parent)
    : ParameterPage("cfg6", "Miscellaneous Parameters", "TabCFG3", PanelTabs::Placement::Top, config, parent)
{
    const auto &panels = MiscPagePanels();
    addPanel(panels[LanguagePanel]);

    FieldPanel *codeId = addPanel(panels[CodeIdPanel]);
    codeIds_ = new CodeIdBoxes(config, dialogs, codeId);
    codeId->extraArea()->addWidget(codeIds_);
    connect(codeId, &FieldPanel::defaultsApplied, codeIds_, &CodeIdBoxes::resetDefaults);

    characterEdit_ = new CharacterEditTab(config, dialogs, tabs());
    addTab(characterEdit_, "Characters &Edit", "Deleting and Inserting Edit For Output Characters");

    addPanel(panels[OthersPanel]);

    loadPanels();
    codeIds_->load();
    characterEdit_->load();

    followEachOther(characterEdit_->reverseOutput(), binding("OptReverse"));
    // The code-ID switch is shown afresh from the block on every tab change.
    connect(tabs(), &QTabWidget::currentChanged, this, [this] { binding("chk62")->load(); });
}

// Two controls of one bit: a change through either is shown by the other.
void MiscPage::followEachOther(FieldBinding *a, FieldBinding *b)
{
    const auto follow = [](FieldBinding *follower) {
        return [follower] {
            const QSignalBlocker blocker(follower);
            follower->load();
        };
    };
    connect(a, &FieldBinding::selected, b, follow(b));
    connect(b, &FieldBinding::selected, a, follow(a));
}

} // namespace q51
