#pragma once

#include <string>
#include <vector>

#include "company/OutputGuard.h"
#include "export/FailedRowsWorkbook.h"
#include "ui/FormControls.h"
#include "ui/WindowOps.h"

namespace ledgerlift {

// The "Save Failed Rows..." button: after a run that left rows needing
// attention (see RowsToFix), asks for a file name (an .xlsx beside the loaded
// workbook is suggested; ".xlsx" is added to a name without it) and writes
// them there (WriteFailedRows). Says how many rows were saved, why and where,
// in a message and a status line. A
// file that can't be written, or that the rows may not replace (see
// OutputGuard), is named in a message, and the operator may choose another.
void SaveFailedRows(const std::vector<RowToFix>& rows, const std::string& productFolder,
                    FormControls& form, WindowOps& ops);

// Writes the rows to path (WriteFailedRowsWorkbook) once the guard allows it.
// Gives the number of rows written; throws FileError when the guard refuses
// the path or the file can't be written.
int WriteFailedRows(const std::string& path, const FormControls& form,
                    const std::vector<RowToFix>& rows, const OutputGuard& guard,
                    std::vector<std::string>* cuts = nullptr);

// The sentence after the rows were saved: how many, why and where, and
// what to do next.
std::string FailedRowsSavedText(const std::vector<RowToFix>& rows, const std::string& path);

// path, with ".xlsx" added unless it ends so (in any letter case).
std::string WithXlsxExtension(const std::string& path);

}  // namespace ledgerlift
