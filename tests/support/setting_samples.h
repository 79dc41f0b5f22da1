#pragma once
// A few values each kind of setting takes, in its own notation: every
// choice of a field, the ends of a number's range, both forms of the others.

#include <string>
#include <vector>

#include "schema/caption_text.h"
#include "schema/setting_catalog.h"

namespace q51::test {

inline std::vector<std::string> sampleValues(const q51::Setting &setting)
{
    using q51::SettingKind;
    switch (setting.kind) {
    case SettingKind::Field: {
        std::vector<std::string> captions;
        for (const q51::Choice &choice : setting.field.choices)
            captions.push_back(q51::PlainCaption(choice.caption));
        return captions;
    }
    case SettingKind::Number: return {"0", "7", std::to_string(setting.pageMaximum)};
    case SettingKind::FixedLengths: return {"10, 20", "Variable", "0, 255"};
    case SettingKind::CodeId: return {"'B'", "none", "0x7E"};
    case SettingKind::InsertionCodes: return {"\"AB\"", "\"{F10}x\"", "0x41 0x42"};
    case SettingKind::ReservedBits: return {q51::HexByte(setting.mask), "0x00"};
    case SettingKind::HeaderText: return {"\"Line 3\"", "\"\""};
    case SettingKind::HeaderNumber: return {"2", "1"};
    }
    return {};
}

} // namespace q51::test
