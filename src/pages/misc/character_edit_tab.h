#pragma once
// The Characters Edit tab: the deletion and insertion frames and the
// "Reverse Output Characters" check box.

#include <QWidget>

#include "document/config_document.h"

namespace q51 {

class EditGroupFrame;
class FieldBinding;
class InsertionTextBox;
class UserDialogs;

class CharacterEditTab final : public QWidget {
    Q_OBJECT
public:
    CharacterEditTab(ConfigDocument &document, UserDialogs &dialogs, QWidget *parent);

    // Shows group 1 of both frames and the check box.
    void load();
    [[nodiscard]] FieldBinding *reverseOutput() const { return reverseOutput_; }

private:
    EditGroupFrame *deletion_ = nullptr;
    EditGroupFrame *insertion_ = nullptr;
    FieldBinding *reverseOutput_ = nullptr;
};

} // namespace q51
