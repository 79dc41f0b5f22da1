#include "pages/binding/field_panel.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "pages/binding/field_binding.h"
#include "schema/caption_text.h"
#include "ui/widget_helpers.h"

namespace q51 {

FieldPanel::FieldPanel(const PanelSpec &spec, ConfigDocument &document, QWidget *parent)
    : QWidget(parent), spec_(spec), document_(document)
{
    setObjectName(QString::fromStdString(spec_.objectName));
    auto *outer = new QVBoxLayout(this);
    auto *frame = new QGroupBox(QString::fromStdString(spec_.frameCaption), this);
    frame->setObjectName(QString::fromStdString(spec_.objectName) + QStringLiteral("_frame"));
    announceByTitle(frame);
    outer->addWidget(frame);
    auto *frameLayout = new QVBoxLayout(frame);
    auto *grid = new QGridLayout;
    frameLayout->addLayout(grid);

    const int columns = std::max(1, spec_.fieldColumns);
    int placed = 0;
    QGroupBox *shared = nullptr; // the open frame of neighbouring fields
    for (const FieldSpec &field : spec_.fields) {
        auto *binding = new FieldBinding(field, document, frame);
        bindings_.push_back(binding);
        if (auto *group = qobject_cast<QGroupBox *>(binding->widget()))
            announceByTitle(group);
        if (!field.visible)
            continue; // present and bound, never shown
        if (field.frame.empty()) {
            shared = nullptr;
        } else if (shared && shared->title() == QString::fromStdString(field.frame)) {
            shared->layout()->addWidget(binding->widget());
            continue;
        } else {
            shared = new QGroupBox(QString::fromStdString(field.frame), frame);
            announceByTitle(shared);
            (new QVBoxLayout(shared))->addWidget(binding->widget());
        }
        grid->addWidget(shared ? shared : binding->widget(), placed / columns, placed % columns, Qt::AlignTop);
        ++placed;
    }
    extra_ = new QVBoxLayout;
    frameLayout->addLayout(extra_);
    frameLayout->addStretch();

    if (!spec_.defaultButton.empty()) {
        defaultButton_ = new QPushButton(QString::fromStdString(spec_.defaultCaption), this);
        defaultButton_->setObjectName(QString::fromStdString(spec_.defaultButton));
        connect(defaultButton_, &QPushButton::clicked, this, &FieldPanel::resetDefaults);
        auto *row = new QHBoxLayout;
        row->addStretch();
        row->addWidget(defaultButton_);
        outer->addLayout(row);
    }
}

void FieldPanel::load()
{
    for (FieldBinding *b : bindings_)
        b->load();
}

void FieldPanel::resetDefaults()
{
    // One step however many fields and boxes the panel resets.
    const std::string panel = PlainCaption(spec_.tabCaption.empty() ? spec_.frameCaption : spec_.tabCaption);
    const ConfigDocument::StepScope step(document_,
                                         QStringLiteral("Set Default (%1)").arg(QString::fromStdString(panel)));
    for (FieldBinding *b : bindings_)
        b->selectDefault();
    emit defaultsApplied();
}

FieldBinding *FieldPanel::binding(const std::string &control) const
{
    for (FieldBinding *b : bindings_) {
        if (b->spec().control == control)
            return b;
    }
    return nullptr;
}

} // namespace q51
