#include "app/cli/CommandForm.h"

namespace ledgerlift {
namespace {

void SelectCompany(ComboBox& combo, const std::string& code) {
    for (int i = 0; i < combo.ListCount(); ++i) {
        if (combo.List(i) == code) {
            combo.SetListIndex(i);
            return;
        }
    }
    // Not listed: the connection step names it in its message.
    combo.AddItem(code);
    combo.SetListIndex(combo.NewIndex());
}

}  // namespace

bool LoadForCommand(Form1& form, ConsoleWindowOps& ops, const std::string& workbook,
                    const Date& date, bool updateItems, const std::string& company) {
    form.Form_Load();
    form.dtpDate.Value = date;
    form.chkUpdateItems.Value = updateItems ? 1 : 0;
    SelectCompany(form.txtCompanyName, company);
    ops.QueueFile(workbook);
    ops.HoldMessages();
    form.cmdLoad_Click();
    ops.ReleaseMessages(!form.blnExcelLoaded);
    return form.blnExcelLoaded;
}

}  // namespace ledgerlift
