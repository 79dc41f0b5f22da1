#pragma once
// Reading and writing *.cfg files on disk. The byte layout lives in
// model/config_file_format.h; this adds the file handling around it.

#include <QString>

#include <vector>

#include "model/config_file_format.h"
#include "model/configuration.h"

namespace q51 {

// Accepts the file only if it can be read and starts with the magic line;
// then fills the configuration from it and sets FileName to path. A rejected
// file changes nothing. Lines it had to skip are listed in skipped.
bool ReadConfigurationFile(const QString &path, Configuration &config, std::vector<SkippedLine> *skipped = nullptr);

struct SaveResult {
    bool ok = false;
    QString reason; // why the save failed, in plain words; empty on success
};

// Replaces the file as a whole or not at all, so a failed save never damages
// the previous file. Only a complete save takes the saved copy; on failure
// the configuration is left as it was.
SaveResult WriteConfigurationFile(const QString &path, Configuration &config);

} // namespace q51
