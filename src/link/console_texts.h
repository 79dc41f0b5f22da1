#pragma once
// Every caption, label and message of the command console, in one place.

#include "link/transmit_texts.h"

namespace q51::console_text {

inline constexpr const char *WindowCaption = "Command";
inline constexpr const char *Heading = "Send Command";

// Items of the command list, by index.
inline constexpr const char *StatusItem = "Status";
inline constexpr const char *TriggerItem = "Trigger";

// The transfer path, by index.
inline constexpr const char *PathCaption = "Interface";
inline constexpr const char *Rs232Option = "RS232";
inline constexpr const char *KeyboardOption = "Keyboard";

inline constexpr const char *SendButton = "Send Command";
// Accessible names of the controls that show no caption of their own.
inline constexpr const char *CommandListName = "Command";
inline constexpr const char *LogName = "Decoder replies";
inline constexpr const char *ExitButton = "Exit";
// Initial text of the reply box.
inline constexpr const char *ReplyBoxText = "Text2";

inline constexpr const char *MessageCaption = "Command Message";
// Result: Send + word + outcome, e.g. "Send Status Command OK!".
inline constexpr const char *SendPrefix = "Send";
inline constexpr const char *StatusWord = " Status ";
inline constexpr const char *TriggerWord = " Trigger ";
inline constexpr const char *CommandOk = "Command OK!";
inline constexpr const char *CommandFailed = "Command Failed!";
// The keyboard handshake's time-out, the same words as the transfer window's.
inline constexpr const char *TimesOutError = transmit_text::TimesOutError;

} // namespace q51::console_text
