#include "shell/Form1.h"

#include "import/LoadWorkbook.h"
#include "import/XlsReader.h"
#include "migration/MigrationRun.h"
#include "migration/TextRules.h"
#include "shell/CompanyConnection.h"
#include "shell/data/Recordset.h"

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

}  // namespace

Form1::Form1(std::string programFolder, WindowOps& ops)
    : programFolder_(std::move(programFolder)), ops_(ops) {
    txtStatus.Text = kIntroduction;
    SSTab1.TabCaption = {"Item            ", "Ledger            ", "Account Group"};
    msf1.SetFormatString(kItemStartFormat);
    msf2.SetFormatString(kLedgerStartFormat);
    msf3.SetFormatString(kGroupFormat);
    Label3.Caption = "Ledgerlift moves your opening masters into Tallvane in one sitting.";
    Label4.Caption = "https://ledgerlift.example.org";
}

Form1::~Form1() = default;

std::unique_ptr<WorkbookReader> Form1::NewReader() const {
    return readerFactory_ ? readerFactory_() : std::make_unique<XlsReader>();
}

void Form1::Form_Load() {
    try {
        dtpDate.Value = Date::Today();
        msf1.SetRows(1);
        msf1.SetColWidth(0, 2000);
        msf1.SetColWidth(1, 2000);
        msf1.SetColWidth(2, 2000);
        msf1.SetColWidth(3, 1750);
        msf2.SetRows(1);
        for (int c = 0; c <= 6; ++c) {
            msf2.SetColWidth(c, 2250);
        }
        msf3.SetRows(1);
        for (int c = 0; c <= 2; ++c) {
            msf3.SetColWidth(c, 2250);
        }
        SSTab1.Tab = 0;
        Connection initial;
        initial.Open(InitialConnectionString(programFolder_));
        Recordset rs;
        rs.Open("select companyCode from tblcompany", initial, CursorType::ForwardOnly);
        while (!rs.IsEOF()) {
            txtCompanyName.AddItem(ValueToText(rs.Field("companycode")));
            txtCompanyName.SetListIndex(txtCompanyName.NewIndex());
            rs.MoveNext();
        }
    } catch (const std::exception& error) {
        ops_.MsgBox(error.what(), MsgButtons::OK, MsgIcon::Exclamation);
    }
}

void Form1::cmdLoad_Click() {
    LoadWorkbook(*this);
}

void Form1::cmdMigrate_Click() {
    RunMigration(*this);
}

void Form1::cmdClose_Click() {
    ops_.Unload();
}

bool Form1::ConnectSql() {
    return ledgerlift::ConnectSql(programFolder_, txtCompanyName.Text(), ops_, !dryRun);
}

void Form1::AppendStatus(const std::string& line) {
    txtStatus.Text = txtStatus.Text + "\r\n" + line;
    if (onStatusLine) {
        onStatusLine(line);
    }
}

void Form1::StatusCaretToEnd() {
    txtStatus.SelStart = static_cast<int>(txtStatus.Text.size());
}

}  // namespace ledgerlift
