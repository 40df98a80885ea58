#include "usecases/StartWindow.h"

#include "usecases/CompanyList.h"

namespace ledgerlift {

void StartWindow(FormControls& controls, const std::string& programFolder, WindowOps& ops) {
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
    FillCompanyList(controls, programFolder, ops);
}

}  // namespace ledgerlift
