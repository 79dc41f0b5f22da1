#include "schema/key_dialog_tables.h"

#include "schema/insertion_text.h"

namespace q51 {

const KeyDialogSpec &FunctionKeyDialog()
{
    static const KeyDialogSpec spec{
        .objectName = "DlgKey",
        .caption = "Function Key",
        .displayBox = "txtkey",
        .keyButton = "CmdKey",
        .keys = {KeyNames().begin(), KeyNames().end()},
        .disabledKeys = {},
        .insertButton = "OKButton",
        .insertCaption = "Insert Key",
        .exitButton = "CancelButton",
        .exitCaption = "Exit",
        .columns = 6,
    };
    return spec;
}

const KeyDialogSpec &ControlKeyDialog()
{
    static const KeyDialogSpec spec{
        .objectName = "DlgCtrl",
        .caption = "Control Key",
        .displayBox = "txtCtrl",
        .keyButton = "btnCtrl",
        .keys = {ControlCodeNames().begin(), ControlCodeNames().end()},
        .disabledKeys = {0}, // NUL
        .insertButton = "Command1",
        .insertCaption = "Insert Control Key",
        .exitButton = "Command2",
        .exitCaption = "Exit",
        .columns = 8,
    };
    return spec;
}

} // namespace q51
