#pragma once
// Files named on the command line: "-" stands for stdin or stdout, a
// missing file says so, and a .cfg is saved all or nothing. Each returns an
// exit code, the failure already on stderr.

#include <QByteArray>
#include <QString>

#include "cli/command_line.h"
#include "model/configuration.h"

namespace q51::cli {

// Whether a .cfg with missing or unusable lines is loaded all the same
// (the window's way: those settings keep their factory values).
enum class DamagedFiles { Refuse, Accept };

inline DamagedFiles DamagedFilesOf(const CommandLine &line)
{
    return line.acceptDamaged ? DamagedFiles::Accept : DamagedFiles::Refuse;
}

// A .cfg (or stdin) into config. A damaged one is refused, naming its first
// bad line, unless damaged says Accept.
int LoadConfigurationArgument(const QString &path, Configuration &config, DamagedFiles damaged = DamagedFiles::Refuse);
// The whole of a file (or stdin), at most a mebibyte.
int ReadArgument(const QString &path, QByteArray &bytes);
// BadFile unless path (not "-") can be written, checked before any work
// that writing it would end.
int CheckWritable(const QString &path);
// config as a .cfg to path (or stdout), all or nothing; a failure is told.
int SaveConfigurationArgument(const QString &path, Configuration &config);
// Bytes to path, all or nothing (or to stdout); a failure is told.
int WriteArgument(const QString &path, const QByteArray &bytes);

inline bool IsStandardStream(const QString &path)
{
    return path == QLatin1String("-");
}

} // namespace q51::cli
