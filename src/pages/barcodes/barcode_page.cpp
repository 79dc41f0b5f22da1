#include "pages/barcodes/barcode_page.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "pages/barcodes/code_length_group.h"
#include "pages/binding/field_binding.h"
#include "schema/barcode_fields.h"
#include "schema/symbology_fields.h"
#include "schema/symbology_option_fields.h"

namespace q51 {

namespace {

QPushButton *listButton(const char *name, const char *caption, QWidget *parent)
{
    auto *button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

BarCodePage::BarCodePage(ConfigDocument &document, UserDialogs &dialogs, QWidget *parent)
    : ParameterPage("cfg5", "Bar Codes and Others", "TabCFG5", PanelTabs::Placement::Side, document, parent)
{
    const std::vector<PanelSpec> &specs = BarCodePagePanels();
    std::vector<FieldPanel *> added;
    for (const PanelSpec &spec : specs)
        added.push_back(addPanel(spec));
    addListButtons(*added[0]);

    // Slot 16 has controls on a panel no tab shows: still filled and checked.
    auto *unshown = new QWidget(this);
    unshown->setObjectName(QStringLiteral("fraCfg5_unshown"));
    unshown->hide();
    const auto &optionPanels = SymbologyOptionPanels();
    for (const LengthSlot &slot : LengthSlots()) {
        if (!slot.hasControls)
            continue;
        FieldPanel *owner = nullptr;
        const char *caption = "Code Length";
        for (std::size_t k = 0; k < optionPanels.size(); ++k) {
            if (optionPanels[k].lengthSlot == slot.slot) {
                owner = added[2 + k];
                caption = optionPanels[k].lengthCaption;
            }
        }
        auto *group = new CodeLengthGroup(slot, QString::fromUtf8(caption), document_, dialogs, owner ? owner : unshown);
        if (owner) {
            owner->extraArea()->addWidget(group);
            // The panel's own fields first, then its lengths.
            connect(owner, &FieldPanel::defaultsApplied, group, &CodeLengthGroup::resetDefaults);
        }
        lengthGroups_.push_back(group);
    }

    for (const Symbology &s : Symbologies()) {
        connect(binding(SymbologyListControl(s.number)), &FieldBinding::selected, this,
                [this] { document_.change([](Configuration &config) { UpdateUpcEanSummary(config); }); });
    }
    followEnableRules();
    load();
}

void BarCodePage::addListButtons(FieldPanel &list)
{
    auto *row = new QHBoxLayout;
    QPushButton *setAll = listButton("cmdSetAll", "Set All Barcodes", &list);
    QPushButton *clearAll = listButton("Command1", "Clear All Barcodes", &list);
    row->addWidget(setAll);
    row->addWidget(clearAll);
    row->addStretch();
    list.extraArea()->addLayout(row);
    connect(setAll, &QPushButton::clicked, this, [this] { setAllListEntries(true); });
    connect(clearAll, &QPushButton::clicked, this, [this] { setAllListEntries(false); });
}

// Entry by entry, hidden and greyed ones included, each written as a click.
void BarCodePage::setAllListEntries(bool ticked)
{
    for (const Symbology &s : Symbologies())
        binding(SymbologyListControl(s.number))->select(ticked ? s.mask : 0);
}

void BarCodePage::followEnableRules()
{
    for (const EnableRule &rule : SymbologyEnableRules()) {
        connect(binding(rule.control), &FieldBinding::selected, this, [this, &rule](int value) {
            for (const std::string &frame : rule.frames) {
                if (auto *w = findChild<QWidget *>(QString::fromStdString(frame)))
                    w->setEnabled(value != rule.disablingValue);
            }
        });
    }
}

// Fields first, panel by panel; then the lengths, slot by slot, so a bad
// minimum is reported once per slot in slot order.
void BarCodePage::load()
{
    loadPanels();
    for (CodeLengthGroup *group : lengthGroups_)
        group->load();
}

} // namespace q51
