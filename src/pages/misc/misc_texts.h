#pragma once
// Every message of the Miscellaneous page and its dialogs, in one place.

namespace q51::misc_text {

inline constexpr const char *MessageTitle = "Decoder Configuration Setup";
inline constexpr const char *OnlyOneCharacter = "Allow only one character.";
inline constexpr const char *NumberTooLarge = "You must input a number less than 100";

} // namespace q51::misc_text
