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

namespace q51 {

inline constexpr std::string_view ConfigurationTextVersionLine = "q51 configuration text 1";

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

} // namespace q51
