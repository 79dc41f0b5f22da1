#include "schema/setting_codec.h"

#include "schema/codecs/codecs.h"

namespace q51 {

bool SettingCodec::differs(const Setting &setting, const Configuration &a, const Configuration &b) const
{
    for (const TouchedBits &bits : touches(setting)) {
        if (a.GetBits(bits.byte, bits.mask) != b.GetBits(bits.byte, bits.mask))
            return true;
    }
    return false;
}

const SettingCodec &CodecOf(SettingKind kind)
{
    switch (kind) {
    case SettingKind::Field: return codecs::ForField();
    case SettingKind::Number: return codecs::ForNumber();
    case SettingKind::FixedLengths: return codecs::ForFixedLengths();
    case SettingKind::CodeId: return codecs::ForCodeId();
    case SettingKind::InsertionCodes: return codecs::ForInsertionCodes();
    case SettingKind::ReservedBits: return codecs::ForReservedBits();
    case SettingKind::HeaderText: return codecs::ForHeaderText();
    case SettingKind::HeaderNumber: break;
    }
    return codecs::ForHeaderNumber();
}

namespace codecs {

std::vector<TouchedBits> ByteRunCodec::touches(const Setting &setting) const
{
    std::vector<TouchedBits> bytes;
    for (int i = 0; i < width_; ++i)
        bytes.push_back({setting.byte + i, 0xFF});
    return bytes;
}

} // namespace codecs

} // namespace q51
