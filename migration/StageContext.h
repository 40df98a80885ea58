#pragma once

#include "data/Connection.h"
#include "migration/RunTally.h"
#include "ui/FormControls.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

// What a stage works with: the window's controls (the grids, the date, the
// update mode, the tabs), the window operations for its questions and event
// passes, the tally it records each row's outcome in, and the connection its
// statements run over (cnCompany in the program); and the operator's stop
// request, when the stage can be stopped (see StopRequest).
struct StageContext {
    FormControls& controls;
    WindowOps& ops;
    RunTally& tally;
    Connection& connection;
    const StopRequest* stop = nullptr;

    // Whether the operator asked to end the stage after the row just done.
    bool StopRequested() const { return stop != nullptr && stop->requested; }
};

}  // namespace ledgerlift
