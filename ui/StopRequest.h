#pragma once

namespace ledgerlift {

// The operator's wish to end a run early, as plain state: the view sets it
// (the Stop button, or closing the window during a run) during an event
// pass, and the stages read it after every row. A stage that finds it set
// ends as if the operator had answered No at the row just done: the row is
// whole, the rows after it are recorded as not reached, nothing more is
// written by that stage.
struct StopRequest {
    // End the current stage after the row in progress.
    bool requested = false;
    // The window closes once the run has ended: no further stage runs and
    // nothing more is asked.
    bool closing = false;

    void Clear() { *this = StopRequest{}; }
};

}  // namespace ledgerlift
