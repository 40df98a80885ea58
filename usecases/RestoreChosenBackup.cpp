#include "usecases/RestoreChosenBackup.h"

#include "company/CompanyRestore.h"
#include "ui/StatusBox.h"

namespace ledgerlift {

void RestoreChosenBackup(const RestoreRequest& request, WindowOps& ops) {
    FormControls& form = request.controls;
    std::string code = form.companyList.Text();
    if (code.empty()) {
        ops.MsgBox("Choose the company whose backup to restore first.", MsgButtons::OK,
                   MsgIcon::Exclamation);
        return;
    }
    try {
        CompanyDatabase company = LocateCompanyDatabase(request.productFolder, code);
        CompanyBackups backups(company);
        std::vector<BackupInfo> list = backups.List();
        if (list.empty()) {
            ops.MsgBox(NoBackupsText(backups), MsgButtons::OK, MsgIcon::Information);
            return;
        }
        std::vector<std::string> lines;
        for (const BackupInfo& backup : list) {
            lines.push_back(CompanyBackups::Line(backup));
        }
        std::optional<int> chosen =
            ops.ChooseFromList("Restore Backup",
                               "The backups of the company " + code + " in " + backups.Folder() +
                                   ", newest first. Choose the one to restore:",
                               lines);
        if (!chosen) {
            return;
        }
        const BackupInfo& backup = list[static_cast<std::size_t>(*chosen)];
        if (ops.MsgBox(RestoreQuestion(code, backup), MsgButtons::YesNo, MsgIcon::Question) !=
            MsgAnswer::Yes) {
            return;
        }
        ops.SetMousePointer(MousePointer::Hourglass);
        ops.DoEvents();
        RestoreResult result =
            RestoreCompany(company, backup.path, request.keepBackups, &request.companyConnection);
        ops.SetMousePointer(MousePointer::Default);
        AppendStatus(form, ops, RestoreStatusLine(code, result));
        StatusCaretToEnd(form);
        ops.MsgBox(RestoreDoneText(code, result), MsgButtons::OK, MsgIcon::Information,
                   "Restore Backup");
    } catch (const std::exception& error) {
        ops.SetMousePointer(MousePointer::Default);
        ops.MsgBox(error.what(), MsgButtons::OK, MsgIcon::Critical);
    }
}

}  // namespace ledgerlift
