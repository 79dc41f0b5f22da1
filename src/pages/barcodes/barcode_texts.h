#pragma once
// The one message of the bar-code page.

namespace q51 {

inline constexpr const char *BarCodeMessageTitle = "Decoder Configuration Setup";
inline constexpr const char *MinimumLengthMessage = "You must input a integer less than 100";

} // namespace q51
