#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "data/Connection.h"
#include "data/DataError.h"

namespace ledgerlift {

class RunTally;

// When a batch is old enough to commit: its span, and the clock its age is
// read from (a test gives its own, to age a batch at once).
struct BatchTiming {
    std::chrono::milliseconds span{200};
    std::function<std::chrono::steady_clock::time_point()> now = std::chrono::steady_clock::now;
};

// The rows of a batch could not be kept: its commit failed, or the database
// undid the open transaction after a failure. The description says why.
class BatchLost : public DataError {
  public:
    using DataError::DataError;
};

// Commits a stage's work in batches of whole grid rows: a batch is committed
// once it has been open for its span (a fifth of a second), and at the end
// of the stage.
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
    explicit CommitBatch(Connection& connection, RunTally* tally = nullptr, BatchTiming timing = {})
        : connection_(connection), tally_(tally), timing_(std::move(timing)) {
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
    BatchTiming timing_;
    int depth_ = 0;
    std::chrono::steady_clock::time_point started_;
};

}  // namespace ledgerlift
