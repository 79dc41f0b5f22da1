#pragma once
// A setting's value as text and back. One notation serves the text form,
// get/set and reports: choice captions, "Other (0x05)" for stored values no
// choice stands for, decimal lengths, 'B' or {CR} for code IDs, quoted
// insertion text in the page's brace notation, hex for reserved bits.

#include <optional>
#include <string>
#include <string_view>

#include "schema/setting_catalog.h"

namespace q51 {

enum class ValueForm {
    Shown, // what the page shows (baud code 6 reads "9600")
    Exact, // text that writes back exactly the stored bits
};

std::string SettingValue(const Setting &setting, const Configuration &config, ValueForm form);

// Where a value comes from. A text restores what a block held, so it takes
// every stored value; a user setting one value takes only what the page
// would take (lengths and positions below 100, no control-code IDs) and
// may name a choice by the start of its caption where only one starts so.
enum class ValueSource { Text, User };

// Writes the value, or returns (and writes nothing) what the setting allows.
std::optional<std::string> WriteSettingValue(const Setting &setting, Configuration &config, std::string_view text,
                                             ValueSource source);

// What the page does after a click on the setting besides writing it: the
// symbology list keeps the UPC/EAN summary bit. For changes made as a user
// would make them (set), not for restoring a whole text (import).
void ApplyPageRules(const Setting &setting, Configuration &config);

// What the setting accepts, in words, for error messages.
std::string AllowedValues(const Setting &setting, ValueSource source);

// Whether the setting's part of the two configurations differs.
bool SettingDiffers(const Setting &setting, const Configuration &a, const Configuration &b);

} // namespace q51
