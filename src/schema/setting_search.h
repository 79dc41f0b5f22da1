#pragma once
// Finds settings by what a user remembers of them: a caption, the page or
// tab they sit on, a key ("comm.rs232.baud"), a value ("19200",
// "Code 128") or a byte ("byte 24", "0x18"). Each word of the query must
// match a word of the setting; a word of four letters or more may carry
// one typo. Best matches first.

#include <string_view>
#include <vector>

#include "schema/setting_catalog.h"

namespace q51 {

struct SettingMatch {
    const Setting *setting = nullptr;
    int score = 0;
};

// Every match, best first; settings of equal score in catalogue order.
std::vector<SettingMatch> SearchSettings(std::string_view query);

// Whether two words are at most one edit apart (a letter added, dropped,
// changed, or two neighbours swapped).
bool WithinOneEdit(std::string_view a, std::string_view b);

} // namespace q51
