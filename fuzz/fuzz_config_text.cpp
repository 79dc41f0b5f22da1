// Arbitrary text fed to the configuration text reader. It either refuses
// the text and leaves the configuration as it was, or accepts it; then the
// export of the result reads back to the same block and header values.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/factory_defaults.h"
#include "schema/config_text.h"

using namespace q51;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    Configuration config;
    config.block = FactoryBlock();
    const Configuration before = config;
    if (ImportConfigurationText(text, config)) {
        if (config.block != before.block || config.Description != before.Description)
            __builtin_trap();
        return 0;
    }
    // Header strings may hold a line break only through a broken text, and
    // none is accepted: every value ends at its line's end.
    Configuration again;
    if (ImportConfigurationText(ExportConfigurationText(config), again) || again.block != config.block ||
        again.DeviceName != config.DeviceName || again.UserName != config.UserName ||
        again.BuildingDate != config.BuildingDate || again.Description != config.Description ||
        again.PortNumber != config.PortNumber || again.TransferMode != config.TransferMode)
        __builtin_trap();
    return 0;
}
