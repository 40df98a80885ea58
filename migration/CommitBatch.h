#pragma once

#include <chrono>

#include "data/Connection.h"

namespace ledgerlift {

// Commits a stage's work in batches of whole grid rows: a batch is committed
// once it has been open for a fifth of a second, and at the end of the stage.
// As far as the stage is concerned every statement still takes effect at
// once (a failed one leaves the others in place, and nothing is undone when
// the stage stops); but the disk sees whole rows at a time, which makes a run
// fast and means that a crash never leaves half a row. When the connection
// can't begin a batch, the rows run without one and their statements report
// the failure themselves.
class CommitBatch {
  public:
    static constexpr std::chrono::milliseconds kSpan{200};

    explicit CommitBatch(Connection& connection) : connection_(connection) { Begin(); }
    ~CommitBatch();
    CommitBatch(const CommitBatch&) = delete;
    CommitBatch& operator=(const CommitBatch&) = delete;

    // After each grid row: commits the batch when it is old enough and opens
    // the next. Throws DataError when the commit fails.
    void RowDone();
    // Commits what is open. Throws DataError when the commit fails.
    void Finish();

  private:
    void Begin();
    bool Open() const {
        return depth_ > 0 && connection_.IsOpen() && connection_.TransactionDepth() == depth_;
    }

    Connection& connection_;
    int depth_ = 0;
    std::chrono::steady_clock::time_point started_;
};

}  // namespace ledgerlift
