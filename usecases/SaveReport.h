#pragma once

#include <string>

#include "migration/RunTally.h"
#include "ui/FormControls.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

// The window's "Save Report..." button: asks where to save the last run's
// report (the same CSV as the command line's --report; see RunReport) and
// writes it there. Before any run it says there is nothing to report; a
// file that can't be written, or that the report may not replace (see
// OutputGuard: the company databases of productFolder, their backups, the
// loaded workbook, ...), is named in a message, and the operator may choose
// another. dryRun: whether the run was a dry run (see RunReportText).
void SaveReport(const RunTally& tally, bool dryRun, const std::string& productFolder,
                FormControls& form, WindowOps& ops);

}  // namespace ledgerlift
