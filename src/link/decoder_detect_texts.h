#pragma once
// What a search for a decoder found, in words: the same for the window and
// for q51ctl.

#include <QString>

#include "link/decoder_detect.h"

namespace q51 {

// "9600,N,8,1: answered, version Q51 V1.00" and the like, one per probe.
[[nodiscard]] QString ProbeLine(const ProbeResult &probe);

// One sentence on the whole search of a port.
[[nodiscard]] QString DetectSummary(const DetectResult &result);

// What the user may do about it; empty when a decoder was found.
[[nodiscard]] QString DetectAdvice(const DetectResult &result);

// The 30 characters of a version without the blanks that pad them.
[[nodiscard]] QString ShownVersion(const QString &version);

} // namespace q51
