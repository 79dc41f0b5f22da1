#pragma once
// A configuration in words, generated from the setting catalogue: every
// setting by page, panel and caption with its value and the bits it holds,
// and the difference between two configurations by the same names. The
// command line prints it; the window's Export Report lays it out as a page.

#include <string>
#include <vector>

#include "model/configuration.h"

namespace q51 {

struct ReportLine {
    std::string key;
    std::string page;
    std::string panel;
    std::string caption;
    std::string value; // as the page shows it
    std::string bits;  // "byte 26 & 0xE0 = 0x80"; empty for the file's header values
};

// Every setting in catalogue order; the file's header values only when asked.
std::vector<ReportLine> ReportLines(const Configuration &config, bool withHeader);

// "Page / Panel / Caption: Value  [bits]" a line.
std::string ReportConfiguration(const Configuration &config, bool withHeader);

struct DiffScope {
    bool header = false;       // compare header strings, port and transfer mode
    bool derivedBytes = false; // compare the checksum bytes every download rewrites
};

inline constexpr const char *HeaderDiffHeading = "File header:\n";

struct DiffLine {
    std::string key;
    std::string name; // "Page / Panel / Caption"
    std::string from;
    std::string to;
    bool header = false;
};

// Only what differs, block settings first, then the file's header values.
std::vector<DiffLine> DiffLines(const Configuration &before, const Configuration &after, DiffScope scope);

// "Page / Panel / Caption: old -> new" a line, the header values in a
// section of their own. Empty when nothing differs.
std::string DiffConfigurations(const Configuration &before, const Configuration &after, DiffScope scope);

} // namespace q51
