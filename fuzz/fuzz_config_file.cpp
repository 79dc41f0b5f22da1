// Feeds arbitrary bytes to the configuration file reader, writes back what it
// accepted, and checks that the written file reads back to the same bytes.
// Also hands the raw bytes to the writer as a header string, which need not
// be valid UTF-8.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "model/config_file_format.h"

namespace {

int countLines(const std::string &file)
{
    int lines = 0;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (file[i] == '\r' && i + 1 < file.size() && file[i + 1] == '\n') {
            ++lines;
            ++i;
        } else if (file[i] == '\r' || file[i] == '\n') {
            std::abort(); // a stray line end would shift every later value
        }
    }
    return lines;
}

void checkShape(const std::string &file)
{
    if (countLines(file) != q51::ConfigurationFileLineCount || file.size() < 2 || file.substr(file.size() - 2) != "\r\n")
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);

    q51::Configuration config;
    std::vector<q51::SkippedLine> skipped;
    if (q51::ParseConfigurationFile(input, config, &skipped)) {
        // Skipped lines come in file order, each a value line of the file,
        // and once one is missing every later one is.
        int previous = 1;
        bool missing = false;
        for (const q51::SkippedLine &line : skipped) {
            const bool isMissing = line.reason == q51::SkippedLine::Reason::Missing;
            if (line.line <= previous || line.line > q51::ConfigurationFileLineCount || (missing && !isMissing)
                || line.text.size() > 80)
                std::abort();
            previous = line.line;
            missing = isMissing;
        }
        const std::string written = q51::FormatConfigurationFile(config);
        checkShape(written);
        q51::Configuration reopened;
        std::vector<q51::SkippedLine> none;
        if (!q51::ParseConfigurationFile(written, reopened, &none) || q51::FormatConfigurationFile(reopened) != written
            || !none.empty())
            std::abort();
    }

    q51::Configuration typed;
    typed.Description = std::string(input);
    checkShape(q51::FormatConfigurationFile(typed));
    return 0;
}
