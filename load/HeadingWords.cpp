#include "load/HeadingWords.h"

#include <algorithm>
#include <set>
#include <string_view>

namespace ledgerlift {
namespace {

// The word lists below hold short words only: a longer word is none of
// them, and is not looked up (a heading cell may hold hundreds of words).
bool IsUnitWord(std::string_view word) {
    static const std::set<std::string_view> units = {"rs",      "inr", "usd", "eur", "gbp", "pct",
                                                     "percent", "nos", "pcs", "kg",  "kgs", "ltr"};
    return word.size() <= 7 && units.count(word) > 0;
}

bool IsSmallWord(std::string_view word) {
    static const std::set<std::string_view> small = {"of", "the", "in", "a",  "an",  "and",
                                                     "or", "for", "to", "on", "per", "at"};
    return word.size() <= 3 && small.count(word) > 0;
}

std::string Expanded(const std::string& word) {
    if (word.size() > 5) {
        return word;
    }
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
    // ASCII alone, whatever the locale: a byte beyond it is never a letter.
    auto upperAt = [&](std::size_t i) {
        return i < text.size() && text[i] >= 'A' && text[i] <= 'Z';
    };
    auto lowerAt = [&](std::size_t i) {
        return i < text.size() && text[i] >= 'a' && text[i] <= 'z';
    };
    auto wordAt = [&](std::size_t i) {
        return upperAt(i) || lowerAt(i) || (text[i] >= '0' && text[i] <= '9');
    };
    std::size_t start = 0;
    // Each word is taken whole and lowered in place: a heading may hold
    // hundreds of them.
    auto flush = [&](std::size_t end) {
        if (end > start) {
            std::string& word = words.emplace_back(text, start, end - start);
            for (char& c : word) {
                c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
            }
        }
        start = end;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!wordAt(i)) {
            flush(i);
            start = i + 1;
        } else if (upperAt(i) && i > start &&
                   (lowerAt(i - 1) || (upperAt(i - 1) && lowerAt(i + 1)))) {
            flush(i);
        }
    }
    flush(text.size());
    return words;
}

// The text without the brackets whose words are all units or currencies
// ("(Rs)", "(₹)", "[%]"); other brackets ("(Sales)") keep their words.
std::string WithoutUnitBrackets(const std::string& text) {
    std::string out;
    out.reserve(text.size());
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
    // Most headings have no brackets: they are split as they are, uncopied.
    bool brackets =
        heading.find('(') != std::string::npos || heading.find('[') != std::string::npos;
    std::vector<std::string> words = RawWords(brackets ? WithoutUnitBrackets(heading) : heading);
    while (words.size() > 1 && IsUnitWord(words.back())) {
        words.pop_back();
    }
    std::erase_if(words, [](const std::string& word) { return IsSmallWord(word); });
    for (std::string& word : words) {
        if (word.size() <= 5) {  // no abbreviation is longer
            word = Expanded(word);
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
