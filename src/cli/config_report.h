#pragma once
// A configuration in words, generated from the pages' own field tables:
// every parameter by page, group and caption with the choice it holds, and
// the difference between two configurations by the same names. Bytes the
// tables do not describe (code lengths, code-ID characters, insertion and
// deletion groups, reserved bytes, the checksum) are listed as raw bytes.

#include <string>

#include "model/configuration.h"

namespace q51::cli {

// One line per parameter: "Page / Group / Caption: Choice  [byte 26 & 0xE0 = 0x80]",
// then the raw bytes no table describes.
std::string ReportConfiguration(const Block &block);

// Only what differs: "Page / Group / Caption: old -> new", then the raw
// bytes outside the tables that differ. Empty when the blocks agree.
std::string DiffConfigurations(const Block &before, const Block &after);

} // namespace q51::cli
