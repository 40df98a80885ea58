#pragma once

#include <string>

#include "load/SheetPlan.h"
#include "load/SheetRows.h"

namespace ledgerlift {

// What the load says of a sheet it read, in one line: which sheet was taken
// as what, which column feeds which field, which columns were not used, the
// rows read and the blank rows skipped.
std::string LoadLine(const SheetPlan& plan, const SheetWalk& walk);

// The warning for a sheet whose headings were not recognised, so that its
// columns are read by position ("" for any other sheet).
std::string HeadingWarning(const SheetPlan& plan);

// The warning for a sheet where rows of headings stood among its data rows
// (see SheetWalk::headingRows); "" when none did.
std::string HeadingRowsWarning(const SheetPlan& plan, const SheetWalk& walk);

}  // namespace ledgerlift
