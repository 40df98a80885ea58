#include "base/StrictNumber.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <regex>
#include <string_view>

#include "base/TextRules.h"

namespace ledgerlift {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool StartsWithNoCase(std::string_view s, std::size_t at, std::string_view word) {
    if (s.size() - at < word.size()) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(s[at + i])) != word[i]) {
            return false;
        }
    }
    return true;
}

// Blanks: spaces, tabs, line breaks and the no-break space.
void SkipBlanks(std::string_view s, std::size_t& at) {
    while (at < s.size()) {
        if (s[at] == ' ' || s[at] == '\t' || s[at] == '\r' || s[at] == '\n') {
            ++at;
        } else if (s.substr(at, 2) == "\xc2\xa0") {
            at += 2;
        } else {
            return;
        }
    }
}

// A currency sign or code at `at`; moves past it.
bool SkipCurrency(std::string_view s, std::size_t& at) {
    for (std::string_view sign : {"\xe2\x82\xb9", "\xe2\x82\xac", "\xc2\xa3", "$"}) {
        if (s.substr(at, sign.size()) == sign) {
            at += sign.size();
            return true;
        }
    }
    for (std::string_view code : {"rs.", "rs", "inr"}) {
        if (StartsWithNoCase(s, at, code) &&
            (at + code.size() == s.size() ||
             std::isalpha(static_cast<unsigned char>(s[at + code.size()])) == 0)) {
            at += code.size();
            return true;
        }
    }
    return false;
}

// A side word at `at` that ends there (a letter does not follow it).
StrictNumber::SideWord SkipSideWord(std::string_view s, std::size_t& at) {
    for (std::string_view word : {"debit", "credit", "dr", "cr", "d", "c"}) {
        std::size_t end = at + word.size();
        if (StartsWithNoCase(s, at, word) &&
            (end == s.size() || std::isalpha(static_cast<unsigned char>(s[end])) == 0)) {
            at = end < s.size() && s[end] == '.' ? end + 1 : end;
            return word[0] == 'd' ? StrictNumber::SideWord::Debit : StrictNumber::SideWord::Credit;
        }
    }
    return StrictNumber::SideWord::None;
}

// Digits with their grouping commas, a decimal part and an exponent, copied
// into number without the commas. Gives false when there is no number here.
bool ReadDigits(std::string_view s, std::size_t& at, std::string& number) {
    std::size_t start = at;
    std::string run;
    while (at < s.size() && (IsDigit(s[at]) || (s[at] == ',' && at > start))) {
        run += s[at++];
    }
    if (!run.empty() && run.back() == ',') {
        return false;
    }
    if (run.find(',') != std::string::npos && !RealDigitGroups(run)) {
        return false;
    }
    bool digits = !run.empty();
    for (char c : run) {
        if (c != ',') {
            number += c;
        }
    }
    if (at < s.size() && s[at] == '.') {
        number += s[at++];
        while (at < s.size() && IsDigit(s[at])) {
            number += s[at++];
            digits = true;
        }
    }
    if (digits && at < s.size() && (s[at] == 'e' || s[at] == 'E')) {
        std::size_t e = at + 1;
        std::string exponent = "e";
        if (e < s.size() && (s[e] == '+' || s[e] == '-')) {
            exponent += s[e++];
        }
        if (e < s.size() && IsDigit(s[e])) {
            while (e < s.size() && IsDigit(s[e])) {
                exponent += s[e++];
            }
            number += exponent;
            at = e;
        }
    }
    return digits;
}

StrictNumber::SideWord Merge(StrictNumber::SideWord a, StrictNumber::SideWord b) {
    if (a == StrictNumber::SideWord::None) {
        return b;
    }
    if (b == StrictNumber::SideWord::None || a == b) {
        return a;
    }
    return StrictNumber::SideWord::Both;
}

