#include "usecases/CompanyList.h"

#include "base/TextRules.h"
#include "company/CompanyDatabase.h"
#include "data/Recordset.h"

namespace ledgerlift {

void FillCompanyList(FormControls& controls, const std::string& productFolder, WindowOps& ops) {
    controls.companyList = ComboBox{};
    try {
        Connection initial;
        initial.Open(InitialConnectionString(productFolder));
        Recordset rs;
        rs.Open("select companyCode from tblcompany", initial, CursorType::ForwardOnly);
        while (!rs.IsEOF()) {
            controls.companyList.AddItem(ValueToText(rs.Field("companycode")));
            controls.companyList.SetListIndex(controls.companyList.NewIndex());
            rs.MoveNext();
        }
    } catch (const std::exception& error) {
        ops.MsgBox(error.what(), MsgButtons::OK, MsgIcon::Exclamation);
    }
}

}  // namespace ledgerlift
