#pragma once

#include <string>

namespace ledgerlift {

class Form1;

// The "Save Failed Rows..." button: after a run that left rows needing
// attention (see RowsToFix), asks for a file name (an .xlsx beside the loaded
// workbook is suggested; ".xlsx" is added to a name without it) and writes
// them there (WriteFailedRowsWorkbook). Says how many rows were saved and
// where, or why nothing was saved.
void SaveFailedRows(Form1& form);

// The sentence after the rows were saved.
std::string FailedRowsSavedText(int rows, const std::string& path);

// path, with ".xlsx" added unless it ends so (in any letter case).
std::string WithXlsxExtension(const std::string& path);

}  // namespace ledgerlift
