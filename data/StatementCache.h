#pragma once

#include <cstddef>
#include <functional>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "data/LiteralLexer.h"
#include "data/Statement.h"

struct sqlite3;
struct sqlite3_stmt;

namespace ledgerlift {

// Keeps the statements of one connection prepared. A text is looked up by
// its form with the literal values lifted out (see LiteralLexer), and the
// prepared statement runs with those values bound, each with exactly the
// type and value SQLite gives the literal: so the statements that differ
// only in their values are parsed and planned once, and the database comes
// out the same as with the literal texts.
//
// At most `capacity` statements stay prepared; the one used longest ago goes
// first. A statement is reset and its bindings cleared after each use; all
// are finalised with the cache.
class StatementCache {
  public:
    StatementCache(sqlite3* db, const std::string& path, std::size_t capacity);
    ~StatementCache();
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // The first statement of sql (in SQLite's dialect), ready to step, with
    // its literal values bound; nothing when the text is to be prepared as it
    // stands (several statements, comments, parameters, other kinds of
    // statement). When the text with its values lifted cannot be prepared,
    // the literal text is, so that a failure is told in its own words. sql
    // must outlive the statement. Throws DataError.
    std::optional<Statement> Acquire(const std::string& sql);

    // The statements kept prepared (for diagnostics and tests).
    std::size_t Size() const { return entries_.size(); }

  private:
    struct Entry {
        std::string key;
        sqlite3_stmt* stmt = nullptr;  // none: the shape only works as literal text
        bool inUse = false;
    };
    using Entries = std::list<Entry>;
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };

    Entry* Find(std::string_view key);
    Entry& Add(std::string key, sqlite3_stmt* stmt);
    void EvictOne();
    bool Bind(sqlite3_stmt* stmt, std::string_view sql);
    std::optional<double> ReadReal(std::string_view digits);

    sqlite3* db_;
    const std::string& path_;
    std::size_t capacity_;
    Entries entries_;  // the most recently used first
    std::unordered_map<std::string_view, Entries::iterator, KeyHash, std::equal_to<>> index_;

    LiteralLexer lexer_;
    std::vector<Literal> literals_;
    std::string key_;
    std::string unescaped_;

    // Decimal text read by SQLite itself, so that a bound real is the very
    // double the literal would have given.
    sqlite3_stmt* realReader_ = nullptr;
    std::unordered_map<std::string, double, KeyHash, std::equal_to<>> reals_;
};

}  // namespace ledgerlift
