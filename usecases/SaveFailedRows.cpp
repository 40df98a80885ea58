#include "usecases/SaveFailedRows.h"

#include <filesystem>

#include "base/AtomicFile.h"
#include "base/TextRules.h"
#include "export/FailedRowsWorkbook.h"
#include "migration/RowsToFix.h"
#include "ui/StatusBox.h"

namespace ledgerlift {
namespace {

const char* const kFilter = "Excel Workbook|*.XLSX";

// "<loaded workbook's name>-failed-rows.xlsx" beside it.
std::string SuggestedName(const std::string& workbook) {
    std::filesystem::path loaded(workbook.empty() ? "workbook" : workbook);
    return (loaded.parent_path() / (loaded.stem().string() + "-failed-rows.xlsx")).string();
}

}  // namespace

std::string WithXlsxExtension(const std::string& path) {
    const std::string ext = ".xlsx";
    if (path.size() >= ext.size() && Upper(path.substr(path.size() - ext.size())) == ".XLSX") {
        return path;
    }
    return path + ext;
}

std::string FailedRowsSavedText(const std::vector<RowToFix>& rows, const std::string& path) {
    std::string then =
        " Fix %s there, then load that workbook with \"Load Excel Data\" and start the "
        "migration again: the rows that need nothing more are not in it, and a run completes "
        "what the company is missing.";
    std::string why = " (" + CausesText(rows) + ")";
    if (rows.size() == 1) {
        return "The row that needs attention" + why + " was saved to " + path +
               ", with the worksheet row it came from and the reason." +
               then.replace(then.find("%s"), 2, "it");
    }
    return "The " + std::to_string(rows.size()) + " rows that need attention" + why +
           " were saved to " + path + ", each with the worksheet row it came from and the reason." +
           then.replace(then.find("%s"), 2, "them");
}

int WriteFailedRows(const std::string& path, const FormControls& form,
                    const std::vector<RowToFix>& rows, const OutputGuard& guard,
                    std::vector<std::string>* cuts) {
    guard.Require("The failed-rows workbook", path);
    return WriteFailedRowsWorkbook(path, form, rows, cuts);
}

void SaveFailedRows(const std::vector<RowToFix>& rows, const std::string& productFolder,
                    FormControls& form, WindowOps& ops) {
    if (rows.empty()) {
        ops.MsgBox("The last migration or check left no failed rows to save.", MsgButtons::OK,
                   MsgIcon::Information);
        return;
    }
    const OutputGuard guard{productFolder, form.fileDialog.FileName};
    std::string suggested = SuggestedName(form.fileDialog.FileName);
    for (;;) {
        std::optional<std::string> chosen = ops.ShowSave(kFilter, suggested);
        if (!chosen) {
            return;
        }
        std::string path = WithXlsxExtension(*chosen);
        try {
            std::vector<std::string> cuts;
            WriteFailedRows(path, form, rows, guard, &cuts);
            std::string said = FailedRowsSavedText(rows, path);
            AppendStatus(form, ops, said);
            for (const std::string& cut : cuts) {
                AppendStatus(form, ops, cut);
            }
            ops.MsgBox(said, MsgButtons::OK, MsgIcon::Information);
            return;
        } catch (const FileError& error) {
            // A file that may not be replaced, or can't be written: another
            // may do.
            if (ops.MsgBox(error.what() + std::string("\r\n\r\nChoose another file?"),
                           MsgButtons::YesNo, MsgIcon::Exclamation) != MsgAnswer::Yes) {
                return;
            }
            suggested = path;
        } catch (const std::exception& error) {
            ops.MsgBox(error.what(), MsgButtons::OK, MsgIcon::Critical);
            return;
        }
    }
}

}  // namespace ledgerlift
