#pragma once

#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace ledgerlift {

// One prepared SQLite statement, finalised when it goes out of scope, or, when
// a statement cache lent it, reset with its bindings cleared and given back.
// The prepare and step of every statement the program sends go through here,
// so that each failure becomes a DataError with the operator's sentence.
class Statement {
  public:
    // Prepares the first statement of sql (already in SQLite's dialect). When
    // tail is given it receives where the next statement of the text starts.
    // A text with nothing but blanks or a comment gives an empty statement.
    // Throws DataError.
    Statement(sqlite3* db, const char* sql, const std::string& path, const char** tail = nullptr);
    // A statement that stays prepared in a cache: inUse is set while this
    // object lives and cleared when it has been reset.
    Statement(sqlite3* db, sqlite3_stmt* lent, const std::string& path, bool& inUse);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement& operator=(Statement&&) = delete;

    bool Empty() const { return stmt_ == nullptr; }
    sqlite3_stmt* Handle() const { return stmt_; }

    // Runs the statement to its next row: true when there is one, false when
    // it is done. Throws DataError on a failure.
    bool Step();
    // Runs the statement to its end, passing over any rows.
    void Run();

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    const std::string* path_;
    bool* inUse_ = nullptr;  // set for a lent statement
};

}  // namespace ledgerlift
