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
    txtStatus.Text = kIntroduction;
    SSTab1.TabCaption = {kItemTab, kLedgerTab, "Account Group"};
    msf1.SetFormatString(kItemStartFormat);
    msf2.SetFormatString(kLedgerStartFormat);
    msf3.SetFormatString(kGroupFormat);
    Label3.Caption = "Ledgerlift moves your opening masters into Tallvane in one sitting.";
    Label4.Caption = "https://ledgerlift.example.org";
}

void FormControls::ClearWorkbookGrids() {
    for (Grid* grid : {&msf1, &msf2}) {
        grid->SetRows(1);  // the header alone, as before the first load
        grid->ClearRowMarks();
    }
    SSTab1.TabCaption[0] = kItemTab;
    SSTab1.TabCaption[1] = kLedgerTab;
    msf1.origin.Clear();
    msf2.origin.Clear();
    loadLines.clear();
    loadWarnings.clear();
}

}  // namespace ledgerlift
