#pragma once

#include <string>

#include "import/core/WorkbookReader.h"

namespace ledgerlift {

// The sentences that every reader gives about a workbook file, so that the
// same fault reads the same whatever the format.

// Throws WorkbookError when no path was given, or the file is missing, not a
// regular file or not readable.
void CheckReadableFile(const std::string& path);

// "The file ... is not an Excel workbook (.xls, .xlsx, .xlsm) or an
// OpenDocument spreadsheet (.ods) and cannot be loaded."
WorkbookError NotAWorkbook(const std::string& path);
// "The workbook ... is damaged: <what>."
WorkbookError Damaged(const std::string& path, const std::string& what);
// "The workbook ... is protected with a password. Save it without a password
// and load it again."
WorkbookError PasswordProtected(const std::string& path);

}  // namespace ledgerlift
