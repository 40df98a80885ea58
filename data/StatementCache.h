#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "data/Sql.h"
#include "data/Statement.h"

struct sqlite3;
struct sqlite3_stmt;

namespace ledgerlift {

// Keeps the statements of one connection prepared. A statement built with
// its values (see Sql) is looked up by its form, and the prepared statement
// runs with the values bound, each with exactly the type and value SQLite
// gives its literal: so the statements that differ only in their values are
// parsed and planned once, and the database comes out the same as with the
// literal texts. A plain text is kept under the text itself.
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

    // The statement of sql (in SQLite's dialect), ready to step; nothing when
    // the text is to be run as it stands, statement by statement (several
    // statements, or none). Throws DataError when it can't be prepared.
    std::optional<Statement> Acquire(const std::string& sql);

    // The statement of sql's form with its values bound, ready to step;
    // nothing when sql is to be run as its literal text: a form that holds
    // several statements, or that SQLite takes only with literals in it, a
    // date the dialect leaves as written, the form already in use. A failure
    // of the form that its literal text shares is told in the literal's own
    // words. sql must outlive the statement: its texts are bound where they
    // lie. Throws DataError.
    std::optional<Statement> Acquire(const Sql& sql);

    // The statements kept prepared (for diagnostics and tests).
    std::size_t Size() const { return entries_.size(); }

  private:
    struct Entry {
        std::string key;
        sqlite3_stmt* stmt = nullptr;  // none: the form runs as literal text
        bool inUse = false;
    };
    using Entries = std::list<Entry>;
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };
    // A number as SQLite reads its literal: an integer or a real.
    struct BoundNumber {
        bool integer = true;
        std::int64_t whole = 0;
        double real = 0;
    };
    using Readings = std::unordered_map<std::uint64_t, BoundNumber>;

    Entry* Find(std::string_view key);
    Entry& Add(std::string key, sqlite3_stmt* stmt);
    void EvictOne();
    Entry* PrepareForm(const std::string& form, const Sql& sql);
    bool Bind(sqlite3_stmt* stmt, const Sql& sql);
    bool BindNumber(sqlite3_stmt* stmt, int index, const SqlValue& value);
    std::optional<BoundNumber> Reading(const SqlValue& value);
    std::optional<BoundNumber> ReadLiteral(const std::string& literal);

    sqlite3* db_;
    const std::string& path_;
    std::size_t capacity_;
    Entries entries_;  // the most recently used first
    std::unordered_map<std::string_view, Entries::iterator, KeyHash, std::equal_to<>> index_;
    std::string converted_;  // a form in SQLite's dialect, when it had to change

    // Decimal text read by SQLite itself, so that a bound real is the very
    // double the literal would have given; remembered by the value's bits.
    sqlite3_stmt* realReader_ = nullptr;
    Readings numbers_;
    Readings currencies_;
};

}  // namespace ledgerlift
