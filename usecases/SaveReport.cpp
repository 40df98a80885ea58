#include "usecases/SaveReport.h"

#include <filesystem>

#include "base/AtomicFile.h"
#include "reports/RunReport.h"
#include "ui/StatusBox.h"

namespace ledgerlift {
namespace {

const char* const kReportFilter = "CSV Files|*.csv|All Files|*";
const char* const kReportCaption = "Save Report";

// Beside the workbook, under its name: "stock.xls" gives "stock report.csv".
std::string SuggestedName(const std::string& workbook) {
    if (workbook.empty()) {
        return "migration report.csv";
    }
    std::filesystem::path path(workbook);
    return (path.parent_path() / (path.stem().string() + " report.csv")).string();
}

}  // namespace

void SaveReport(const RunTally& tally, bool dryRun, const std::string& productFolder,
                FormControls& form, WindowOps& ops) {
    if (tally.rows.empty()) {
        ops.MsgBox(
            "There is no migration to report on yet: the report lists the rows of the "
            "last Start Migration, row by row.",
            MsgButtons::OK, MsgIcon::Information, kReportCaption);
        return;
    }
    const OutputGuard guard{productFolder, form.fileDialog.FileName};
    std::string suggested = SuggestedName(form.fileDialog.FileName);
    for (;;) {
        std::optional<std::string> path = ops.ShowSave(kReportFilter, suggested);
        if (!path) {
            return;
        }
        try {
            WriteRunReport(*path, tally, dryRun, guard);
            AppendStatus(form, ops, "The report of the run was saved as " + *path);
            StatusCaretToEnd(form);
            return;
        } catch (const FileError& error) {
            if (ops.MsgBox(error.what() + std::string("\r\n\r\nChoose another file?"),
                           MsgButtons::YesNo, MsgIcon::Exclamation,
                           kReportCaption) != MsgAnswer::Yes) {
                return;
            }
            suggested = *path;
        }
    }
}

}  // namespace ledgerlift
