#pragma once
// Every caption, status line and message of the firmware-update window, in
// one place.

#include "link/transmit_texts.h"

namespace q51::firmware_update_text {

inline constexpr const char *WindowCaption = "Transmit";
inline constexpr const char *Heading = "ISP";
inline constexpr const char *FileNameLabel = "File Name:";
inline constexpr const char *BrowseButton = "...";
inline constexpr const char *StatusLabel = "Status:";
inline constexpr const char *TransmitButton = "Transmit";
inline constexpr const char *CloseButton = "Close";
// Description and pattern in one, as the file dialog shows it.
inline constexpr const char *FileFilter = "Bin File(*.bin)";

// Status line, in the order of an update.
inline constexpr const char *StatusAccessing = "Be Transmiting ISP Command";
inline constexpr const char *StatusAccessOk = "Access ISP Command OK!";
inline constexpr const char *StatusErasing = "Be transmiting Erase Command!";
inline constexpr const char *StatusEraseOk = "Erase Command OK!";
// Followed by the page number, " : " and the attempt, each with a sign place.
inline constexpr const char *StatusPageSending = "Be transmiting Data For Page ";
inline constexpr const char *StatusPageAttempt = " : ";
// The page number with its sign place between the two.
inline constexpr const char *StatusPageOkBefore = "Transmit Data For Page ";
inline constexpr const char *StatusPageOkAfter = " OK!";

// Message caption and texts.
inline constexpr const char *IspMessage = "ISP Message";
inline constexpr const char *NoFileName = "You Must Input a Bin File Name";
// Around the path.
inline constexpr const char *CannotOpenBefore = "Cann't Open File '";
inline constexpr const char *CannotOpenAfter = "'!";
inline constexpr const char *FileTooLarge = "File's Size is larger than 64K!";
inline constexpr const char *TimeOutError = transmit_text::TimeOutError;
inline constexpr const char *WrongVersion = "A Incorrect Version No!";
inline constexpr const char *AccessFailed = "Access ISP Command Failed!";
inline constexpr const char *EraseFailed = "Erase Command Failed!";
inline constexpr const char *PageFailed = "Transmit Data Failled!";
inline constexpr const char *UpdateOk = "ISP Transmit OK!";
// The end frame could not be sent: the pages are in, the update is not done.
inline constexpr const char *EndFrameFailed = "Transmit End Command Failed!";

} // namespace q51::firmware_update_text
