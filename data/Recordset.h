#pragma once

#include <string>
#include <vector>

#include "base/Value.h"
#include "data/Connection.h"
#include "data/Sql.h"
#include "data/Statement.h"

namespace ledgerlift {

enum class CursorType { Unspecified, ForwardOnly, Static };
enum class LockType { Unspecified, ReadOnly, Optimistic };

// The rows of one statement. The rows are fetched when the recordset opens,
// so an open recordset never holds the database while other statements run.
// The cursor and lock types are accepted for the callers' sake: every
// recordset here is read front to back and never written through.
class Recordset {
  public:
    void Open(const std::string& statement, Connection& connection,
              CursorType cursor = CursorType::Unspecified, LockType lock = LockType::Unspecified);
    // The same for a statement built with its values (see Sql).
    void Open(const Sql& statement, Connection& connection,
              CursorType cursor = CursorType::Unspecified, LockType lock = LockType::Unspecified);
    bool IsOpen() const { return open_; }
    int State() const { return open_ ? Connection::adStateOpen : Connection::adStateClosed; }
    void Close();

    // True when there is no current row (the recordset's EOF).
    bool IsEOF() const;
    void MoveNext();

    // The current row's value of a column, found without regard to letter
    // case, or by its 0-based position. A stored NULL is Value().
    Value Field(const std::string& name) const;
    Value Field(int index) const;
    // The names of the result's columns, as SQLite gives them.
    const std::vector<std::string>& ColumnNames() const { return columns_; }

  private:
    // Checks that the connection can run a statement.
    static void RequireUsable(Connection& connection);
    void Fetch(Statement& prepared);
    void RequireRow() const;

    bool open_ = false;
    std::vector<std::string> columns_;
    std::vector<std::vector<Value>> rows_;
    std::size_t current_ = 0;
};

}  // namespace ledgerlift
