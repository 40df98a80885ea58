#pragma once

#include "data/Connection.h"
#include "migration/CommitBatch.h"
#include "migration/RunTally.h"
#include "ui/FormControls.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

// What a stage works with: the window's controls (the grids, the date, the
// update mode, the tabs), the window operations for its questions and event
// passes, the tally it records each row's outcome in, and the connection
// every one of its statements, lookups and postings runs over (the run's
// companyConnection); and the operator's stop request, when the stage can be stopped
// (see StopRequest).
struct StageContext {
    FormControls& controls;
    WindowOps& ops;
    RunTally& tally;
    Connection& connection;
    const StopRequest* stop = nullptr;
    // When a batch of whole rows is committed.
    BatchTiming batchTiming = {};

    // Whether the operator asked to end the stage after the row just done.
    bool StopRequested() const { return stop != nullptr && stop->requested; }
};

}  // namespace ledgerlift
