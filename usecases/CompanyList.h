#pragma once

#include <string>

#include "ui/FormControls.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

// Fills the company list afresh from the initial database under
// productFolder, the last company read selected. A failure is shown
// (exclamation icon) and leaves the list as far as it got.
void FillCompanyList(FormControls& controls, const std::string& productFolder, WindowOps& ops);

}  // namespace ledgerlift
