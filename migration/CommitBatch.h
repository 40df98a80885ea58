#pragma once

#include <chrono>
#include <string>

#include "data/Connection.h"
#include "data/DataError.h"

namespace ledgerlift {

class RunTally;

// The rows of a batch could not be kept: its commit failed, or the database
// undid the open transaction after a failure. The description says why.
class BatchLost : public DataError {
  public:
    using DataError::DataError;
};

// Commits a stage's work in batches of whole grid rows: a batch is committed
// once it has been open for a fifth of a second, and at the end of the stage.
// As far as the stage is concerned every statement still takes effect at
// once (a failed one leaves the others in place, and nothing is undone when
// the stage stops); but the disk sees whole rows at a time, which makes a run
// fast and means that a crash never leaves half a row. When the connection
// can't begin a batch, the rows run without one and their statements report
// the failure themselves.
//
// The tally learns which of the rows recorded in it each commit kept: a row
// counts as written only once its batch has committed.
class CommitBatch {
  public:
    static constexpr std::chrono::milliseconds kSpan{200};

    // span: how long a batch stays open (the tests make it short).
    explicit CommitBatch(Connection& connection, RunTally* tally = nullptr,
                         std::chrono::milliseconds span = kSpan)
        : connection_(connection), tally_(tally), span_(span) {
        Begin();
    }
    // Commits what is open (undoes it when the commit fails).
    ~CommitBatch();
    CommitBatch(const CommitBatch&) = delete;
    CommitBatch& operator=(const CommitBatch&) = delete;

    // After each grid row, once the row is recorded in the tally: commits the
    // batch when it is old enough and opens the next. Throws BatchLost when
    // the batch's rows could not be kept; they are then undone, the tally
    // holds them as failed with the reason, and the connection refuses
    // further statements.
    void RowDone();
    // Commits what is open, by the same rules.
    void Finish();

  private:
    void Begin();
    void Commit();
    [[noreturn]] void Lose(const std::string& reason);
    bool Open() const {
        return depth_ > 0 && connection_.IsOpen() && connection_.TransactionDepth() == depth_;
    }

    Connection& connection_;
    RunTally* tally_;
    std::chrono::milliseconds span_;
    int depth_ = 0;
    std::chrono::steady_clock::time_point started_;
};

}  // namespace ledgerlift
