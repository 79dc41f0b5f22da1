#include "editor/find_setting_dialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "schema/setting_search.h"
#include "schema/setting_values.h"

namespace q51 {

namespace {

constexpr int SettingItemRole = Qt::UserRole;

QString qs(const std::string &s)
{
    return QString::fromStdString(s);
}

} // namespace

FindSettingDialog::FindSettingDialog(const ConfigDocument &document, QWidget *parent)
    : QDialog(parent), document_(document), box_(new QLineEdit(this)), results_(new QTreeWidget(this)),
      count_(new QLabel(this))
{
    setObjectName(QStringLiteral("findSettingDialog"));
    setWindowTitle(QStringLiteral("Find Setting"));
    box_->setObjectName(QStringLiteral("findSettingText"));
    box_->setAccessibleName(QStringLiteral("Find setting"));
    box_->setPlaceholderText(QStringLiteral("Caption, key, value or byte, e.g. baud, 19200, byte 24"));
    box_->setClearButtonEnabled(true);
    results_->setObjectName(QStringLiteral("findSettingResults"));
    results_->setAccessibleName(QStringLiteral("Settings found"));
    results_->setHeaderLabels({QStringLiteral("Setting"), QStringLiteral("Value")});
    results_->setRootIsDecorated(false);
    results_->setUniformRowHeights(true);
    results_->header()->setAccessibleName(QStringLiteral("Columns"));
    results_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    results_->header()->setStretchLastSection(false);
    count_->setObjectName(QStringLiteral("findSettingCount"));
    auto *label = new QLabel(QStringLiteral("&Find:"), this);
    label->setBuddy(box_);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &FindSettingDialog::choose);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(box_);
    layout->addWidget(results_, 1);
    layout->addWidget(count_);
    layout->addWidget(buttons);

    connect(box_, &QLineEdit::textChanged, this, &FindSettingDialog::search);
    connect(box_, &QLineEdit::returnPressed, this, &FindSettingDialog::choose);
    connect(results_, &QTreeWidget::itemActivated, this, &FindSettingDialog::choose);
    box_->installEventFilter(this);
    const QFontMetrics metrics(font());
    resize(metrics.averageCharWidth() * 90, metrics.lineSpacing() * 24);
}

void FindSettingDialog::present()
{
    search(box_->text()); // values may have changed since
    box_->selectAll();
    show();
    raise();
    activateWindow();
    box_->setFocus(Qt::ShortcutFocusReason);
}

bool FindSettingDialog::eventFilter(QObject *watched, QEvent *event)
{
    // Up and down in the box move through the results, as in a completer.
    if (watched == box_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Down || key == Qt::Key_Up || key == Qt::Key_PageDown || key == Qt::Key_PageUp) {
            results_->setFocus(Qt::OtherFocusReason);
            QCoreApplication::sendEvent(results_, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FindSettingDialog::search(const QString &text)
{
    results_->clear();
    const std::vector<SettingMatch> matches = SearchSettings(text.toStdString());
    QList<QTreeWidgetItem *> items;
    items.reserve(qsizetype(matches.size()));
    for (const SettingMatch &match : matches) {
        const Setting &setting = *match.setting;
        auto *item = new QTreeWidgetItem({qs(setting.Name()),
                                          qs(SettingValue(setting, document_.config(), ValueForm::Shown))});
        item->setData(0, SettingItemRole, QVariant::fromValue(static_cast<const void *>(&setting)));
        item->setToolTip(0, qs(setting.key));
        items.append(item);
    }
    results_->addTopLevelItems(items);
    if (!items.isEmpty())
        results_->setCurrentItem(items.front());
    count_->setText(text.trimmed().isEmpty() ? QString()
                    : items.isEmpty()       ? QStringLiteral("No setting matches \"%1\".").arg(text.trimmed())
                    : items.size() == 1     ? QStringLiteral("1 setting found.")
                                            : QStringLiteral("%1 settings found.").arg(items.size()));
}

void FindSettingDialog::choose()
{
    const QTreeWidgetItem *item = results_->currentItem();
    if (!item)
        return;
    const auto *setting = static_cast<const Setting *>(item->data(0, SettingItemRole).value<const void *>());
    hide();
    emit settingChosen(setting);
}

} // namespace q51
