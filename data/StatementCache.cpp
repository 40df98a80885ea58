#include "data/StatementCache.h"

#include <sqlite3.h>

#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>

#include "base/TextRules.h"
#include "data/Connection.h"
#include "data/Dialect.h"

namespace ledgerlift {
namespace {

// How many numbers of each kind keep their reading; beyond that the memory
// starts afresh.
constexpr std::size_t kReadingsRemembered = 4096;

// Below this a whole number is written as its digits alone, by NumberText
// and CurrencyText alike: SQLite reads it as an integer.
constexpr double kWholeDigitsBelow = 1e15;

int Length(std::string_view s) {
    return static_cast<int>(s.size());
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Whether nothing but blanks follows the first statement of a text.
bool OnlyBlanks(const char* tail) {
    for (; tail && *tail; ++tail) {
        if (!std::isspace(static_cast<unsigned char>(*tail))) {
            return false;
        }
    }
    return true;
}

// Whether a character keeps a literal beside it a token of its own.
bool Separates(char c) {
    return c != '\0' && (std::isspace(static_cast<unsigned char>(c)) ||
                         std::strchr("(),=<>!+-*/%|&~;", c) != nullptr);
}

// Whether each value of the form stands apart, as a literal there would: a
// literal glued to a name or to another literal ("5a", "'x'5") is read as
// something else than a parameter in its place.
bool ValuesStandApart(const Sql& sql) {
    const std::string& form = sql.Form();
    for (const SqlValue& value : sql.Values()) {
        if ((value.at > 0 && !Separates(form[value.at - 1])) ||
            (value.at + 1 < form.size() && !Separates(form[value.at + 1]))) {
            return false;
        }
    }
    return true;
}

// Whether the value's literal starts with a minus sign.
bool Negative(const SqlValue& value) {
    switch (value.kind) {
        case SqlValue::Kind::Integer:
            return value.integer < 0;
        case SqlValue::Kind::Number:
            return value.number < 0;
        case SqlValue::Kind::Currency:
            return ToCurrency(value.number) < 0;
        default:
            return false;
    }
}

// Whether a decimal of at most four places states the number exactly
// (12.5, 10.25, 0.0625). Its literal then reads as that very double, as any
// reading of decimal text that is right to half a unit in the last place
// gives a number it can hold exactly.
bool ShortExactDecimal(double value) {
    double scale = 1;
    for (int places = 1; places <= 4; ++places) {
        scale *= 10;
        double scaled = value * scale;
        if (std::fabs(scaled) >= kWholeDigitsBelow) {
            return false;
        }
        if (scaled == std::trunc(scaled)) {
            return std::fma(value, scale, -scaled) == 0;  // the product was exact
        }
    }
    return false;
}

std::uint64_t Bits(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace

StatementCache::StatementCache(sqlite3* db, const std::string& path, std::size_t capacity)
    : db_(db), path_(path), capacity_(capacity < 1 ? 1 : capacity) {}

StatementCache::~StatementCache() {
    for (Entry& e : entries_) {
        sqlite3_finalize(e.stmt);
    }
    sqlite3_finalize(realReader_);
}

std::optional<Statement> StatementCache::Acquire(const std::string& sql) {
    Entry* entry = Find(sql);
    if (!entry) {
        sqlite3_stmt* stmt = nullptr;
        const char* tail = nullptr;
        auto start = std::chrono::steady_clock::now();
        int rc = sqlite3_prepare_v3(db_, sql.c_str(), Length(sql) + 1, SQLITE_PREPARE_PERSISTENT,
                                    &stmt, &tail);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(stmt);
            throw SqliteError(db_, rc, path_, SecondsSince(start));
        }
        if (!stmt || !OnlyBlanks(tail)) {
            sqlite3_finalize(stmt);
            stmt = nullptr;  // several statements, or none: run one by one
        }
        entry = &Add(sql, stmt);
    }
    if (!entry->stmt || entry->inUse) {
        return std::nullopt;
    }
    return Statement(db_, entry->stmt, path_, entry->inUse);
}

std::optional<Statement> StatementCache::Acquire(const Sql& sql) {
    const std::string& form = ToSqlite(sql.Form(), converted_);
    Entry* entry = Find(form);
    if (!entry) {
        entry = PrepareForm(form, sql);
    }
    if (!entry->stmt || entry->inUse) {
        return std::nullopt;
    }
    Statement lent(db_, entry->stmt, path_, entry->inUse);
    if (!Bind(entry->stmt, sql)) {
        return std::nullopt;  // lent is reset and its bindings cleared
    }
    return lent;
}

// Prepares a form seen for the first time and keeps it, with its statement
// or as a form that runs as literal text.
StatementCache::Entry* StatementCache::PrepareForm(const std::string& form, const Sql& sql) {
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    auto start = std::chrono::steady_clock::now();
    int rc = sqlite3_prepare_v3(db_, form.c_str(), Length(form) + 1, SQLITE_PREPARE_PERSISTENT,
                                &stmt, &tail);
    if (rc == SQLITE_OK && stmt && OnlyBlanks(tail) && ValuesStandApart(sql) &&
        sqlite3_bind_parameter_count(stmt) == static_cast<int>(sql.Values().size())) {
        return &Add(form, stmt);
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_OK && rc != SQLITE_ERROR) {
        throw SqliteError(db_, rc, path_, SecondsSince(start));  // a lock, not the form
    }
    if (rc == SQLITE_ERROR) {
        // The literal text fails too (no such table): in its own words, and
        // nothing is kept, as the table may come. Or SQLite takes a value of
        // this form only as a literal (a constant argument).
        std::string literal = ToSqlite(sql.Text());
        Statement check(db_, literal.c_str(), path_);
    }
    return &Add(form, nullptr);
}

StatementCache::Entry* StatementCache::Find(std::string_view key) {
    auto found = index_.find(key);
    if (found == index_.end()) {
        return nullptr;
    }
    entries_.splice(entries_.begin(), entries_, found->second);
    return &entries_.front();
}

StatementCache::Entry& StatementCache::Add(std::string key, sqlite3_stmt* stmt) {
    if (entries_.size() >= capacity_) {
        EvictOne();
    }
    entries_.push_front(Entry{std::move(key), stmt, false});
    index_.emplace(std::string_view(entries_.front().key), entries_.begin());
    return entries_.front();
}

void StatementCache::EvictOne() {
    for (auto it = entries_.end(); it != entries_.begin();) {
        --it;
        if (!it->inUse) {
            sqlite3_finalize(it->stmt);
            index_.erase(std::string_view(it->key));
            entries_.erase(it);
            return;
        }
    }
}

bool StatementCache::Bind(sqlite3_stmt* stmt, const Sql& sql) {
    int index = 0;
    for (const SqlValue& value : sql.Values()) {
        ++index;
        if (value.at > 0 && sql.Form()[value.at - 1] == '-' && Negative(value)) {
            return false;  // "--5" starts a comment in the literal text
        }
        int rc = SQLITE_OK;
        switch (value.kind) {
            case SqlValue::Kind::Integer:
                rc = sqlite3_bind_int64(stmt, index, value.integer);
                break;
            case SqlValue::Kind::Number:
            case SqlValue::Kind::Currency:
                if (!BindNumber(stmt, index, value)) {
                    return false;
                }
                break;
            case SqlValue::Kind::Text: {
                std::string_view text = sql.TextOf(value);
                rc = sqlite3_bind_text(stmt, index, text.data(), Length(text), SQLITE_STATIC);
                break;
            }
            case SqlValue::Kind::Date: {
                // What the dialect step makes of the literal: quoted text, or
                // the literal as written, which only the literal text can run.
                std::string literal = ToSqlite(sql.Literal(value));
                if (literal.front() != '\'') {
                    return false;
                }
                rc = sqlite3_bind_text(stmt, index, literal.data() + 1, Length(literal) - 2,
                                       SQLITE_TRANSIENT);
                break;
            }
        }
        if (rc != SQLITE_OK) {
            return false;
        }
    }
    return true;
}

bool StatementCache::BindNumber(sqlite3_stmt* stmt, int index, const SqlValue& value) {
    std::optional<BoundNumber> number = Reading(value);
    if (!number) {
        return false;
    }
    int rc = number->integer ? sqlite3_bind_int64(stmt, index, number->whole)
                             : sqlite3_bind_double(stmt, index, number->real);
    return rc == SQLITE_OK;
}

std::optional<StatementCache::BoundNumber> StatementCache::Reading(const SqlValue& value) {
    bool currency = value.kind == SqlValue::Kind::Currency;
    double v = currency ? ToCurrency(value.number) : value.number;
    if (std::fabs(v) < kWholeDigitsBelow && v == std::trunc(v)) {
        return BoundNumber{true, static_cast<std::int64_t>(v), 0};
    }
    if (ShortExactDecimal(v)) {
        return BoundNumber{false, 0, v};
    }
    Readings& known = currency ? currencies_ : numbers_;
    std::uint64_t bits = Bits(value.number);
    if (auto found = known.find(bits); found != known.end()) {
        return found->second;
    }
    std::optional<BoundNumber> read =
        ReadLiteral(currency ? CurrencyText(value.number) : NumberText(value.number));
    if (read) {
        if (known.size() >= kReadingsRemembered) {
            known.clear();
        }
        known.emplace(bits, *read);
    }
    return read;
}

// A number's literal as SQLite reads it in a statement: digits alone are an
// integer; with a point or an exponent, a real, read by SQLite's own reading
// of decimal text. A minus sign before the literal negates what it reads.
std::optional<StatementCache::BoundNumber> StatementCache::ReadLiteral(const std::string& literal) {
    bool negative = !literal.empty() && literal[0] == '-';
    std::string_view digits = std::string_view(literal).substr(negative ? 1 : 0);
    if (digits.find_first_of(".eE") == std::string_view::npos) {
        std::int64_t whole = 0;
        auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), whole);
        if (ec != std::errc() || end != digits.data() + digits.size() || digits.size() > 18) {
            return std::nullopt;
        }
        return BoundNumber{true, negative ? -whole : whole, 0};
    }
    if (!realReader_ && sqlite3_prepare_v3(db_, "select ?1", -1, SQLITE_PREPARE_PERSISTENT,
                                           &realReader_, nullptr) != SQLITE_OK) {
        sqlite3_finalize(realReader_);
        realReader_ = nullptr;
        return std::nullopt;
    }
    // The column of a text read as a double goes through the same reading of
    // decimal text as a literal in a statement.
    std::optional<BoundNumber> read;
    if (sqlite3_bind_text(realReader_, 1, digits.data(), Length(digits), SQLITE_STATIC) ==
            SQLITE_OK &&
        sqlite3_step(realReader_) == SQLITE_ROW) {
        double real = sqlite3_column_double(realReader_, 0);
        read = BoundNumber{false, 0, negative ? -real : real};
    }
    sqlite3_reset(realReader_);
    sqlite3_clear_bindings(realReader_);
    return read;
}

}  // namespace ledgerlift
