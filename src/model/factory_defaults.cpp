#include "model/factory_defaults.h"

namespace q51 {

namespace {

Block makeFactoryBlock()
{
    Block b{}; // every index not set below is 0x00

    // Bytes 0..16: UPC/EAN options and the symbology enable bits.
    const std::uint8_t head[] = {0xBF, 0xA3, 0x00, 0x00, 0xB0, 0xC0, 0xB8, 0x30, 0x30,
                                 0xA0, 0x40, 0x20, 0x30, 0x30, 0x30, 0x30, 0x30};
    for (std::size_t i = 0; i < sizeof head; ++i)
        b[i] = head[i];

    b[24] = 0xFF; // serial line settings
    b[27] = 0xB0;
    b[28] = 0xC9;
    b[29] = 0x08;
    b[30] = 0xFF;
    b[31] = 0x8F; // magnetic-stripe options
    b[32] = 0x0D; // terminator CR LF
    b[33] = 0x0A;
    b[34] = 0x0D;
    b[36] = 0xE9;
    for (int i = 37; i <= 79; ++i) // fixed code lengths
        b[static_cast<std::size_t>(i)] = 0xFF;

    // Code-ID letters, one per symbology.
    b[80] = 'A';
    b[81] = 'B';
    b[82] = 'P';
    b[83] = 'Q';
    for (int k = 84; k <= 99; ++k) // E to T
        b[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(k - 15);
    const char tail[] = {'D', 'C', 'X', 'Y', 'Z'};
    for (std::size_t i = 0; i < sizeof tail; ++i)
        b[104 + i] = static_cast<std::uint8_t>(tail[i]);

    // Insertion groups (10 bytes) and deletion groups (3 bytes): symbology "None".
    for (int g = 0; g < 6; ++g) {
        b[static_cast<std::size_t>(112 + 10 * g)] = 0xFF;
        b[static_cast<std::size_t>(172 + 3 * g)] = 0xFF;
    }

    // Minimum code lengths.
    const std::uint8_t minima[] = {0x00, 0x00, 0x01, 0x01, 0x04, 0x02, 0x04, 0x03, 0x01,
                                   0x02, 0x01, 0x03, 0x01, 0x01, 0x01, 0x00, 0x00, 0x01};
    for (std::size_t i = 0; i < sizeof minima; ++i)
        b[190 + i] = minima[i];
    return b;
}

} // namespace

const Block &FactoryBlock()
{
    static const Block factory = makeFactoryBlock();
    return factory;
}

void LoadFactoryDefaults(Configuration &config)
{
    config.block = FactoryBlock();
}

void ResetHeaderStrings(Configuration &config, HeaderPreset preset, const std::string &today)
{
    config.DeviceName = DefaultDeviceName;
    config.UserName = DefaultUserName;
    config.BuildingDate = today;
    config.Description = preset == HeaderPreset::StartUp ? StartUpDescription : NewFileDescription;
    config.FileName = NewFileName;
}

} // namespace q51
