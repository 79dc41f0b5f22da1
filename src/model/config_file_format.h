#pragma once
// The *.cfg configuration file shared with existing installations: 263 lines
// ended by CR LF, "zenu", the four header strings in Windows-1252, the port
// number, the transfer mode and the 256 block bytes, one number per line.

#include <string>
#include <string_view>
#include <vector>

#include "model/configuration.h"

namespace q51 {

inline constexpr std::string_view ConfigurationFileMagic = "zenu";
inline constexpr int ConfigurationFileLineCount = 263;

// The exact bytes of the file. A line break inside a header string is written
// as one blank, so the file always has its 263 lines.
std::string FormatConfigurationFile(const Configuration &config);

// A line the reader could not use; its target kept its previous value.
struct SkippedLine {
    enum class Reason { Missing, NotANumber, OutOfRange };
    int line = 0; // 1-based, as an editor shows it
    Reason reason = Reason::Missing;
    std::string text; // the line as found (empty when missing)
};

// Returns false, and changes nothing, unless line 1 is exactly "zenu".
// Otherwise sets the header strings, PortNumber, TransferMode, the block and
// the saved copy line by line. A value that is missing, not a number or out
// of range keeps its previous value, and reading goes on with the next line;
// each such line is listed in skipped, when given. FileName is left to the
// caller.
bool ParseConfigurationFile(std::string_view bytes, Configuration &config,
                            std::vector<SkippedLine> *skipped = nullptr);

} // namespace q51
