#pragma once
// Every caption, prompt and message of the stored-data window, in one place.

#include "link/transmit_texts.h"

namespace q51::stored_data_text {

inline constexpr const char *Heading = "Memory Managerment";
inline constexpr const char *OptionFrame = "Read or Clear Data Option";
inline constexpr const char *DataLogName = "Stored data"; // the log's accessible name
inline constexpr const char *AllGroupsOption = "All Saved Groups Data";
inline constexpr const char *RangeOption = "Data from Start Group to End Group";
inline constexpr const char *StartLabel = "Start Group NO :";
inline constexpr const char *EndLabel = "End Group NO :";
inline constexpr const char *ReadButton = "Read Group Data";
inline constexpr const char *SizesButton = "Get Size Of Groups";
inline constexpr const char *FreeSpaceButton = "Get Free Space";
inline constexpr const char *ClearButton = "Clear Data";
inline constexpr const char *CloseButton = "Close";

// Group-number boxes.
inline constexpr const char *InputMessage = "Input Message";
inline constexpr const char *NumberOutOfRange = "You Must Input A Number Between 0-2000";
inline constexpr const char *StartInvalid = "Your Input For Start Group No Is Invalid!";
inline constexpr const char *EndInvalid = "Your Input For End Group No Is Invalid!";
inline constexpr const char *EndBeforeStart = "End Group NO Must Be Larger Than Or Equal To Start Group NO!";

// Confirmations.
inline constexpr const char *ConfirmRead = "This will read saved group data!";
inline constexpr const char *ConfirmSizes = "This will read size of saved group data!";
inline constexpr const char *ConfirmFreeSpace = "This Will Read Free Group Space!";
inline constexpr const char *ConfirmClear = "This Will Clear Saved Group Data!";

// Message captions.
inline constexpr const char *ReadMemoryMessage = "Read Memory Message";
inline constexpr const char *GetSizeMessage = "Get Size Message";
inline constexpr const char *ReadFreeMemoryMessage = "Read Free Memory Message";
inline constexpr const char *ClearMemoryMessage = "Clear Memory Message";

// Results.
inline constexpr const char *TimeOutError = transmit_text::TimeOutError;
inline constexpr const char *ReplyCutShort = "Received Data Is Less Than Total Length!";
inline constexpr const char *ReadOk = "Read Saved Data OK!";
inline constexpr const char *ClearOk = "Send Clear Group Data Command OK!";
inline constexpr const char *SizesOk = "Get Size Of Group Data OK!";
inline constexpr const char *CheckSumError = "CheckSum Error!";
inline constexpr const char *SizesCheckSumError = "Check Sum Error!";
inline constexpr const char *DataLengthInvalid = "Data Length Invalid! ";
inline constexpr const char *CommandError = "Command Error!";
inline constexpr const char *ReadNotAcknowledged = "Send Read Saved Data Command Failed!";
inline constexpr const char *FreeSpaceNotAcknowledged = "Send Read Free Group Space Command Failed!";
inline constexpr const char *NotAcknowledged = transmit_text::SendCommandFailed;
inline constexpr const char *NoCommandSequence = "No Send Command Sequence!";
inline constexpr const char *NoDataInRange = "There Is No Data In The Range!";
// "Group 7 Data CheckSum Error!"
inline constexpr const char *GroupPrefix = "Group ";
inline constexpr const char *GroupCheckSumError = " Data CheckSum Error!";
// A group record whose length byte cannot be right.
inline constexpr const char *GroupLengthInvalid = " Data Length Invalid!";

// What the text box shows: "Group 0 : AB", "Group 0 : 12",
// "Free Group Space: 500".
inline constexpr const char *GroupSeparator = " : ";
inline constexpr const char *FreeSpacePrefix = "Free Group Space: ";

} // namespace q51::stored_data_text
