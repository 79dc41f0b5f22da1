#include "files/config_file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <string>

#include "files/checked_write.h"
#include "model/config_file_format.h"

namespace q51 {

namespace {

// A real file is about 1.5 KiB; anything this large is not one, and reading
// it whole would only waste memory.
constexpr qint64 MaxConfigurationFileSize = 1024 * 1024;

} // namespace

bool ReadConfigurationFile(const QString &path, Configuration &config, std::vector<SkippedLine> *skipped)
{
    // Devices and pipes could block or never end; only regular files qualify.
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.read(MaxConfigurationFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > MaxConfigurationFileSize)
        return false;
    file.close();

    if (!ParseConfigurationFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), config, skipped))
        return false;
    config.FileName = QDir::toNativeSeparators(path).toStdString();
    return true;
}

SaveResult WriteConfigurationFile(const QString &path, Configuration &config)
{
    const std::string bytes = FormatConfigurationFile(config);
    const QString failure = SaveWholeFile(path, QByteArray::fromStdString(bytes));
    if (!failure.isEmpty())
        return {false, failure};
    config.TakeSavedCopy();
    return {true, {}};
}

} // namespace q51
