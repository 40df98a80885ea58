#include "app/cli/CommandForm.h"

#include <cstdio>

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

std::optional<Date> MigrationDateOption(const std::string& option) {
    Date date = Date::Today();
    if (!option.empty() && !Date::FromIso(option, date)) {
        std::fprintf(stderr, "error: the date %s is not a date of the form YYYY-MM-DD.\n",
                     option.c_str());
        return std::nullopt;
    }
    return date;
}

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
