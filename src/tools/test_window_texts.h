#pragma once
// Every caption of the keyboard and RS232 test window, in one place.

namespace q51::test_window_text {

inline constexpr const char *WindowCaption = "Keyboard_RS232 Test";
inline constexpr const char *KeyboardHeading = "Keyboard";
inline constexpr const char *Rs232Heading = "RS232";
inline constexpr const char *ClearButton = "Clear";
inline constexpr const char *LineBreakOption = "CR+LF Enable";
// "COM 1 :  9600,N,8,1": the port number, then the settings string.
inline constexpr const char *PortPrefix = "COM ";
inline constexpr const char *PortSeparator = " :  ";

} // namespace q51::test_window_text
