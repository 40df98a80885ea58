#pragma once

#include <string>
#include <vector>

#include "ui/FormControls.h"

namespace ledgerlift {

// A grid row that needs the operator's attention, and why.
struct RowToFix {
    std::string sheet;     // "items" or "ledgers"
    std::string sheetRow;  // the worksheet row it came from
    std::string reason;
    // Why it is to be fixed: "failed", "written in part", "not reached" or
    // "differing from the company".
    std::string cause;
};

// Writes the rows as an .xlsx workbook to fix and load again: worksheet 1
// the item rows, worksheet 2 the ledger rows, each with its header row (the
// loaded workbook's row 1, or the grid's column names when none was kept),
// the input's columns in the input's order, and two more columns after the
// last one the import reads: "Source row" (the worksheet row the row came
// from) and "Reason". Cells that the import read as numbers are written as
// numbers when the number reads back to the very same text; all others as
// text (a text that reads as an escape of the format, "_x0041_", escaped in
// turn). So the file loads as a normal workbook, into the same grid texts.
// A text longer than a cell holds (32,767 characters) or holding a NUL is
// cut, and cuts, when given, gets a sentence naming each such cell.
// The file appears whole or not at all (see AtomicFile). Gives the number of
// rows written. Throws FileError, naming the file and the reason, when it
// can't be written, and std::runtime_error when a row is no longer in the
// grids (another workbook was loaded since).
int WriteFailedRowsWorkbook(const std::string& path, const FormControls& form,
                            const std::vector<RowToFix>& rows,
                            std::vector<std::string>* cuts = nullptr);

// The extra columns' headings.
inline constexpr const char* kSourceRowHeading = "Source row";
inline constexpr const char* kReasonHeading = "Reason";

}  // namespace ledgerlift
