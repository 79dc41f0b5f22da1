#pragma once
// How a setting reads and writes its part of a configuration. Each kind of
// setting has one codec; a setting of the catalogue declares its kind and
// place (field table entry, byte, mask, header member) and its codec does
// the rest, so the bits a setting touches follow from its declaration and
// every reader and writer (pages, text form, reports, diff, the document)
// goes through the same code.

#include <string>
#include <string_view>
#include <vector>

#include "schema/setting_catalog.h"
#include "schema/setting_values.h"

namespace q51 {

class SettingCodec {
public:
    virtual ~SettingCodec() = default;

    // Every (byte, mask) the setting owns; none for the file's own values.
    [[nodiscard]] virtual std::vector<TouchedBits> touches(const Setting &setting) const = 0;
    [[nodiscard]] virtual std::string read(const Setting &setting, const Configuration &config,
                                           ValueForm form) const = 0;
    // Writes the value, or writes nothing and returns false.
    virtual bool write(const Setting &setting, Configuration &config, std::string_view text,
                       ValueSource source) const = 0;
    // What the setting accepts, in words, for error messages.
    [[nodiscard]] virtual std::string allowed(const Setting &setting, ValueSource source) const = 0;
    // Whether the setting's part of a and b differs: its touched bits.
    [[nodiscard]] virtual bool differs(const Setting &setting, const Configuration &a, const Configuration &b) const;
};

[[nodiscard]] const SettingCodec &CodecOf(SettingKind kind);

} // namespace q51
