#pragma once
// Every caption, title and prompt the main window shows, in one place.

#include "files/config_file_texts.h"

namespace q51::text {

inline constexpr const char *StartUpTitlePrefix = "Q51 & V51 Decoder Configuration: ";
inline constexpr const char *OpenedTitlePrefix = "Bar Decoder Setup: "; // after New and Open
inline constexpr const char *SavedAsTitlePrefix = "Decoder Configuration Setup: ";

inline constexpr const char *SetupTitle = "Decoder Configuration Setup";
inline constexpr const char *BarDecoderSetup = "Bar Decoder Setup";
inline constexpr const char *ConfigurationSetup = "Configuration Setup";

inline constexpr const char *ChangedSavePrompt = "Configuration had been changed,do you want to save your file?";
inline constexpr const char *ExitSavePrompt = "Do you want to save your file?";
inline constexpr const char *SetAllDefaultsPrompt = "Are you sure to set all to default values?";
inline constexpr const char *KeyboardPortWarning =
    "There is an error for keyboard, you can download and upload CFG data only thru RS232!";

inline constexpr const char *FileFilter = "Config Setup Files(*.cfg)";
inline constexpr const char *FileSuffix = "cfg";
// File > "Export Report...": its save dialog.
inline constexpr const char *ExportReportTitle = "Export Report";
inline constexpr const char *ReportFilter = "Report (*.html *.pdf)";

inline constexpr const char *HelpProgram = "hh";
inline constexpr const char *HelpFile = "q51_help.chm";

} // namespace q51::text
