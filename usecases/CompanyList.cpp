#include "usecases/CompanyList.h"

#include "base/TextRules.h"
#include "company/CompanyDatabase.h"
#include "data/Recordset.h"

namespace ledgerlift {

void FillCompanyList(FormControls& controls, const std::string& programFolder, WindowOps& ops) {
    controls.txtCompanyName = ComboBox{};
    try {
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
