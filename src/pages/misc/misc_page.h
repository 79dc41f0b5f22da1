#pragma once
// Page 4, "Miscellaneous Parameters": keyboard language, code-ID
// characters, character editing and reader options.

#include "pages/binding/parameter_page.h"

namespace q51 {

class CharacterEditTab;
class CodeIdBoxes;
class UserDialogs;

class MiscPage : public ParameterPage {
    Q_OBJECT
public:
    MiscPage(ConfigDocument &document, UserDialogs &dialogs, QWidget *parent = nullptr);

private:
    CodeIdBoxes *codeIds_ = nullptr;
    CharacterEditTab *characterEdit_ = nullptr;
};

} // namespace q51
