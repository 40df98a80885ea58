#include "cli/FailedRowsFile.h"

#include <CLI/CLI.hpp>
#include <cstdio>

#include "export/FailedRowsWorkbook.h"
#include "usecases/SaveFailedRows.h"

namespace ledgerlift {

void AddFailedRowsOption(CLI::App& command, std::string& path) {
    command.add_option("--failed-rows", path,
                       "Write the rows that failed or have problems to this .xlsx workbook, to "
                       "fix and load again (the path is checked before the run starts)");
}

std::string FailedRowsPathProblem(const std::string& path, const OutputGuard& guard) {
    if (path.empty()) {
        return "";
    }
    if (WithXlsxExtension(path) != path) {
        return "The failed rows are written as an .xlsx workbook; name the file with .xlsx (" +
               path + " was given).";
    }
    return guard.Problem("The failed-rows workbook", path);
}

bool WriteFailedRowsFile(const std::string& path, const FormControls& form,
                         const std::vector<RowToFix>& rows, bool quiet, const OutputGuard& guard) {
    try {
        std::vector<std::string> cuts;
        int written = WriteFailedRows(path, form, rows, guard, &cuts);
        for (const std::string& cut : cuts) {
            std::fprintf(stderr, "warning: %s\n", cut.c_str());
        }
        if (!quiet) {
            std::string said =
                written == 0 ? "No row needs attention; " + path + " holds the header rows only."
                             : FailedRowsSavedText(rows, path);
            std::fprintf(stderr, "information: %s\n", said.c_str());
        }
        return true;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        return false;
    }
}

}  // namespace ledgerlift
