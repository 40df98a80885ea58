#pragma once

#include <optional>

#include "reports/CheckResult.h"
#include "usecases/RunRequest.h"

namespace ledgerlift {

// "Check Data": predicts exactly what "Start Migration" would do with the
// grids, the company, the date and the update mode as they are, by running
// the very same stages inside a transaction that is undone at the end, with
// every continue question answered Yes. In this order:
//  1. refuses, as the run does, unless a workbook is loaded (then nothing
//     is returned, and what an earlier check found stands);
//  2. connects to the company (request.companyConnection, without touching its
//     file) and takes it for the check; a failure is reported as the run
//     reports it;
//  3. runs the stages on a copy of the grids (a check never changes a cell
//     that the run reads), then undoes everything;
//  4. appends the counts and totals to the status box, marks every row in
//     its grid with the outcome the run would give it (see OutcomeMarks: a
//     colour per outcome, the reason and the row's problems as its tooltip)
//     and tells how many rows have problems.
// A check never blocks a run. The operator may stop it (controls.stop): it
// then ends after the row in progress, undoes everything as always, and
// shows no result. A result that did not run (ran is false) has no rows to
// fix.
std::optional<CheckResult> RunCheck(const RunRequest& request, WindowOps& ops);

}  // namespace ledgerlift
