#pragma once

#include <string>

namespace ledgerlift {

// A number cell read strictly: the cell must hold a number and nothing else
// that changes its meaning, or it is refused (never read as a part of it, or
// as 0).
//
// A number is: digits, grouped by commas as numbers are written (1,234,567
// or 12,34,567; "12,5" is no number), at most one decimal point, an
// exponent, a leading sign, blanks around it, and a currency sign or code
// before or after it (₹, Rs, Rs., INR, $, €, £). Where allowed, a trailing %
// (a percentage: 12.5% reads 12.5) and a side word before or after it (Dr,
// Cr, D, C, Debit, Credit, a trailing full stop ignored). An empty cell is 0.
struct StrictNumber {
    enum class Verdict {
        Number,      // value holds it
        Empty,       // blanks only: 0
        NotANumber,  // anything else
        Date,        // a date (a date cell's text, or one typed as text)
        Percent,     // a percentage where none is allowed
        TooLarge     // beyond what a double holds
    };
    enum class SideWord { None, Debit, Credit, Both };

    Verdict verdict = Verdict::Empty;
    double value = 0;
    bool percent = false;            // it carried a %
    SideWord side = SideWord::None;  // the side word it carried
    bool Usable() const { return verdict == Verdict::Number || verdict == Verdict::Empty; }
};

struct StrictNumberRules {
    bool percentAllowed = false;
    bool sideAllowed = false;
};

StrictNumber ReadStrictNumber(const std::string& text, StrictNumberRules rules = {});

// The side a word names (trimmed, any letter case, a trailing full stop
// ignored): D, Dr, Debit; C, Cr, Credit. None for anything else.
StrictNumber::SideWord SideWordOf(const std::string& word);

// Whether a text reads as a date: 2024-04-01, 01/04/2024, 1.4.24, 1-Apr-2024,
// "01 April 2024", and a date cell's own text.
bool LooksLikeDate(const std::string& text);

}  // namespace ledgerlift
