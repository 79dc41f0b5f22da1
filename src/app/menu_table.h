#pragma once
// The menu bar and toolbar as data: captions with access keys, shortcuts,
// and what each item does.

#include <array>

namespace q51 {

enum class Command {
    None, FileNew, FileOpen, FileSave, FileSaveAs, FileExportReport, FileExit,
    EditUndo, EditRedo, EditFind, EditChanged,
    ToggleInterface, ToggleComm, ToggleBar, ToggleMisc, SetAllDefaults, ToggleTransmit,
    ToolIsp, ToolCommand, ToolKrTest, ToolMemory, HelpContents, HelpAbout,
    ToolFindDecoder, ToolCompare, ToolStation,
};

struct MenuItem {
    const char *menu;     // objectName of the menu it sits in
    const char *name;     // objectName of the item; a separator when caption is null
    const char *caption;
    const char *shortcut; // "; " between several
    Command command;
    bool checkable;
    bool available; // tool items: enabled when the program supplies their window
};

struct Menu {
    const char *name;
    const char *caption;
};

inline constexpr std::array<Menu, 5> Menus{{
    {"mnuFile", "&File"},
    {"mnuEdit", "&Edit"},
    {"mnuConfig", "&Configuration"},
    {"mnuTool", "&Tools"},
    {"mnuHelp", "&Help"},
}};

inline constexpr auto MenuItems = std::to_array<MenuItem>({
    {"mnuFile", "mnuFileNew", "&New", "Ctrl+N", Command::FileNew, false, true},
    {"mnuFile", "mnuFileOpen", "&Open...", "Ctrl+O", Command::FileOpen, false, true},
    {"mnuFile", "mnuFileSave", "&Save", "Ctrl+S", Command::FileSave, false, true},
    {"mnuFile", "mnuFileSaveAs", "Save &As...", "Ctrl+A", Command::FileSaveAs, false, true},
    {"mnuFile", "mnuFileExportReport", "&Export Report...", nullptr, Command::FileExportReport, false, true},
    {"mnuFile", "mnuMinus", nullptr, nullptr, Command::None, false, true},
    {"mnuFile", "mnuFileExit", "E&xit", "Ctrl+X", Command::FileExit, false, true},
    {"mnuEdit", "mnuEditUndo", "&Undo", "Ctrl+Z", Command::EditUndo, false, true},
    {"mnuEdit", "mnuEditRedo", "&Redo", "Ctrl+Shift+Z; Ctrl+Y", Command::EditRedo, false, true},
    {"mnuEdit", "mnuEditMinus", nullptr, nullptr, Command::None, false, true},
    {"mnuEdit", "mnuEditFind", "&Find Setting...", "Ctrl+F", Command::EditFind, false, true},
    {"mnuEdit", "mnuEditChanged", "&Changed Settings", "Ctrl+D", Command::EditChanged, true, true},
    {"mnuConfig", "mnuConfigInterface", "&Interface", "Ctrl+F3", Command::ToggleInterface, true, true},
    {"mnuConfig", "mnuConfigComm", "&Communication", "Ctrl+F4", Command::ToggleComm, true, true},
    {"mnuConfig", "mnuConfigBar", "&Bar Codes and Others", "Ctrl+F5", Command::ToggleBar, true, true},
    {"mnuConfig", "mnuConfigMisc", "&Miscellaneous", "Ctrl+F6", Command::ToggleMisc, true, true},
    {"mnuConfig", "mnuMinus1", nullptr, nullptr, Command::None, false, true},
    {"mnuConfig", "mnuConfigDefault", "&Set All Defaults", nullptr, Command::SetAllDefaults, false, true},
    {"mnuConfig", "mnuMinus2", nullptr, nullptr, Command::None, false, true},
    {"mnuConfig", "mnuConfigTransmit", "Transmit", nullptr, Command::ToggleTransmit, false, true},
    {"mnuTool", "mnuToolISP", "&ISP", nullptr, Command::ToolIsp, false, false},
    {"mnuTool", "mnuToolCmd", "Send &Command", nullptr, Command::ToolCommand, false, false},
    {"mnuTool", "mnuToolsKRtest", "&KR Test", nullptr, Command::ToolKrTest, false, false},
    {"mnuTool", "mnuToolMemory", "Read &Memory...", nullptr, Command::ToolMemory, false, false},
    {"mnuTool", "mnuToolFindDecoder", "&Find Decoder...", nullptr, Command::ToolFindDecoder, false, false},
    {"mnuTool", "mnuToolCompare", "Com&pare with Decoder...", nullptr, Command::ToolCompare, false, false},
    {"mnuTool", "mnuToolStation", "&Station...", nullptr, Command::ToolStation, false, false},
    {"mnuHelp", "mnuHelpContents", "&Contents", nullptr, Command::HelpContents, false, true},
    {"mnuHelp", "mnuHelpAbout", "&About", nullptr, Command::HelpAbout, false, true},
});

struct ToolButton {
    const char *key;
    const char *tooltip;
    const char *menuItem; // the menu item whose command and availability it shares
};

inline constexpr std::array<ToolButton, 9> ToolButtons{{
    {"new", "New File", "mnuFileNew"},
    {"open", "Open File", "mnuFileOpen"},
    {"save", "Save File", "mnuFileSave"},
    {"irm", "Interface and Reading Mode", "mnuConfigInterface"},
    {"com", "Communication Parameters", "mnuConfigComm"},
    {"bar", "Bar Codes and Others", "mnuConfigBar"},
    {"mis", "Miscellaneous Parameters", "mnuConfigMisc"},
    {"transmit", "Transmit", "mnuConfigTransmit"},
    {"KRtest", "Keyboard & RS232 Test", "mnuToolsKRtest"},
}};

// The ActivePage number a command toggles, or 0.
constexpr int PageOf(Command command)
{
    switch (command) {
    case Command::ToggleInterface: return 1;
    case Command::ToggleComm: return 2;
    case Command::ToggleBar: return 3;
    case Command::ToggleMisc: return 4;
    case Command::ToggleTransmit: return 5;
    default: return 0;
    }
}

} // namespace q51
