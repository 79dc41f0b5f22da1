#pragma once
// The codec of each kind of setting, for the table in setting_codec.cpp.

#include "schema/setting_codec.h"

namespace q51::codecs {

const SettingCodec &ForField();          // a page table's field, "Other (0x05)" included
const SettingCodec &ForNumber();         // one byte as a decimal number
const SettingCodec &ForFixedLengths();   // "Variable" or two lengths
const SettingCodec &ForCodeId();         // one byte as a character
const SettingCodec &ForInsertionCodes(); // eight bytes of insertion text
const SettingCodec &ForReservedBits();   // bits no page describes
const SettingCodec &ForHeaderText();     // a header string of the file
const SettingCodec &ForHeaderNumber();   // the port number or transfer mode

// Codecs hold no state: one of each serves every setting of its kind.
template <typename Codec>
const SettingCodec &Single()
{
    static const Codec codec;
    return codec;
}

// A run of whole bytes from the setting's first byte: what most block
// kinds own, declared by their width alone.
class ByteRunCodec : public SettingCodec {
public:
    explicit ByteRunCodec(int width) : width_(width) {}
    [[nodiscard]] std::vector<TouchedBits> touches(const Setting &setting) const override;

protected:
    [[nodiscard]] static std::uint8_t byteAt(const Setting &setting, const Configuration &config, int offset = 0)
    {
        return config.block[std::size_t(setting.byte + offset)];
    }
    static void setByte(const Setting &setting, Configuration &config, int offset, int value)
    {
        config.SetBits(setting.byte + offset, 0xFF, value & 0xFF);
    }

private:
    int width_;
};

} // namespace q51::codecs
