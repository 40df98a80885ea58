#include "load/HeadingWords.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <string_view>

namespace ledgerlift {
namespace {

bool IsUnitWord(std::string_view word) {
    static const std::set<std::string_view> units = {"rs",      "inr", "usd", "eur", "gbp", "pct",
                                                     "percent", "nos", "pcs", "kg",  "kgs", "ltr"};
    return units.count(word) > 0;
}

bool IsSmallWord(std::string_view word) {
    static const std::set<std::string_view> small = {"of", "the", "in", "a",  "an",  "and",
                                                     "or", "for", "to", "on", "per", "at"};
    return small.count(word) > 0;
}

std::string Expanded(const std::string& word) {
    static const std::pair<std::string_view, std::string_view> abbreviations[] = {
        {"incl", "inclusive"}, {"qty", "quantity"},   {"amt", "amount"},       {"bal", "balance"},
        {"op", "opening"},     {"purch", "purchase"}, {"desc", "description"}, {"no", "number"},
        {"num", "number"},     {"mob", "mobile"},     {"ph", "phone"},         {"grp", "group"}};
    for (const auto& [abbreviation, full] : abbreviations) {
        if (word == abbreviation) {
            return std::string(full);
        }
    }
    return word;
}

// Splits the text into raw words: runs of letters and digits, with a new
// word where a lower-case letter meets an upper-case one ("DrCr") or an
// upper-case run meets a capitalised word ("SRate"). Bytes beyond ASCII
// (currency signs, letters of other scripts) separate words: a heading in
// another script has no words, and so claims no field.
std::vector<std::string> RawWords(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    auto flush = [&] {
        if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (std::isalnum(c) == 0) {
            flush();
            continue;
        }
        unsigned char prev = i > 0 ? static_cast<unsigned char>(text[i - 1]) : 0;
        unsigned char next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        bool upper = std::isupper(c) != 0;
        if (upper &&
            ((std::islower(prev) != 0) || (std::isupper(prev) != 0 && std::islower(next) != 0))) {
            flush();
        }
        word += static_cast<char>(std::tolower(c));
    }
    flush();
    return words;
}

// The text without the brackets whose words are all units or currencies
// ("(Rs)", "(₹)", "[%]"); other brackets ("(Sales)") keep their words.
std::string WithoutUnitBrackets(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char open = text[i];
        char close = open == '(' ? ')' : open == '[' ? ']' : '\0';
        std::size_t end = close ? text.find(close, i + 1) : std::string::npos;
        if (end == std::string::npos) {
            out += open;
            continue;
        }
        std::vector<std::string> inside = RawWords(text.substr(i + 1, end - i - 1));
        if (std::all_of(inside.begin(), inside.end(),
                        [](const std::string& w) { return IsUnitWord(w); })) {
            out += ' ';
            i = end;
        } else {
            out += open;
        }
    }
    return out;
}

}  // namespace

std::vector<std::string> HeadingWords(const std::string& heading) {
    std::vector<std::string> raw = RawWords(WithoutUnitBrackets(heading));
    while (raw.size() > 1 && IsUnitWord(raw.back())) {
        raw.pop_back();
    }
    std::vector<std::string> words;
    for (const std::string& word : raw) {
        if (!IsSmallWord(word)) {
            words.push_back(Expanded(word));
        }
    }
    return words;
}

bool HoldsAllWords(const std::vector<std::string>& heading, const std::vector<std::string>& name) {
    if (name.empty()) {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [&](const std::string& word) {
        return std::find(heading.begin(), heading.end(), word) != heading.end();
    });
}

}  // namespace ledgerlift
