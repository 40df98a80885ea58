#include "ui/FormControls.h"

namespace ledgerlift {

const char* const kIntroduction =
    "This is a migration tool used to import master details from Excel files to Tallvane "
    "Accounting Inventory Software. This tool will migrate Customer & Supplier Outstanding "
    "balances , Item Details ,Item Rates, Stock Balances. as on the date of migration. \r\n";

namespace {

// The grids' captions as the window is designed, before any import.
const char* const kItemStartFormat =
    "SLNO   |<ITEM CODE   |<ITEM NAME   |<CATEGORY    |<MANUFACTURE |<QOH |<PURCHASE RATE   "
    "|<WHOLESALE   |<MRP |<SALES VAT |<CST |<PURCHASE VAT    |<RATE INCLUSIVE OF TAX SALES "
    "|<RATE INCLUSIVE OF TAX PURCHASE";
const char* const kLedgerStartFormat =
    "SL No|<Ledger Alias Name\t|<Ledger Name\t|<AccountGroup\t|<Address\t    |<Phone\t"
    "|<TIN\t    |<OpeningBalance\t|<DrCr|<Area  ";
const char* const kGroupFormat = "Name|Primary Group|Grand Parent";
const char* const kItemTab = "Item            ";
const char* const kLedgerTab = "Ledger            ";

}  // namespace

FormControls::FormControls() {
    statusBox.Text = kIntroduction;
    gridTabs.TabCaption = {kItemTab, kLedgerTab, "Account Group"};
    itemGrid.SetFormatString(kItemStartFormat);
    ledgerGrid.SetFormatString(kLedgerStartFormat);
    groupGrid.SetFormatString(kGroupFormat);
    noticeLabel.Caption = "Ledgerlift moves your opening masters into Tallvane in one sitting.";
    webAddressLabel.Caption = "https://ledgerlift.example.org";
}

void FormControls::ClearWorkbookGrids() {
    for (Grid* grid : {&itemGrid, &ledgerGrid}) {
        grid->SetRows(1);  // the header alone, as before the first load
        grid->ClearRowMarks();
    }
    gridTabs.TabCaption[0] = kItemTab;
    gridTabs.TabCaption[1] = kLedgerTab;
    itemGrid.origin.Clear();
    ledgerGrid.origin.Clear();
    loadLines.clear();
    loadWarnings.clear();
}

}  // namespace ledgerlift
