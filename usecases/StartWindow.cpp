#include "usecases/StartWindow.h"

#include "usecases/CompanyList.h"

namespace ledgerlift {

void StartWindow(FormControls& controls, const std::string& productFolder, WindowOps& ops) {
    controls.migrationDate.Value = Date::Today();
    controls.itemGrid.SetRows(1);
    controls.itemGrid.SetColWidth(0, 2000);
    controls.itemGrid.SetColWidth(1, 2000);
    controls.itemGrid.SetColWidth(2, 2000);
    controls.itemGrid.SetColWidth(3, 1750);
    controls.ledgerGrid.SetRows(1);
    for (int c = 0; c <= 6; ++c) {
        controls.ledgerGrid.SetColWidth(c, 2250);
    }
    controls.groupGrid.SetRows(1);
    for (int c = 0; c <= 2; ++c) {
        controls.groupGrid.SetColWidth(c, 2250);
    }
    controls.gridTabs.Tab = 0;
    FillCompanyList(controls, productFolder, ops);
}

}  // namespace ledgerlift
