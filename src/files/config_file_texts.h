#pragma once
// What every reader of configuration files says of a file that is not one.

namespace q51::text {

inline constexpr const char *NotAConfigurationFile = "This File Is Not A Configuration Setup File";

} // namespace q51::text
