#pragma once

#include <string>
#include <vector>

#include "export/FailedRowsWorkbook.h"
#include "migration/RowsToFix.h"
#include "migration/RunTally.h"

namespace ledgerlift {

// The rows of a run (or a check) that need attention, in the tally's order:
// those that failed, were written in part, or were not tried because a stop
// came first (RowHasError), and those the company holds with another name or
// opening; the reason is the row's problems, one a line (ProblemText). Rows
// that went in, were completed or replaced, or were already there are not
// among them, whatever their warnings.
std::vector<RowToFix> RowsToFix(const RunTally& tally);

// "2 failed, 1 written in part": how many rows there are of each cause, in
// a fixed order.
std::string CausesText(const std::vector<RowToFix>& rows);

}  // namespace ledgerlift
