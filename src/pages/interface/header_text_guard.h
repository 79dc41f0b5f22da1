#pragma once
// Keeps the header boxes to what a configuration file can store. An edit
// that brings in a character outside the file's code page (typed, pasted
// or set from code) is taken back at once and the note says which
// character and why, so nothing is ever stored as "?" unseen.

#include <string>

#include <QObject>
#include <QString>

#include "document/config_document.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace q51 {

class HeaderTextGuard : public QObject {
    Q_OBJECT
public:
    // note shows the latest refusal and is hidden again by the next edit
    // that is taken.
    HeaderTextGuard(QLabel *note, ConfigDocument &document, QObject *parent);

    // Every edit taken is written to the header string at once, so a Save
    // while the page is open stores what is shown; a change announced from
    // elsewhere is shown in the box.
    using HeaderString = std::string Configuration::*;
    void bind(QLineEdit *edit, const QString &caption, HeaderString target);
    void bind(QPlainTextEdit *edit, const QString &caption, HeaderString target);

private:
    // Ties the box to the header setting it edits.
    void mark(QWidget *edit, HeaderString target);
    // Whether text can be stored; says why not in the note when it cannot.
    bool take(const QString &caption, const QString &text);

    // Writes text as the header string through the document.
    void store(HeaderString target, const QString &text);
    [[nodiscard]] QString stored(HeaderString target) const;

    QLabel *note_;
    ConfigDocument &document_;
};

} // namespace q51
