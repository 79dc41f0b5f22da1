#pragma once
// Files named on the command line: "-" stands for stdin or stdout, a
// missing file says so, and a .cfg is saved all or nothing. Each returns an
// exit code, the failure already on stderr.

#include <QByteArray>
#include <QString>

#include "model/configuration.h"

namespace q51::cli {

// A .cfg (or stdin) into config.
int LoadConfigurationArgument(const QString &path, Configuration &config);
// The whole of a file (or stdin), at most a mebibyte.
int ReadArgument(const QString &path, QByteArray &bytes);
// BadFile unless path (not "-") can be written, checked before any work
// that writing it would end.
int CheckWritable(const QString &path);
// config as a .cfg to path (or stdout).
int SaveConfigurationArgument(const QString &path, Configuration &config);
// Bytes to path, all or nothing (or to stdout).
int WriteArgument(const QString &path, const QByteArray &bytes);

inline bool IsStandardStream(const QString &path)
{
    return path == QLatin1String("-");
}

} // namespace q51::cli
