#include "pages/interface/header_text_guard.h"

#include <algorithm>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>

#include "model/windows1252.h"
#include "pages/binding/setting_mark.h"
#include "schema/setting_catalog.h"

namespace q51 {

namespace {

// Where the cursor goes once a refused edit is taken back: before what
// the edit brought in, as near as the old text allows.
int cursorAfterRefusal(int cursor, qsizetype refusedLength, qsizetype keptLength)
{
    return int(std::clamp<qsizetype>(cursor - (refusedLength - keptLength), 0, keptLength));
}

} // namespace

HeaderTextGuard::HeaderTextGuard(QLabel *note, ConfigDocument &document, QObject *parent)
    : QObject(parent), note_(note), document_(document)
{
    note_->setObjectName(QStringLiteral("lblHeaderRefused"));
    note_->setWordWrap(true);
    note_->hide();
}

bool HeaderTextGuard::take(const QString &caption, const QString &text)
{
    // Through UCS-4, so a lone surrogate half counts as U+FFFD rather than
    // slipping through as '?'.
    const QList<uint> codePoints = text.toUcs4();
    const auto outside = FirstOutsideWindows1252(
        QString::fromUcs4(reinterpret_cast<const char32_t *>(codePoints.constData()), codePoints.size()).toStdString());
    if (!outside) {
        note_->hide();
        return true;
    }
    note_->setText(caption + QStringLiteral(": ") + QString::fromStdString(Windows1252RefusalText(*outside)) +
                   QLatin1Char('.'));
    note_->show();
    return false;
}

void HeaderTextGuard::store(HeaderString target, const QString &text)
{
    document_.change([&](Configuration &config) { config.*target = text.toStdString(); });
}

QString HeaderTextGuard::stored(HeaderString target) const
{
    return QString::fromStdString(document_.config().*target);
}

void HeaderTextGuard::mark(QWidget *edit, HeaderString target)
{
    for (const Setting &setting : AllSettings()) {
        if (setting.kind == SettingKind::HeaderText && setting.text == target)
            new SettingMark(edit, setting, document_);
    }
}

void HeaderTextGuard::bind(QLineEdit *edit, const QString &caption, HeaderString target)
{
    mark(edit, target);
    connect(&document_, &ConfigDocument::settingsChanged, edit, [this, edit, target] {
        if (edit->text() != stored(target)) {
            const QSignalBlocker quiet(edit);
            edit->setText(stored(target));
        }
    });
    connect(edit, &QLineEdit::textChanged, this, [this, edit, caption, target](const QString &text) {
        if (take(caption, text)) {
            store(target, text);
            return;
        }
        const QString kept = stored(target);
        const int cursor = cursorAfterRefusal(edit->cursorPosition(), text.size(), kept.size());
        const QSignalBlocker quiet(edit);
        edit->setText(kept);
        edit->setCursorPosition(cursor);
    });
}

void HeaderTextGuard::bind(QPlainTextEdit *edit, const QString &caption, HeaderString target)
{
    mark(edit, target);
    connect(&document_, &ConfigDocument::settingsChanged, edit, [this, edit, target] {
        if (edit->toPlainText() != stored(target)) {
            const QSignalBlocker quiet(edit);
            edit->setPlainText(stored(target));
        }
    });
    connect(edit, &QPlainTextEdit::textChanged, this, [this, edit, caption, target] {
        const QString text = edit->toPlainText();
        if (take(caption, text)) {
            store(target, text);
            return;
        }
        const QString kept = stored(target);
        QTextCursor cursor = edit->textCursor();
        const int position = cursorAfterRefusal(cursor.position(), text.size(), kept.size());
        const QSignalBlocker quiet(edit);
        edit->setPlainText(kept);
        cursor = edit->textCursor();
        cursor.setPosition(position);
        edit->setTextCursor(cursor);
    });
}

} // namespace q51
