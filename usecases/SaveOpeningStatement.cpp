#include "usecases/SaveOpeningStatement.h"

#include <filesystem>

#include "reports/openingstatement/ReadOpeningStatement.h"
#include "reports/openingstatement/WriteOpeningStatement.h"
#include "ui/StatusBox.h"

namespace ledgerlift {
namespace {

const char* const kFilter = "PDF Files|*.pdf|HTML Files|*.html|All Files|*";
const char* const kCaption = "Save Statement";

// Beside the loaded workbook when there is one: "DEMO opening statement.pdf".
std::string SuggestedName(const std::string& company, const std::string& workbook) {
    std::string name = company + " opening statement.pdf";
    return workbook.empty() ? name
                            : (std::filesystem::path(workbook).parent_path() / name).string();
}

// Says why no statement was written; gives whether to ask for another file.
bool Refused(const StatementFailure& failure, WindowOps& ops) {
    using Kind = StatementFailure::Kind;
    bool another = failure.WhatFailed() == Kind::Output || failure.WhatFailed() == Kind::Writing;
    if (!another) {
        ops.MsgBox(failure.Description(), MsgButtons::OK, MsgIcon::Exclamation, kCaption);
        return false;
    }
    return ops.MsgBox(failure.Description() + "\r\n\r\nChoose another file?", MsgButtons::YesNo,
                      MsgIcon::Exclamation, kCaption) == MsgAnswer::Yes;
}

}  // namespace

void SaveOpeningStatement(const std::string& productFolder, FormControls& form, WindowOps& ops) {
    std::string company = form.companyList.Text();
    if (company.empty()) {
        ops.MsgBox("Choose the company whose opening statement to save.", MsgButtons::OK,
                   MsgIcon::Information, kCaption);
        return;
    }
    std::string suggested = SuggestedName(company, form.fileDialog.FileName);
    for (;;) {
        std::optional<std::string> path = ops.ShowSave(kFilter, suggested);
        if (!path) {
            return;
        }
        OpeningStatementRequest request{
            productFolder,           company, *path, Paper::A4, GroupingOfEnvironment(),
            form.fileDialog.FileName};
        try {
            ops.SetMousePointer(MousePointer::Hourglass);
            int pages = WriteOpeningStatement(request);
            ops.SetMousePointer(MousePointer::Default);
            AppendStatus(form, ops,
                         "The opening statement of the company " + company + " was saved as " +
                             *path + " (" + std::to_string(pages) +
                             (pages == 1 ? " page)" : " pages)"));
            StatusCaretToEnd(form);
            return;
        } catch (const StatementFailure& failure) {
            ops.SetMousePointer(MousePointer::Default);
            if (!Refused(failure, ops)) {
                return;
            }
            suggested = *path;
        }
    }
}

void OfferOpeningStatement(const std::string& productFolder, FormControls& form) {
    std::string company = form.companyList.Text();
    form.saveOpeningStatementButton.Enabled =
        !company.empty() && OpeningStatementAvailable(productFolder, company);
}

}  // namespace ledgerlift
