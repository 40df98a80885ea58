#pragma once

#include <string>

#include "ui/FormControls.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

// Fills the company list afresh from the initial database under
// programFolder, the last company read selected. A failure is shown
// (exclamation icon) and leaves the list as far as it got.
void FillCompanyList(FormControls& controls, const std::string& programFolder, WindowOps& ops);

}  // namespace ledgerlift
