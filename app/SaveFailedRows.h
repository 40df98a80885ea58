#pragma once

#include <string>
#include <vector>

#include "migration/FailedRowsWorkbook.h"
#include "ui/FormControls.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

// The "Save Failed Rows..." button: after a run that left rows needing
// attention (see RowsToFix), asks for a file name (an .xlsx beside the loaded
// workbook is suggested; ".xlsx" is added to a name without it) and writes
// them there (WriteFailedRowsWorkbook). Says how many rows were saved and
// where, or why nothing was saved.
void SaveFailedRows(const std::vector<RowToFix>& rows, const FormControls& form, WindowOps& ops);

// The sentence after the rows were saved.
std::string FailedRowsSavedText(int rows, const std::string& path);

// path, with ".xlsx" added unless it ends so (in any letter case).
std::string WithXlsxExtension(const std::string& path);

}  // namespace ledgerlift
