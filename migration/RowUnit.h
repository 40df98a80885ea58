#pragma once

#include "shell/data/Connection.h"

namespace ledgerlift {

// Commits one grid row's statements together: the row's statements still
// take effect one by one as far as the stage is concerned (a failed one
// leaves the others in place), but the disk sees the row at once, which makes
// a run fast and means a crash never leaves half a row. When the connection
// can't begin a unit, the row runs without one and its statements report the
// failure themselves. Whatever the row wrote is kept when the stage stops in
// the middle of it.
class RowUnit {
  public:
    explicit RowUnit(Connection& connection) : connection_(connection) {
        try {
            depth_ = connection_.BeginTrans();
        } catch (const DataError&) {
            depth_ = 0;
        }
    }
    ~RowUnit() {
        try {
            Commit();
        } catch (const DataError&) {
            // The row's own commit step has reported this failure already.
            if (connection_.IsOpen() && connection_.TransactionDepth() == depth_) {
                try {
                    connection_.RollbackTrans();
                } catch (const DataError&) {
                }
            }
        }
    }
    RowUnit(const RowUnit&) = delete;
    RowUnit& operator=(const RowUnit&) = delete;

    void Commit() {
        if (depth_ > 0 && connection_.IsOpen() && connection_.TransactionDepth() == depth_) {
            connection_.CommitTrans();
        }
        depth_ = 0;
    }

  private:
    Connection& connection_;
    int depth_ = 0;
};

}  // namespace ledgerlift
