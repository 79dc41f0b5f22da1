#pragma once
// A configuration as text: a version line, then one "key = value" a line,
// grouped by page and panel under comment headings, every setting of
// setting_catalog.h in its exact notation, so that text and block convert
// both ways without loss. Comments ("#") and blank lines are ignored; a key
// the text leaves out keeps the value the configuration had before.

#include <optional>
#include <string>
#include <string_view>

#include "model/configuration.h"
#include "schema/setting_catalog.h"

namespace q51 {

inline constexpr std::string_view ConfigurationTextVersionLine = "q51 configuration text 1";
// The version line without its number, so a text from a later version is
// told apart from one that is no configuration text at all.
inline constexpr std::string_view ConfigurationTextVersionPrefix = "q51 configuration text ";

// The ports the window offers, Com 1 to 4; a file may hold any number.
inline constexpr int FirstPortNumber = 1;
inline constexpr int LastPortNumber = 4;
constexpr bool IsOfferedPortNumber(int number)
{
    return number >= FirstPortNumber && number <= LastPortNumber;
}

// Where the text form marks a value that differs from the factory block.
inline constexpr std::string_view FactoryValueComment = "# factory: ";

std::string ExportConfigurationText(const Configuration &config);

struct TextProblem {
    int line = 0;        // 1-based
    std::string message; // "line 7: misc.others.accuracy: ..." ready to show
};

// Applies every line to config, or, at the first bad line, changes nothing
// and says what is wrong there.
std::optional<TextProblem> ImportConfigurationText(std::string_view text, Configuration &config);

// What the text form and set refuse in a value the setting's notation
// took: header text the file's code page cannot hold, a port number the
// window does not offer. Says why, after "key: ".
std::optional<std::string> RefusedHeaderValue(const Setting &setting, const Configuration &config,
                                              std::string_view typed);

// A value echoed in an error message, cut after 80 characters so that a
// runaway value does not flood the terminal.
std::string EchoedValue(std::string_view text);

} // namespace q51
