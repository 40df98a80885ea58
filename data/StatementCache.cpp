#include "data/StatementCache.h"

#include <sqlite3.h>

#include <cstdint>

#include "data/Connection.h"

namespace ledgerlift {
namespace {

// How many decimal texts keep their reading; beyond that the memory starts
// afresh.
constexpr std::size_t kRealsRemembered = 4096;

std::int64_t ReadInteger(std::string_view digits) {
    std::int64_t v = 0;
    for (char c : digits) {
        v = v * 10 + (c - '0');  // at most 18 digits: no overflow
    }
    return v;
}

int Length(std::string_view s) {
    return static_cast<int>(s.size());
}

}  // namespace

StatementCache::StatementCache(sqlite3* db, const std::string& path, std::size_t capacity)
    : db_(db), path_(path), capacity_(capacity < 1 ? 1 : capacity) {
    literals_.reserve(64);
}

StatementCache::~StatementCache() {
    for (Entry& e : entries_) {
        sqlite3_finalize(e.stmt);
    }
    sqlite3_finalize(realReader_);
}

std::optional<Statement> StatementCache::Acquire(const std::string& sql) {
    TextShape shape = lexer_.Lex(sql, literals_, key_);
    if (shape == TextShape::Uncached) {
        return std::nullopt;
    }
    Entry* entry = Find(key_);
    if (!entry) {
        sqlite3_stmt* stmt = nullptr;
        int rc = sqlite3_prepare_v3(db_, key_.c_str(), Length(key_) + 1, SQLITE_PREPARE_PERSISTENT,
                                    &stmt, nullptr);
        bool fits = rc == SQLITE_OK && stmt &&
                    sqlite3_bind_parameter_count(stmt) == static_cast<int>(literals_.size());
        if (!fits) {
            sqlite3_finalize(stmt);
            Statement literal(db_, sql.c_str(), path_);  // throws the literal's own failure
            if (shape == TextShape::Parameterised && rc == SQLITE_ERROR) {
                // A value that SQLite takes only as a literal (a name in
                // quotes, a constant argument): this form goes literal.
                Add(key_, nullptr);
            }
            return literal;
        }
        entry = &Add(key_, stmt);
    }
    if (!entry->stmt || entry->inUse) {
        return Statement(db_, sql.c_str(), path_);
    }
    Statement lent(db_, entry->stmt, path_, entry->inUse);
    if (!Bind(entry->stmt, sql)) {
        return Statement(db_, sql.c_str(), path_);  // a value SQLite would not take
    }
    return lent;
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

bool StatementCache::Bind(sqlite3_stmt* stmt, std::string_view sql) {
    int index = 0;
    for (const Literal& l : literals_) {
        ++index;
        std::string_view value = l.Value(sql);
        int rc = SQLITE_OK;
        switch (l.kind) {
            case Literal::Kind::Integer: {
                std::int64_t v = ReadInteger(value);
                rc = sqlite3_bind_int64(stmt, index, l.negative ? -v : v);
                break;
            }
            case Literal::Kind::Real: {
                std::optional<double> v = ReadReal(value);
                if (!v) {
                    return false;
                }
                rc = sqlite3_bind_double(stmt, index, l.negative ? -*v : *v);
                break;
            }
            case Literal::Kind::Text:
                if (!l.doubledQuotes) {
                    rc = sqlite3_bind_text(stmt, index, value.data(), Length(value), SQLITE_STATIC);
                    break;
                }
                unescaped_.clear();
                for (std::size_t i = 0; i < value.size(); ++i) {
                    unescaped_ += value[i];
                    if (value[i] == '\'') {
                        ++i;  // the second quote of a doubled pair
                    }
                }
                rc = sqlite3_bind_text(stmt, index, unescaped_.data(), Length(unescaped_),
                                       SQLITE_TRANSIENT);
                break;
        }
        if (rc != SQLITE_OK) {
            return false;
        }
    }
    return true;
}

std::optional<double> StatementCache::ReadReal(std::string_view digits) {
    if (auto known = reals_.find(digits); known != reals_.end()) {
        return known->second;
    }
    if (!realReader_ && sqlite3_prepare_v3(db_, "select ?1", -1, SQLITE_PREPARE_PERSISTENT,
                                           &realReader_, nullptr) != SQLITE_OK) {
        sqlite3_finalize(realReader_);
        realReader_ = nullptr;
        return std::nullopt;
    }
    // The column of a text read as a double goes through the same reading of
    // decimal text as a literal in a statement.
    std::optional<double> value;
    if (sqlite3_bind_text(realReader_, 1, digits.data(), Length(digits), SQLITE_STATIC) ==
            SQLITE_OK &&
        sqlite3_step(realReader_) == SQLITE_ROW) {
        value = sqlite3_column_double(realReader_, 0);
    }
    sqlite3_reset(realReader_);
    sqlite3_clear_bindings(realReader_);
    if (value) {
        if (reals_.size() >= kRealsRemembered) {
            reals_.clear();
        }
        reals_.emplace(std::string(digits), *value);
    }
    return value;
}

}  // namespace ledgerlift
