#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ledgerlift {

// One literal value of a statement text that can travel as a bound value.
struct Literal {
    enum class Kind : std::uint8_t { Integer, Real, Text };

    Kind kind = Kind::Integer;
    // A unary sign that belongs to the number ("-5" after "(", "," or an
    // operator); SQLite folds it into the literal, so it is bound with it.
    bool negative = false;
    // Text holding '' for each single quote it stands for.
    bool doubledQuotes = false;
    // Where the literal stands in the text, sign and quotes included: this
    // is what the parameter replaces.
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    // The value's own characters: the digits without the sign, the text
    // between the quotes.
    std::uint32_t valueBegin = 0;
    std::uint32_t valueEnd = 0;

    std::string_view Value(std::string_view sql) const {
        return sql.substr(valueBegin, valueEnd - valueBegin);
    }
};

// What the statement cache may do with a text.
enum class TextShape {
    // Sent as it is, prepared afresh: several statements, comments,
    // parameters of its own, a statement kind that is not cached, or a token
    // SQLite would refuse (it then reports that in its own words).
    Uncached,
    // Cached under its own text: pragmas and transaction statements, and
    // select, insert, update and delete texts with nothing to lift.
    AsWritten,
    // Cached under the text with each lifted literal replaced by "?".
    Parameterised,
};

// Finds the literal values of a statement text in one pass over its
// characters, by a table of character classes, without allocating per token.
//
// Lifts from select, insert, update, delete and replace texts: quoted
// strings (with doubled quotes), numbers (with a sign that belongs to them,
// decimals and exponents) and thereby the dates the dialect step has turned
// into quoted text. Keeps literal what must stay literal:
//   - everything in a select list up to its FROM (the literals name the
//     result columns: "select 1" gives a column named "1"),
//   - everything after ORDER BY or GROUP BY at that level (numbers there are
//     column positions) and after RETURNING (names again),
//   - numbers glued to letters ("5a", hex "0x1F"), blobs (x'00'), integers
//     of 19 digits or more (SQLite reads them as reals or special-cases
//     them), a real after a minus sign that is not its own ("a - 0.0"),
//   - a literal directly followed by a letter, digit or quote.
class LiteralLexer {
  public:
    // Lexes the text up to its first NUL, as SQLite reads it. Fills literals
    // (cleared first) and, unless the text is Uncached, key: the text that
    // the cache keys on and prepares (the text itself, or the text with each
    // literal replaced by "?"). Both keep their capacity from call to call.
    // Literal positions are offsets into sql.
    TextShape Lex(const std::string& sql, std::vector<Literal>& literals, std::string& key) const;
};

}  // namespace ledgerlift
