#pragma once
// The length controls of one symbology: a minimum length, two fixed lengths
// and the "Variable" switch that stands for no fixed length. Every panel of
// the bar-code page that has lengths shows one of these for its slot.

#include <QGroupBox>

#include "document/config_document.h"
#include "schema/code_lengths.h"

class QCheckBox;
class QLineEdit;

namespace q51 {

class UserDialogs;

class CodeLengthGroup : public QGroupBox {
    Q_OBJECT
public:
    CodeLengthGroup(const LengthSlot &slot, const QString &caption, ConfigDocument &document, UserDialogs &dialogs,
                    QWidget *parent = nullptr);

    [[nodiscard]] int slot() const { return slot_.slot; }
    // Shows the slot as the block holds it; a minimum over 99 draws the
    // message and becomes 0.
    void load();
    // "Variable", then the slot's default minimum, each written as the
    // user's edit would be.
    void resetDefaults();

private:
    void setMinimumText(const QString &text);
    void applyMinimum(const QString &text);
    void setFixedText(int which, const QString &text);
    void applyFixed(int which, const QString &text);
    void setVariable(bool ticked);
    void showVariable(bool ticked);
    // A change announced from elsewhere (defaults, a file) shown quietly.
    void refresh();
    void writeMinimum(int length);
    void writeFixed(const std::string &text);

    const LengthSlot &slot_;
    ConfigDocument &document_;
    const Setting &minimumSetting_;
    const Setting &fixedSetting_;
    bool writing_ = false; // our own write is being announced
    UserDialogs &dialogs_;
    QLineEdit *minimum_;
    QCheckBox *variable_;
    QLineEdit *fixed_[2];
};

} // namespace q51
