#include "app/StartWindow.h"

#include "base/TextRules.h"
#include "company/CompanyDatabase.h"
#include "data/Recordset.h"

namespace ledgerlift {

void StartWindow(FormControls& controls, const std::string& programFolder, WindowOps& ops) {
    try {
        controls.dtpDate.Value = Date::Today();
        controls.msf1.SetRows(1);
        controls.msf1.SetColWidth(0, 2000);
        controls.msf1.SetColWidth(1, 2000);
        controls.msf1.SetColWidth(2, 2000);
        controls.msf1.SetColWidth(3, 1750);
        controls.msf2.SetRows(1);
        for (int c = 0; c <= 6; ++c) {
            controls.msf2.SetColWidth(c, 2250);
        }
        controls.msf3.SetRows(1);
        for (int c = 0; c <= 2; ++c) {
            controls.msf3.SetColWidth(c, 2250);
        }
        controls.SSTab1.Tab = 0;
        Connection initial;
        initial.Open(InitialConnectionString(programFolder));
        Recordset rs;
        rs.Open("select companyCode from tblcompany", initial, CursorType::ForwardOnly);
        while (!rs.IsEOF()) {
            controls.txtCompanyName.AddItem(ValueToText(rs.Field("companycode")));
            controls.txtCompanyName.SetListIndex(controls.txtCompanyName.NewIndex());
            rs.MoveNext();
        }
    } catch (const std::exception& error) {
        ops.MsgBox(error.what(), MsgButtons::OK, MsgIcon::Exclamation);
    }
}

}  // namespace ledgerlift
