#include "schema/setting_search.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>
#include <string>

namespace q51 {

namespace {

std::string Lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

std::vector<std::string> Words(std::string_view text)
{
    std::vector<std::string> words;
    std::string word;
    for (const char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            word += char(std::tolower(static_cast<unsigned char>(c)));
        } else if (!word.empty()) {
            words.push_back(std::move(word));
            word.clear();
        }
    }
    if (!word.empty())
        words.push_back(std::move(word));
    return words;
}

// What a setting can be found by. Caption words count most.
struct Entry {
    const Setting *setting;
    std::string key;
    std::string caption;     // the whole caption, lower case
    std::string lastCaption; // after the last " / "
    std::vector<std::string> captionWords;
    std::vector<std::string> otherWords; // page, panel, key, values, bytes
};

void AddWords(std::vector<std::string> &to, std::string_view text)
{
    for (std::string &w : Words(text))
        to.push_back(std::move(w));
}

Entry MakeEntry(const Setting &setting)
{
    Entry e{&setting, Lower(setting.key), Lower(setting.caption), {}, Words(setting.caption), {}};
    const auto slash = e.caption.rfind(" / ");
    e.lastCaption = slash == std::string::npos ? e.caption : e.caption.substr(slash + 3);
    AddWords(e.otherWords, setting.page);
    AddWords(e.otherWords, setting.panel);
    AddWords(e.otherWords, setting.key);
    if (setting.kind == SettingKind::Field) {
        for (const Choice &choice : setting.field.choices)
            AddWords(e.otherWords, choice.caption);
    }
    std::set<int> bytes;
    for (const TouchedBits &bits : SettingTouches(setting))
        bytes.insert(bits.byte);
    if (!bytes.empty())
        e.otherWords.emplace_back("byte");
    for (const int byte : bytes) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02x", byte);
        e.otherWords.emplace_back(std::to_string(byte));
        e.otherWords.emplace_back(hex);
    }
    std::sort(e.otherWords.begin(), e.otherWords.end());
    e.otherWords.erase(std::unique(e.otherWords.begin(), e.otherWords.end()), e.otherWords.end());
    return e;
}

const std::vector<Entry> &Index()
{
    static const std::vector<Entry> index = [] {
        std::vector<Entry> out;
        for (const Setting &setting : AllSettings())
            out.push_back(MakeEntry(setting));
        return out;
    }();
    return index;
}

// How well one query word matches one word of a setting: 0 for not at all.
int WordScore(const std::string &typed, const std::string &word)
{
    if (typed == word)
        return 4;
    // "24" is byte 24, not byte 240.
    if (std::all_of(typed.begin(), typed.end(), [](unsigned char c) { return std::isdigit(c); }))
        return 0;
    if (word.starts_with(typed))
        return 3;
    if (typed.size() >= 3 && word.find(typed) != std::string::npos)
        return 2;
    if (typed.size() >= 4 && word.size() >= 4 && WithinOneEdit(typed, word))
        return 1;
    return 0;
}

int BestScore(const std::string &typed, const std::vector<std::string> &words)
{
    int best = 0;
    for (const std::string &word : words)
        best = std::max(best, WordScore(typed, word));
    return best;
}

int Score(const Entry &e, const std::string &query, const std::vector<std::string> &typedWords)
{
    if (query == e.key)
        return 100000;
    int score = 0;
    if (query == e.caption)
        score += 50000;
    else if (query == e.lastCaption)
        score += 40000;
    for (const std::string &typed : typedWords) {
        const int inCaption = BestScore(typed, e.captionWords);
        const int elsewhere = BestScore(typed, e.otherWords);
        if (inCaption == 0 && elsewhere == 0)
            return 0;
        score += std::max(inCaption * 3, elsewhere);
    }
    if (score > 0 && e.key.starts_with(query))
        score += 20;
    return score;
}

} // namespace

bool WithinOneEdit(std::string_view a, std::string_view b)
{
    if (a == b)
        return true;
    if (a.size() > b.size())
        std::swap(a, b);
    if (b.size() - a.size() > 1)
        return false;
    std::size_t i = 0;
    while (i < a.size() && a[i] == b[i])
        ++i;
    if (a.size() == b.size()) {
        // One letter changed, or two neighbours swapped.
        if (a.substr(i + 1) == b.substr(i + 1))
            return true;
        return i + 1 < a.size() && a[i] == b[i + 1] && a[i + 1] == b[i] && a.substr(i + 2) == b.substr(i + 2);
    }
    return a.substr(i) == b.substr(i + 1); // one letter added
}

std::vector<SettingMatch> SearchSettings(std::string_view query)
{
    const std::string lowered = Lower(query);
    std::string trimmed = lowered;
    trimmed.erase(0, trimmed.find_first_not_of(' '));
    trimmed.erase(trimmed.find_last_not_of(' ') + 1);
    const std::vector<std::string> typedWords = Words(trimmed);
    std::vector<SettingMatch> matches;
    if (typedWords.empty())
        return matches;
    for (const Entry &e : Index()) {
        if (const int score = Score(e, trimmed, typedWords))
            matches.push_back({e.setting, score});
    }
    std::stable_sort(matches.begin(), matches.end(),
                     [](const SettingMatch &a, const SettingMatch &b) { return a.score > b.score; });
    return matches;
}

} // namespace q51
