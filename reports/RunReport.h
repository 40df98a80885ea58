#pragma once

#include <string>

#include "company/OutputGuard.h"
#include "migration/RunTally.h"

namespace ledgerlift {

// The run report: a CSV line per grid row (sheet, worksheet row, code or
// name as stored, outcome, id, error, the step that failed, and the row's
// warnings as "problems"), and a line per sheet that
// had rows below worksheet row 65000 which were not read. The command line's
// --report and the window write the same file. A text cell that a spreadsheet
// would take for a formula starts with an apostrophe (see CsvTextField); the
// worksheet row and the id are plain numbers.
//
// The report of a dry run (dryRun: the caller knows, the tally does not) says
// what a real run would do with each row ("would be written", "would fail",
// ...), gives no ids (they were undone), and has one more column, "run",
// that says "dry run" on every line; a real run's columns stay as they are.
std::string RunReportText(const RunTally& tally, bool dryRun = false);

// Writes the report to path, once the guard allows it, as a whole file or not
// at all (see AtomicFile): an older report of that name stays as it was until
// the new one is complete. Throws FileError, naming the file and the reason,
// when it can't.
void WriteRunReport(const std::string& path, const RunTally& tally, bool dryRun,
                    const OutputGuard& guard);

}  // namespace ledgerlift
