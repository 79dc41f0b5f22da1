#include "pages/misc/code_id_boxes.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QSignalBlocker>

#include "pages/binding/setting_mark.h"
#include "pages/misc/misc_texts.h"
#include "pages/misc/single_byte_text.h"
#include "schema/misc_fields.h"
#include "schema/setting_catalog.h"
#include "ui/user_dialogs.h"

namespace q51 {

namespace {

std::size_t byteOf(std::size_t row)
{
    return static_cast<std::size_t>(CodeIdFirstByte + CodeIdRows()[row].symbology);
}

} // namespace

CodeIdBoxes::CodeIdBoxes(ConfigDocument &document, UserDialogs &dialogs, QWidget *parent)
    : QWidget(parent), document_(document), dialogs_(dialogs)
{
    connect(&document_, &ConfigDocument::settingsChanged, this, [this] {
        if (!writing_)
            refresh();
    });
    auto *grid = new QGridLayout(this);
    constexpr int Columns = 3;
    int placed = 0;
    for (std::size_t row = 0; row < CodeIdRows().size(); ++row) {
        const CodeIdRow &r = CodeIdRows()[row];
        auto *label = new QLabel(QString::fromLatin1(r.label), this);
        label->setObjectName(QStringLiteral("lbl62_%1").arg(r.symbology));
        auto *box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txt62_%1").arg(r.symbology));
        // Any character with a single-byte code; others are refused as typed.
        box->setValidator(new SingleByteValidator(nullptr, box));
        label->setBuddy(box);
        boxes_.push_back(box);
        settings_.push_back(SettingAt(SettingKind::CodeId, int(byteOf(row))));
        new SettingMark(box, *settings_.back(), document_);
        connect(box, &QLineEdit::textChanged, this, [this, row] { applyRule(row); });
        if (!r.visible) {
            label->setVisible(false);
            box->setVisible(false);
            continue;
        }
        grid->addWidget(label, placed / Columns, 2 * (placed % Columns));
        grid->addWidget(box, placed / Columns, 2 * (placed % Columns) + 1);
        ++placed;
    }
}

void CodeIdBoxes::load()
{
    for (std::size_t row = 0; row < boxes_.size(); ++row)
        store(row, storedCode(row));
}

int CodeIdBoxes::storedCode(std::size_t row) const
{
    return document_.config().block[byteOf(row)];
}

void CodeIdBoxes::write(std::size_t row, int code)
{
    const QScopedValueRollback own(writing_, true);
    document_.setValue(*settings_[row], std::to_string(code));
}

void CodeIdBoxes::refresh()
{
    for (std::size_t row = 0; row < boxes_.size(); ++row) {
        const int code = StoredCodeId(storedCode(row));
        const QString shown = code ? FromSingleByte(std::string(1, static_cast<char>(code))) : QString();
        if (boxes_[row]->text() != shown) {
            const QSignalBlocker blocker(boxes_[row]);
            boxes_[row]->setText(shown);
        }
    }
}

void CodeIdBoxes::resetDefaults()
{
    for (std::size_t row = 0; row < boxes_.size(); ++row)
        store(row, CodeIdRows()[row].tabDefault);
}

// Writes the code as the box's rule would and shows it.
void CodeIdBoxes::store(std::size_t row, int code)
{
    code = StoredCodeId(code);
    write(row, code);
    const QSignalBlocker blocker(boxes_[row]);
    boxes_[row]->setText(code ? FromSingleByte(std::string(1, static_cast<char>(code))) : QString());
}

void CodeIdBoxes::applyRule(std::size_t row)
{
    QLineEdit *box = boxes_[row];
    const auto bytes = ToSingleByte(box->text());
    if (!bytes) {
        store(row, storedCode(row)); // text set from code that no code stands for
        return;
    }
    const auto code = CodeIdFromText(*bytes);
    if (!code) {
        dialogs_.tell(QString::fromLatin1(misc_text::MessageTitle), QString::fromLatin1(misc_text::OnlyOneCharacter));
        box->clear(); // runs this rule again, which stores 0
        return;
    }
    write(row, *code);
}

} // namespace q51
