#pragma once
// The code-ID characters of the Code ID tab: one single-character box per
// symbology, bound to byte 80 + symbology. Hidden rows are built, filled
// and reset like the others.

#include <QWidget>
#include <vector>

#include "document/config_document.h"

class QLineEdit;

namespace q51 {

class UserDialogs;

class CodeIdBoxes final : public QWidget {
    Q_OBJECT
public:
    CodeIdBoxes(ConfigDocument &document, UserDialogs &dialogs, QWidget *parent);

    // Shows every stored code; a control code (1 to 31) is stored as 0.
    void load();
    // The tab's own defaults (they differ from the factory block).
    void resetDefaults();

private:
    void store(std::size_t row, int code);
    void applyRule(std::size_t row);
    void write(std::size_t row, int code);
    [[nodiscard]] int storedCode(std::size_t row) const;
    // Shows each stored code quietly, after a change made elsewhere.
    void refresh();

    ConfigDocument &document_;
    std::vector<const Setting *> settings_; // in the order of CodeIdRows()
    bool writing_ = false; // our own write is being announced
    UserDialogs &dialogs_;
    std::vector<QLineEdit *> boxes_; // in the order of CodeIdRows()
};

} // namespace q51
