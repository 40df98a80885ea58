#pragma once

#include <string>

#include "migration/RunTally.h"

namespace ledgerlift {

// The run report: a CSV line per grid row (sheet, worksheet row, code or
// name as stored, outcome, id, error, the step that failed, and the row's
// warnings as "problems"), and a line per sheet that
// had rows below worksheet row 65000 which were not read. The command line's
// --report and the window write the same file. A text cell that a spreadsheet
// would take for a formula starts with an apostrophe (see CsvTextField); the
// worksheet row and the id are plain numbers.
std::string RunReportText(const RunTally& tally);

// Writes the report to path; throws DataError naming the file when it can't.
void WriteRunReport(const std::string& path, const RunTally& tally);

}  // namespace ledgerlift
