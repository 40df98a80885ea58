#include "migration/LedgerStage.h"

#include <cmath>

#include "import/GridLayouts.h"
#include "migration/CommitBatch.h"
#include "migration/Lookups.h"
#include "migration/StepRunner.h"
#include "migration/TextRules.h"
#include "migration/mdlStock.h"
#include "shell/CompanyConnection.h"
#include "shell/Form1.h"

namespace ledgerlift {
namespace {

bool IsUniqueKey(const std::string& description) {
    return Upper(description).find("UNIQUE KEY") != std::string::npos;
}

}  // namespace

std::string LedgerInsertStatement(const LedgerRecord& l) {
    return "insert into tblledger (LID,LName,LAliasName,GroupName,Type,OpBalance,AppearIn,Address,"
           "CreditDays,Phone,Fax,AccountGroupID,TargetAmt,Area) values(" +
           IntText(l.lid) + ",'" + SqlEscape(Trim(l.name)) + "','" + SqlEscape(Trim(l.alias)) +
           "','" + SqlEscape(Trim(l.group)) + "','" + (l.debit ? "Dr" : "Cr") + "'," +
           NumberText(l.opBalance) + ",'BalanceSheet','" + l.address + "',0,'" +
           SqlEscape(l.phone) + "','" + SqlEscape(l.fax) + "'," + IntText(l.accountGroupId) +
           ",0,'" + SqlEscape(Trim(l.area)) + "')";
}

void migrateledger(Form1& form) {
    WindowOps& ops = form.Ops();
    Grid& grid = form.msf2;
    StepRunner runner([&](const StepFailure& failure) {
        if (IsUniqueKey(failure.description)) {
            return Verdict::Continue;
        }
        if (ops.MsgBox("Are you sure to Continue with next data" + failure.description,
                       MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::Yes) {
            return Verdict::Continue;
        }
        ops.MsgBox(failure.description, MsgButtons::OK, MsgIcon::Exclamation);
        return Verdict::Stop;
    });

    std::int32_t nextLid = 0;
    if (!runner.Run("read the next LID",
                    [&] { nextLid = ToInt32(GetNextId("tblLedger", "LID", "", ops)); })) {
        return;
    }
    const int last = grid.Rows() - 2;
    CommitBatch batch(cnCompany);
    for (int r = 1; r <= last; ++r) {
        auto cell = [&](int col) -> const std::string& { return grid.TextMatrix(r, col); };
        LedgerRecord ledger;
        bool inserted = false;
        bool nonZero = true;
        bool ran = runner.Run({
            {"read the DrCr cell",
             [&] {
                 ledger.debit = false;
                 ledger.debit = Upper(cell(ledger::DrCr)) != "CR";
             }},
            {"look up the account group",
             [&] {
                 ledger.accountGroupId =
                     ToInt32(GetAccountGroupId(Trim(cell(ledger::AccountGroup)), ops));
             }},
            {"read the address", [&] { ledger.address = SqlEscape(Trim(cell(ledger::Address))); }},
            {"show the ledger tab", [&] { form.SSTab1.Tab = 1; }},
            {"insert the ledger",
             [&] {
                 ledger.lid = nextLid;
                 ledger.name = cell(ledger::Name);
                 ledger.alias = cell(ledger::AliasName);
                 ledger.group = cell(ledger::AccountGroup);
                 ledger.opBalance = std::fabs(Val(cell(ledger::OpeningBalance)));
                 ledger.phone = cell(ledger::Phone);
                 ledger.fax = cell(ledger::Tin);
                 ledger.area = cell(ledger::Area);
                 cnCompany.Execute(LedgerInsertStatement(ledger));
                 inserted = true;
             }},
            {"test the opening balance", [&] { nonZero = Val(cell(ledger::OpeningBalance)) != 0; }},
            {"post the opening balance",
             [&] {
                 if (!inserted || !nonZero) {
                     return;
                 }
                 double amount = ToCurrency(std::fabs(Val(cell(ledger::OpeningBalance))));
                 PostVoucher("Opening", form.dtpDate.Value, ledger.debit ? nextLid : 0,
                             ledger.debit ? 0 : nextLid, IntText(nextLid), "Opening Balance",
                             amount, "", ops);
             }},
            {"count the row", [&] { nextLid = ToInt32(static_cast<double>(nextLid) + 1); }},
            {"commit the finished rows", [&] { batch.RowDone(); }},
        });
        if (!ran) {
            return;
        }
    }
    if (!runner.Run("commit the last rows", [&] { batch.Finish(); })) {
        return;
    }
    if (!runner.Run("move Sundry Creditors to Supplier", [] {
            cnCompany.Execute(
                "update tblledger set groupname='Supplier',AccountGroupID=11 where "
                "groupname='Sundry Creditors'");
        })) {
        return;
    }
    runner.Run("move Sundry Debtors to Customer", [] {
        cnCompany.Execute(
            "update tblledger set groupname='Customer',AccountGroupID=10 where "
            "groupname='Sundry Debtors'");
    });
}

}  // namespace ledgerlift
