#pragma once

#include <string>

#include "ui/FormControls.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

// The window's "Save Template..." button: asks where to save a workbook to
// fill in (see WriteTemplateWorkbook) and writes it there, with the chosen
// company's categories and account groups in its drop-down lists (without
// them, and saying why, when the company can't be read). A file that can't
// be written, or that the template may not replace (see OutputGuard), is
// named in a message, and the operator may choose another.
void SaveTemplate(const std::string& productFolder, FormControls& form, WindowOps& ops);

}  // namespace ledgerlift
