#pragma once

#include "data/Connection.h"
#include "migration/RunTally.h"
#include "ui/FormControls.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

// What a stage works with: the window's controls (the grids, the date, the
// update mode, the tabs), the window operations for its questions and event
// passes, the tally it records each row's outcome in, and the connection its
// statements run over (cnCompany in the program).
struct StageContext {
    FormControls& controls;
    WindowOps& ops;
    RunTally& tally;
    Connection& connection;
};

}  // namespace ledgerlift
