#pragma once
// Keeps the header boxes to what a configuration file can store. An edit
// that brings in a character outside the file's code page (typed, pasted
// or set from code) is taken back at once and the note says which
// character and why, so nothing is ever stored as "?" unseen.

#include <string>

#include <QObject>
#include <QString>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace q51 {

class HeaderTextGuard : public QObject {
    Q_OBJECT
public:
    // note shows the latest refusal and is hidden again by the next edit
    // that is taken.
    HeaderTextGuard(QLabel *note, QObject *parent);

    // Every edit taken is copied into target at once, so a Save while the
    // page is open stores what is shown.
    void bind(QLineEdit *edit, const QString &caption, std::string &target);
    void bind(QPlainTextEdit *edit, const QString &caption, std::string &target);

private:
    // Whether text can be stored; says why not in the note when it cannot.
    bool take(const QString &caption, const QString &text);

    QLabel *note_;
};

} // namespace q51
