#include "pages/misc/key_insertion_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace q51 {

namespace {

QPushButton *namedButton(const QString &caption, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

KeyInsertionDialog::KeyInsertionDialog(const KeyDialogSpec &spec, SelectionKeepingLineEdit &target, QWidget *parent)
    : QDialog(parent), target_(&target)
{
    setObjectName(QString::fromLatin1(spec.objectName));
    setWindowTitle(QString::fromLatin1(spec.caption));
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    display_ = new QLineEdit(this);
    display_->setObjectName(QString::fromLatin1(spec.displayBox));
    display_->setAccessibleName(QStringLiteral("Key to insert"));
    display_->setReadOnly(true); // only the key buttons choose, so every name is one the text box knows
    layout->addWidget(display_);

    auto *grid = new QGridLayout;
    const int columns = std::max(1, spec.columns);
    for (std::size_t i = 0; i < spec.keys.size(); ++i) {
        const int index = static_cast<int>(i);
        const QString caption = QString::fromStdString(spec.keys[i]);
        auto *key = namedButton(caption, QStringLiteral("%1_%2").arg(QString::fromLatin1(spec.keyButton)).arg(index),
                                this);
        key->setEnabled(std::find(spec.disabledKeys.begin(), spec.disabledKeys.end(), index) ==
                        spec.disabledKeys.end());
        connect(key, &QPushButton::clicked, display_, [this, caption] { display_->setText(caption); });
        grid->addWidget(key, index / columns, index % columns);
    }
    layout->addLayout(grid);

    auto *row = new QHBoxLayout;
    auto *insert = namedButton(QString::fromLatin1(spec.insertCaption), QString::fromLatin1(spec.insertButton), this);
    auto *exit = namedButton(QString::fromLatin1(spec.exitCaption), QString::fromLatin1(spec.exitButton), this);
    row->addStretch();
    row->addWidget(insert);
    row->addWidget(exit);
    layout->addLayout(row);

    connect(insert, &QPushButton::clicked, this, &KeyInsertionDialog::insertChosenKey);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::finished, this, [this] {
        if (target_)
            target_->setFocus(Qt::OtherFocusReason);
        deleteLater();
    });
}

void KeyInsertionDialog::insertChosenKey()
{
    if (!target_ || display_->text().isEmpty())
        return;
    target_->insertAtCaret(QLatin1Char('{') + display_->text() + QLatin1Char('}'));
    display_->clear();
}

} // namespace q51
