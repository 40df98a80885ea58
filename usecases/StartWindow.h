#pragma once

#include <string>

#include "ui/FormControls.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

// What the window does as it loads: the migration date is today, the three
// grids are cut back to their header rows, the first tab is selected, and
// the company list is filled from the initial database under productFolder
// (the last company read stays selected). A failure is shown (exclamation
// icon) and leaves the list as far as it got.
void StartWindow(FormControls& controls, const std::string& productFolder, WindowOps& ops);

}  // namespace ledgerlift
