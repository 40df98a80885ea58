#include "usecases/SaveTemplate.h"

#include <filesystem>

#include "base/AtomicFile.h"
#include "company/OutputGuard.h"
#include "data/DataError.h"
#include "ui/StatusBox.h"
#include "usecases/CompanyNames.h"

namespace ledgerlift {
namespace {

const char* const kTemplateFilter = "Excel Workbooks|*.xlsx|All Files|*";
const char* const kTemplateCaption = "Save Template";

// Beside the loaded workbook, if any.
std::string SuggestedName(const std::string& workbook) {
    std::filesystem::path folder = std::filesystem::path(workbook).parent_path();
    return (folder / "opening balances template.xlsx").string();
}

// The chosen company's names; none, said in the status box, when they
// can't be read.
TemplateLists CompanyLists(const std::string& productFolder, FormControls& form, WindowOps& ops) {
    std::string company = form.companyList.Text();
    if (company.empty()) {
        return {};
    }
    try {
        return ReadCompanyNames(productFolder, company);
    } catch (const DataError& error) {
        std::string said = "The template has no lists of the company's names: ";
        said += error.what();
        AppendStatus(form, ops, said);
        return {};
    }
}

}  // namespace

void SaveTemplate(const std::string& productFolder, FormControls& form, WindowOps& ops) {
    const OutputGuard guard{productFolder, form.fileDialog.FileName};
    std::string suggested = SuggestedName(form.fileDialog.FileName);
    for (;;) {
        std::optional<std::string> path = ops.ShowSave(kTemplateFilter, suggested);
        if (!path) {
            return;
        }
        try {
            guard.Require("The template", *path);
            TemplateLists lists = CompanyLists(productFolder, form, ops);
            WriteTemplateWorkbook(*path, lists);
            std::string said = "A template to fill in was saved as ";
            said += *path;
            AppendStatus(form, ops, said);
            for (const std::string& leftOut : lists.leftOut) {
                AppendStatus(form, ops, leftOut);
            }
            StatusCaretToEnd(form);
            return;
        } catch (const FileError& error) {
            std::string message = error.what();
            message += "\r\n\r\nChoose another file?";
            if (ops.MsgBox(message, MsgButtons::YesNo, MsgIcon::Exclamation, kTemplateCaption) !=
                MsgAnswer::Yes) {
                return;
            }
            suggested = *path;
        }
    }
}

}  // namespace ledgerlift
