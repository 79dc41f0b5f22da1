#include "pages/misc/character_edit_tab.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "pages/binding/field_binding.h"
#include "pages/misc/edit_group_frame.h"
#include "pages/misc/insertion_text_box.h"
#include "schema/misc_fields.h"
#include "ui/widget_helpers.h"

namespace q51 {

CharacterEditTab::CharacterEditTab(ConfigDocument &document, UserDialogs &dialogs, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("fraCfg6_2"));
    auto *outer = new QVBoxLayout(this);
    auto *frame = new QGroupBox(QStringLiteral("Characters Edit"), this);
    frame->setObjectName(QStringLiteral("fraCfg6_2_frame"));
    announceByTitle(frame);
    outer->addWidget(frame);
    auto *layout = new QVBoxLayout(frame);
    auto *frames = new QHBoxLayout;
    layout->addLayout(frames);

    deletion_ = new EditGroupFrame(DeletionFrame(), document, dialogs, frame);
    insertion_ = new EditGroupFrame(InsertionFrame(), document, dialogs, frame);
    new InsertionTextBox(*insertion_);
    frames->addWidget(deletion_, 0, Qt::AlignTop);
    frames->addWidget(insertion_, 0, Qt::AlignTop);

    reverseOutput_ = new FieldBinding(ReverseOutputCheckField(), document, frame);
    layout->addWidget(reverseOutput_->widget());
    layout->addStretch();
}

void CharacterEditTab::load()
{
    deletion_->showGroup(0);
    insertion_->showGroup(0);
    reverseOutput_->load();
}

} // namespace q51
