#include "cli/file_arguments.h"

#include <QFile>
#include <QFileInfo>

#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "files/checked_write.h"
#include "files/config_file_damage.h"
#include "files/config_file_io.h"
#include "files/config_file_texts.h"
#include "model/config_file_format.h"

namespace q51::cli {

namespace {

constexpr qint64 MaxInputSize = 1024 * 1024;

int failure(const QString &path, const QString &reason)
{
    PrintFailure(path + QStringLiteral(": ") + reason);
    return BadFile;
}

int missing(const QString &path)
{
    return failure(path, QStringLiteral("No such file or directory"));
}

} // namespace

int ReadArgument(const QString &path, QByteArray &bytes)
{
    QFile file;
    if (IsStandardStream(path)) {
        if (!file.open(stdin, QIODevice::ReadOnly))
            return failure(QStringLiteral("-"), file.errorString());
    } else {
        if (!QFileInfo::exists(path))
            return missing(path);
        file.setFileName(path);
        if (!QFileInfo(path).isFile())
            return failure(path, QStringLiteral("not a file"));
        if (!file.open(QIODevice::ReadOnly))
            return failure(path, file.errorString());
    }
    bytes = file.read(MaxInputSize + 1);
    if (bytes.size() > MaxInputSize)
        return failure(path, QStringLiteral("larger than a configuration can be"));
    return Success;
}

int LoadConfigurationArgument(const QString &path, Configuration &config, DamagedFiles damaged)
{
    const QString notConfiguration = QString::fromUtf8(text::NotAConfigurationFile);
    std::vector<SkippedLine> skipped;
    if (!IsStandardStream(path)) {
        if (!QFileInfo::exists(path))
            return missing(path);
        if (!ReadConfigurationFile(path, config, &skipped))
            return failure(path, notConfiguration);
    } else {
        QByteArray bytes;
        if (const int code = ReadArgument(path, bytes); code != Success)
            return code;
        if (!ParseConfigurationFile(std::string_view(bytes.constData(), std::size_t(bytes.size())), config, &skipped))
            return failure(path, notConfiguration);
    }
    // A script cannot see what a reading skipped: a cut-short file would
    // pass for a whole one and be sent or compared as if it were.
    if (!skipped.empty() && damaged == DamagedFiles::Refuse)
        return failure(path, DescribeSkippedLine(skipped.front(), skipped)
                                 + QStringLiteral(" (--accept-damaged loads it, keeping factory values there)"));
    return Success;
}

int CheckWritable(const QString &path)
{
    if (IsStandardStream(path))
        return Success;
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return failure(path, QStringLiteral("not a file"));
    // The save goes through a temporary file beside the target, so the
    // folder must take new files; an existing file must be writable too.
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        return missing(path);
    if (!folder.isWritable() || (target.exists() && !target.isWritable()))
        return failure(path, QStringLiteral("Permission denied"));
    return Success;
}

int SaveConfigurationArgument(const QString &path, Configuration &config)
{
    return WriteArgument(path, QByteArray::fromStdString(FormatConfigurationFile(config)));
}

int WriteArgument(const QString &path, const QByteArray &bytes)
{
    if (IsStandardStream(path))
        return PrintBytes(bytes) ? Success : BadFile; // told once, at the end, by FinishStandardOutput
    if (const int code = CheckWritable(path); code != Success)
        return code;
    if (const QString reason = SaveWholeFile(path, bytes); !reason.isEmpty())
        return failure(path, reason);
    return Success;
}

} // namespace q51::cli
