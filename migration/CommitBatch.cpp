#include "migration/CommitBatch.h"

#include "migration/RunTally.h"

namespace ledgerlift {
namespace {
const char* const kCommitStep = "commit the finished rows";
}

void CommitBatch::Begin() {
    depth_ = 0;
    if (!connection_.IsOpen() || !connection_.TransactionLost().empty()) {
        return;
    }
    try {
        depth_ = connection_.BeginTrans();
        started_ = timing_.now();
    } catch (const DataError&) {
        // The rows' own statements meet and report the same failure.
        depth_ = 0;
    }
}

void CommitBatch::Lose(const std::string& reason) {
    connection_.MarkTransactionLost(reason);
    if (tally_) {
        tally_->FailPending(reason, kCommitStep);
    }
    depth_ = 0;
    throw BatchLost(reason);
}

void CommitBatch::Commit() {
    if (!connection_.TransactionLost().empty()) {
        Lose(connection_.TransactionLost());
    }
    if (!Open()) {
        // No batch was open: the rows' statements took effect one by one.
        if (depth_ > 0 && connection_.IsOpen()) {
            Lose("The rows not yet saved were undone by the database.");
        }
        if (tally_) {
            tally_->ConfirmPending();
        }
        depth_ = 0;
        return;
    }
    try {
        connection_.CommitTrans();
    } catch (const DataError& error) {
        if (connection_.IsOpen() && connection_.TransactionDepth() == depth_) {
            try {
                connection_.RollbackTrans();
            } catch (const DataError&) {
                // Closing the connection undoes it all the same.
            }
        }
        Lose(error.Description());
    }
    if (tally_) {
        tally_->ConfirmPending();
    }
    depth_ = 0;
}

void CommitBatch::RowDone() {
    if (Open() && timing_.now() - started_ < timing_.span) {
        return;
    }
    Commit();
    Begin();
}

void CommitBatch::Finish() {
    Commit();
}

CommitBatch::~CommitBatch() {
    try {
        Commit();
    } catch (const BatchLost&) {
        // The rows are in the tally as failed, and the connection refuses
        // more work; the stage that left has nothing more to report here.
    }
}

}  // namespace ledgerlift
