#pragma once
// A configuration block kept as a raw file of exactly 256 bytes.

#include <string>
#include <string_view>

#include "model/configuration.h"

namespace q51::sim {

// Returns an error text, empty on success; block is changed only on success.
std::string ReadBlockFile(const std::string &path, Block &block);
// Writes beside the file and renames, so a reader never sees half a block.
std::string WriteBlockFile(const std::string &path, const Block &block);
// The same for any contents.
std::string ReplaceFile(const std::string &path, std::string_view contents);

} // namespace q51::sim
