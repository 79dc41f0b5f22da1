#pragma once
// Reads a firmware image file for the update, refusing one that is too
// large before reading it.

#include <QString>

#include "link/protocol/bytes.h"

namespace q51 {

struct FirmwareImage {
    enum class Problem { None, CannotOpen, TooLarge };
    Problem problem = Problem::None;
    protocol::Bytes bytes; // the whole file, only when there is no problem
};

// CannotOpen also covers a file that cannot be read to its end.
FirmwareImage LoadFirmwareImage(const QString &path);

} // namespace q51
