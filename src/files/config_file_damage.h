#pragma once
// Words for the lines a .cfg reading had to skip, shared by the window's
// notice and q51ctl's refusal so both name a damaged line alike.

#include <QString>
#include <QStringList>

#include <vector>

#include "model/config_file_format.h"

namespace q51 {

// "line 101 (byte 93): missing; the file ends after line 100"
QString DescribeSkippedLine(const SkippedLine &line, const std::vector<SkippedLine> &all);

// Every skipped line, a run of missing lines told once.
QStringList DescribeSkippedLines(const std::vector<SkippedLine> &skipped);

} // namespace q51
