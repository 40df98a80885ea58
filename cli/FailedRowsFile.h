#pragma once

#include <string>
#include <vector>

#include "company/OutputGuard.h"
#include "export/FailedRowsWorkbook.h"
#include "ui/FormControls.h"

namespace CLI {
class App;
}

namespace ledgerlift {

// Adds --failed-rows to a command (migrate and check).
void AddFailedRowsOption(CLI::App& command, std::string& path);

// Why the failed rows could not be written to path ("" when they can, or
// when no path was given): a name without .xlsx, or what the guard refuses.
// Checked before anything is read or written.
std::string FailedRowsPathProblem(const std::string& path, const OutputGuard& guard);

// Writes the rows that failed or have problems to path (once the guard allows
// it), and says so on standard error (unless quiet); an error is said
// whatever. Gives whether the file was written.
bool WriteFailedRowsFile(const std::string& path, const FormControls& form,
                         const std::vector<RowToFix>& rows, bool quiet, const OutputGuard& guard);

}  // namespace ledgerlift
