#include "migration/CommitBatch.h"

namespace ledgerlift {

void CommitBatch::Begin() {
    depth_ = 0;
    if (!connection_.IsOpen()) {
        return;
    }
    try {
        depth_ = connection_.BeginTrans();
        started_ = std::chrono::steady_clock::now();
    } catch (const DataError&) {
        // The rows' own statements meet and report the same failure.
        depth_ = 0;
    }
}

void CommitBatch::RowDone() {
    if (!Open()) {
        Begin();
        return;
    }
    if (std::chrono::steady_clock::now() - started_ < kSpan) {
        return;
    }
    Finish();
    Begin();
}

void CommitBatch::Finish() {
    if (Open()) {
        connection_.CommitTrans();
    }
    depth_ = 0;
}

CommitBatch::~CommitBatch() {
    if (!Open()) {
        return;
    }
    try {
        connection_.CommitTrans();
    } catch (const DataError&) {
        // The stage's own last commit step has reported this failure; what
        // could not be committed is undone rather than left half open.
        try {
            connection_.RollbackTrans();
        } catch (const DataError&) {
        }
    }
}

}  // namespace ledgerlift
