#include "editor/changed_settings_panel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "schema/setting_values.h"

namespace q51 {

namespace {

constexpr int SettingItemRole = Qt::UserRole;

QString qs(const std::string &s)
{
    return QString::fromStdString(s);
}

const Setting *SettingOf(const QTreeWidgetItem *item)
{
    return item ? static_cast<const Setting *>(item->data(0, SettingItemRole).value<const void *>()) : nullptr;
}

} // namespace

ChangedSettingsPanel::ChangedSettingsPanel(ConfigDocument &document, QWidget *parent)
    : QWidget(parent), document_(document), compared_(new QComboBox(this)), rows_(new QTreeWidget(this)),
      reset_(new QPushButton(QStringLiteral("&Reset to Factory Value"), this))
{
    setObjectName(QStringLiteral("changedSettingsPanel"));
    compared_->setObjectName(QStringLiteral("changedSettingsReference"));
    compared_->setAccessibleName(QStringLiteral("Show"));
    compared_->addItem(QStringLiteral("Differs from the factory values"));
    compared_->addItem(QStringLiteral("Differs from the saved file"));
    auto *label = new QLabel(QStringLiteral("&Show:"), this);
    label->setBuddy(compared_);
    rows_->setObjectName(QStringLiteral("changedSettingsRows"));
    rows_->setAccessibleName(QStringLiteral("Changed settings"));
    rows_->setRootIsDecorated(false);
    rows_->setUniformRowHeights(true);
    rows_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    rows_->header()->setAccessibleName(QStringLiteral("Columns"));
    rows_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    rows_->header()->setStretchLastSection(false);
    reset_->setObjectName(QStringLiteral("changedSettingsReset"));

    auto *top = new QHBoxLayout;
    top->addWidget(label);
    top->addWidget(compared_, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(reset_);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(rows_, 1);
    layout->addLayout(bottom);

    connect(compared_, &QComboBox::currentIndexChanged, this, &ChangedSettingsPanel::refresh);
    connect(&document_, &ConfigDocument::settingsChanged, this, &ChangedSettingsPanel::refresh);
    connect(rows_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { emit settingChosen(SettingOf(item)); });
    connect(rows_, &QTreeWidget::itemSelectionChanged, this,
            [this] { reset_->setEnabled(!selectedSettings().isEmpty()); });
    connect(reset_, &QPushButton::clicked, this, &ChangedSettingsPanel::resetSelected);
    refresh();
}

Reference ChangedSettingsPanel::reference() const
{
    return compared_->currentIndex() == 1 ? Reference::SavedFile : Reference::Factory;
}

void ChangedSettingsPanel::setReference(Reference reference)
{
    compared_->setCurrentIndex(reference == Reference::SavedFile ? 1 : 0);
}

void ChangedSettingsPanel::refresh()
{
    const Reference against = reference();
    const Configuration &now = document_.config();
    const Configuration then = ReferenceOf(now, against);
    const QString thenCaption = against == Reference::Factory ? QStringLiteral("Factory") : QStringLiteral("Saved");
    rows_->setHeaderLabels({QStringLiteral("Setting"), thenCaption, QStringLiteral("Now")});

    const Setting *current = SettingOf(rows_->currentItem());
    QTreeWidgetItem *keep = nullptr; // the row the user was on, if it is still there
    rows_->clear();
    QList<QTreeWidgetItem *> items;
    for (const Setting *setting : ChangedSettings(now, against)) {
        auto *item = new QTreeWidgetItem({qs(setting->Name()), qs(SettingValue(*setting, then, ValueForm::Shown)),
                                          qs(SettingValue(*setting, now, ValueForm::Shown))});
        item->setData(0, SettingItemRole, QVariant::fromValue(static_cast<const void *>(setting)));
        item->setToolTip(0, qs(setting->key));
        items.append(item);
        if (setting == current)
            keep = item;
    }
    rows_->addTopLevelItems(items);
    if (keep)
        rows_->setCurrentItem(keep);
    reset_->setEnabled(!selectedSettings().isEmpty());

    const QString whom = against == Reference::Factory ? QStringLiteral("the factory values")
                                                       : QStringLiteral("the saved file");
    const QString summary = items.size() == 1 ? QStringLiteral("1 setting differs from %1").arg(whom)
                                              : QStringLiteral("%1 settings differ from %2").arg(items.size()).arg(whom);
    if (summary != summary_) {
        summary_ = summary;
        emit summaryChanged(summary_);
    }
}

QList<const Setting *> ChangedSettingsPanel::selectedSettings() const
{
    QList<const Setting *> chosen;
    for (const QTreeWidgetItem *item : rows_->selectedItems()) {
        const Setting *setting = SettingOf(item);
        if (setting && HasFactoryValue(*setting))
            chosen.append(setting);
    }
    return chosen;
}

void ChangedSettingsPanel::resetSelected()
{
    const QList<const Setting *> chosen = selectedSettings();
    if (chosen.isEmpty())
        return;
    const ConfigDocument::StepScope step(
        document_, chosen.size() == 1 ? QStringLiteral("Reset %1 to Factory Value").arg(qs(chosen.front()->caption))
                                      : QStringLiteral("Reset %1 Settings to Factory Values").arg(chosen.size()));
    for (const Setting *setting : chosen)
        ResetToFactoryValue(document_, *setting);
}

} // namespace q51
