#pragma once

#include "data/Connection.h"

namespace ledgerlift {

// Makes the statements run while it lives all-or-nothing: Commit() keeps them;
// leaving the scope without it undoes them. Nests inside any transaction.
class Savepoint {
  public:
    explicit Savepoint(Connection& connection) : connection_(connection) {
        connection_.BeginTrans();
    }
    ~Savepoint() {
        if (!done_) {
            try {
                connection_.RollbackTrans();
            } catch (const DataError&) {
                // The connection is gone; nothing of the savepoint is left
                // to undo, and the failure that brought us here is reported.
            }
        }
    }
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;

    void Commit() {
        connection_.CommitTrans();
        done_ = true;
    }

  private:
    Connection& connection_;
    bool done_ = false;
};

}  // namespace ledgerlift