// What comes before the digits: a side word, a sign and a currency, blanks
// between them. Gives false when two signs are given.
bool ReadLead(std::string_view s, std::size_t& at, StrictNumberRules rules, StrictNumber& out,
              std::string& number) {
    if (rules.sideAllowed) {
        out.side = SkipSideWord(s, at);
        SkipBlanks(s, at);
    }
    bool signed_ = false;
    for (int part = 0; part < 2; ++part) {
        if (!signed_ && at < s.size() && (s[at] == '-' || s[at] == '+')) {
            number += s[at++] == '-' ? "-" : "";
            signed_ = true;
            SkipBlanks(s, at);
        } else if (part == 0 && SkipCurrency(s, at)) {
            SkipBlanks(s, at);
        }
    }
    return true;
}

// What may follow the digits: a currency, a %, a side word.
void ReadTail(std::string_view s, std::size_t& at, StrictNumberRules rules, StrictNumber& out) {
    SkipBlanks(s, at);
    if (SkipCurrency(s, at)) {
        SkipBlanks(s, at);
    }
    if (at < s.size() && s[at] == '%') {
        ++at;
        out.percent = true;
        SkipBlanks(s, at);
    }
    if (rules.sideAllowed) {
        out.side = Merge(out.side, SkipSideWord(s, at));
        SkipBlanks(s, at);
    }
}

}  // namespace

StrictNumber::SideWord SideWordOf(const std::string& word) {
    std::string w = Upper(TrimBlanks(word));
    if (!w.empty() && w.back() == '.') {
        w.pop_back();
    }
    if (w == "D" || w == "DR" || w == "DEBIT") {
        return StrictNumber::SideWord::Debit;
    }
    if (w == "C" || w == "CR" || w == "CREDIT") {
        return StrictNumber::SideWord::Credit;
    }
    return StrictNumber::SideWord::None;
}

bool LooksLikeDate(const std::string& text) {
    static const std::regex date(
        R"(^\s*(\d{4}[-/.]\d{1,2}[-/.]\d{1,2}([ T]\d{1,2}:\d{2}(:\d{2})?)?|)"
        R"(\d{1,2}[-/.]\d{1,2}[-/.]\d{2,4}|)"
        R"(\d{1,2}[-/ .]*(jan|feb|mar|apr|may|jun|jul|aug|sep|oct|nov|dec)[a-z]*[-/ .,]*\d{2,4}|)"
        R"((jan|feb|mar|apr|may|jun|jul|aug|sep|oct|nov|dec)[a-z]*[ .]+\d{1,2},?\s*\d{2,4})\s*$)",
        std::regex::icase | std::regex::optimize);
    return std::regex_match(text, date);
}

StrictNumber ReadStrictNumber(const std::string& text, StrictNumberRules rules) {
    StrictNumber out;
    std::string_view s = text;
    std::size_t at = 0;
    SkipBlanks(s, at);
    if (at == s.size()) {
        return out;  // empty: 0
    }
    std::string number;
    ReadLead(s, at, rules, out, number);
    bool digits = ReadDigits(s, at, number);
    if (digits) {
        ReadTail(s, at, rules, out);
    }
    SkipBlanks(s, at);
    if (!digits || at != s.size() || out.side == StrictNumber::SideWord::Both) {
        out.verdict =
            LooksLikeDate(text) ? StrictNumber::Verdict::Date : StrictNumber::Verdict::NotANumber;
        return out;
    }
    if (out.percent && !rules.percentAllowed) {
        out.verdict = StrictNumber::Verdict::Percent;
        return out;
    }
    auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), out.value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        if (number.find("e-") == std::string::npos) {
            out.verdict = StrictNumber::Verdict::TooLarge;
            return out;
        }
        out.value = 0;
    }
    out.verdict =
        std::isfinite(out.value) ? StrictNumber::Verdict::Number : StrictNumber::Verdict::TooLarge;
    return out;
}

}  // namespace ledgerlift
