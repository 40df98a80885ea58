#include "app/cli/FailedRowsFile.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>

#include "app/SaveFailedRows.h"
#include "app/cli/OutputPath.h"
#include "migration/FailedRowsWorkbook.h"

namespace ledgerlift {

void AddFailedRowsOption(CLI::App& command, std::string& path) {
    command.add_option("--failed-rows", path,
                       "Write the rows that failed or have problems to this .xlsx workbook, to "
                       "fix and load again (its folder is checked before the run starts)");
}

std::string FailedRowsPathProblem(const std::string& path) {
    if (path.empty()) {
        return "";
    }
    if (WithXlsxExtension(path) != path) {
        return "The failed rows are written as an .xlsx workbook; name the file with .xlsx (" +
               path + " was given).";
    }
    std::error_code ec;
    if (std::filesystem::exists(path, ec) && !std::filesystem::is_regular_file(path, ec) &&
        !std::filesystem::is_directory(path, ec)) {
        return "The failed-rows workbook " + path +
               " cannot be written: that name is taken by something that is not a file.";
    }
    return FileOutputProblem("The failed-rows workbook", path);
}

bool WriteFailedRowsFile(const std::string& path, const FormControls& form,
                         const std::vector<RowToFix>& rows, bool quiet) {
    try {
        int written = WriteFailedRowsWorkbook(path, form, rows);
        if (!quiet) {
            std::string said =
                written == 0 ? "No row needs attention; " + path + " holds the header rows only."
                             : FailedRowsSavedText(written, path);
            std::fprintf(stderr, "information: %s\n", said.c_str());
        }
        return true;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        return false;
    }
}

}  // namespace ledgerlift
