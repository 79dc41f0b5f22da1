#pragma once
// The two key-insertion dialogs as data: which keys they offer and how
// their controls are named.

#include <string>
#include <vector>

namespace q51 {

struct KeyDialogSpec {
    const char *objectName;
    const char *caption;
    const char *displayBox;
    const char *keyButton; // buttons are named <keyButton>_<index>
    std::vector<std::string> keys;
    std::vector<int> disabledKeys;
    const char *insertButton;
    const char *insertCaption;
    const char *exitButton;
    const char *exitCaption;
    int columns;
};

// "Function Key": F1 to F12 and the cursor keys, in stored-code order.
const KeyDialogSpec &FunctionKeyDialog();
// "Control Key": the control codes by index; "NUL" cannot be used, since a
// stored 0 would end the inserted text.
const KeyDialogSpec &ControlKeyDialog();

} // namespace q51
