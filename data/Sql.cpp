#include "data/Sql.h"

#include "base/TextRules.h"

namespace ledgerlift {
namespace {

constexpr std::size_t kValuesReserved = 24;

}  // namespace

namespace sql {

Number::Number(double v) : value(v) {
    RequireStorableNumber(v);
}

Currency::Currency(double a) : amount(a) {
    ToCurrency(a);  // throws beyond the range
}

Text::Text(std::string t) : text(std::move(t)) {
    RequireStorableText(text);
}

}  // namespace sql

SqlValue& Sql::Add(SqlValue::Kind kind) {
    if (values_.empty()) {
        values_.reserve(kValuesReserved);  // a row's insert carries about twenty
    }
    SqlValue& value = values_.emplace_back();
    value.kind = kind;
    value.at = static_cast<std::uint32_t>(form_.size());
    form_ += '?';
    return value;
}

Sql& Sql::operator<<(const char* sql) & {
    form_ += sql;
    return *this;
}

Sql& Sql::operator<<(const Sql& more) & {
    auto formOffset = static_cast<std::uint32_t>(form_.size());
    auto textOffset = static_cast<std::uint32_t>(texts_.size());
    form_ += more.form_;
    texts_ += more.texts_;
    for (SqlValue value : more.values_) {
        value.at += formOffset;
        value.textBegin += textOffset;
        values_.push_back(value);
    }
    return *this;
}

Sql& Sql::operator<<(const sql::Int& v) & {
    Add(SqlValue::Kind::Integer).integer = v.value;
    return *this;
}

Sql& Sql::operator<<(const sql::Number& v) & {
    Add(SqlValue::Kind::Number).number = v.value;
    return *this;
}

Sql& Sql::operator<<(const sql::Currency& v) & {
    Add(SqlValue::Kind::Currency).number = v.amount;
    return *this;
}

Sql& Sql::operator<<(const sql::Text& v) & {
    SqlValue& value = Add(SqlValue::Kind::Text);
    value.textBegin = static_cast<std::uint32_t>(texts_.size());
    value.textSize = static_cast<std::uint32_t>(v.text.size());
    texts_ += v.text;
    return *this;
}

Sql& Sql::operator<<(const sql::Date& v) & {
    Add(SqlValue::Kind::Date).date = v.date;
    return *this;
}

std::string Sql::Literal(const SqlValue& value) const {
    switch (value.kind) {
        case SqlValue::Kind::Integer:
            return IntText(value.integer);
        case SqlValue::Kind::Number:
            return NumberText(value.number);
        case SqlValue::Kind::Currency:
            return CurrencyText(value.number);
        case SqlValue::Kind::Text:
            return Quote(std::string(TextOf(value)));
        case SqlValue::Kind::Date:
            break;
    }
    std::string text = "#";
    text += DateText(value.date);
    text += '#';
    return text;
}

std::string Sql::Text() const {
    std::string text;
    text.reserve(form_.size() + 8 * values_.size() + texts_.size());
    std::size_t from = 0;
    for (const SqlValue& value : values_) {
        text.append(form_, from, value.at - from);
        text += Literal(value);
        from = value.at + 1;
    }
    text.append(form_, from, std::string::npos);
    return text;
}

}  // namespace ledgerlift
