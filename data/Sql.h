#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/Date.h"

namespace ledgerlift {

// The values a statement carries, each written into its SQL by its own rule.
// Each checks its value when it is made, with the failure the text rule
// gives, so a statement is refused while it is built, before anything runs.
namespace sql {

// A whole number as IntText writes it: 42, -7.
struct Int {
    explicit Int(std::int64_t v) : value(v) {}
    std::int64_t value;
};

// A number as NumberText writes it (12, 12.5, 1E+20). Throws ConversionError
// for infinity and NaN.
struct Number {
    explicit Number(double v);
    double value;
};

// An amount as CurrencyText writes it: to four decimals, 250.5, 1500.
// Throws ConversionError beyond the currency's range.
struct Currency {
    explicit Currency(double amount);
    double amount;
};

// A text between single quotes, each quote in it doubled: 'O''Brien'.
// Throws ConversionError for a text that holds a NUL character.
struct Text {
    explicit Text(std::string t);
    std::string text;
};

// A date between # signs, as the product writes it: #2009-04-01#. The
// dialect step makes it the quoted text '2009-04-01'.
struct Date {
    explicit Date(const ledgerlift::Date& d) : date(d) {}
    ledgerlift::Date date;
};

}  // namespace sql

// One value of a built statement: its kind, where its parameter stands in
// the form, and the value itself.
struct SqlValue {
    enum class Kind : std::uint8_t { Integer, Number, Currency, Text, Date };

    Kind kind = Kind::Integer;
    std::uint32_t at = 0;                       // the offset of its "?" in the form
    std::int64_t integer = 0;                   // Integer
    double number = 0;                          // Number; Currency: the amount as given
    std::uint32_t textBegin = 0, textSize = 0;  // Text: where it lies in the texts
    Date date;                                  // Date
};

// One SQL statement as its SQL together with the values it carries, built
// piece by piece: SQL as the code writes it, and typed values.
//
//     Sql("update tblstock set qty=qty+") << sql::Number(q) << " where Itemid="
//                                         << sql::Int(itemId)
//
// Its Text() is the statement as the product writes it, each value a literal
// ("update tblstock set qty=qty+10 where Itemid=42"): what the tests, the
// messages and the connection's tracer see. Its Form() is the same SQL with
// a "?" where each value stands ("update tblstock set qty=qty+? where
// Itemid=?"): the statements of one form share one prepared statement, and
// run with their values bound, each with the type and value SQLite gives its
// literal, so the database comes out as with the literal text. Nothing is
// read back out of text, and Text() is only made when something asks for it.
//
// A value stands where SQLite takes an expression. Where SQLite reads a
// literal as something else, write it as SQL: a column position after ORDER
// BY or GROUP BY, a name, or the constant some functions require. A result
// column that is a bare value is named "?": give it a name with "as".
class Sql {
  public:
    Sql() = default;
    // SQL as the code writes it, or as a caller gave it (a name, a
    // condition): put in as it stands, part of the form.
    explicit Sql(const char* sql) : form_(sql) {}
    explicit Sql(std::string sql) : form_(std::move(sql)) {}

    Sql& operator<<(const char* sql) &;
    Sql& operator<<(const Sql& more) &;  // its SQL and values, after these
    Sql& operator<<(const sql::Int& v) &;
    Sql& operator<<(const sql::Number& v) &;
    Sql& operator<<(const sql::Currency& v) &;
    Sql& operator<<(const sql::Text& v) &;
    Sql& operator<<(const sql::Date& v) &;
    // The same on a statement still being built in one expression.
    template <typename Piece>
    Sql&& operator<<(Piece&& piece) && {
        *this << std::forward<Piece>(piece);
        return std::move(*this);
    }

    // The statement with each value written as its literal.
    std::string Text() const;
    // The statement with a "?" where each value stands.
    const std::string& Form() const { return form_; }
    const std::vector<SqlValue>& Values() const { return values_; }
    // The characters of a Text value.
    std::string_view TextOf(const SqlValue& value) const {
        return std::string_view(texts_).substr(value.textBegin, value.textSize);
    }
    // One value as its literal: 42, 12.5, 'O''Brien', #2009-04-01#.
    std::string Literal(const SqlValue& value) const;

  private:
    SqlValue& Add(SqlValue::Kind kind);

    std::string form_;
    std::vector<SqlValue> values_;
    std::string texts_;  // the Text values, one after the other
};

}  // namespace ledgerlift
