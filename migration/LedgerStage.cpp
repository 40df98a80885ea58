#include "migration/LedgerStage.h"

#include <cmath>

#include "base/TextRules.h"
#include "import/GridLayouts.h"
#include "migration/CommitBatch.h"
#include "migration/Lookups.h"
#include "migration/RunTally.h"
#include "migration/StageContext.h"
#include "migration/StepRunner.h"
#include "migration/mdlStock.h"

namespace ledgerlift {

std::string LedgerInsertStatement(const LedgerRecord& l) {
    return "insert into tblledger (LID,LName,LAliasName,GroupName,Type,OpBalance,AppearIn,Address,"
           "CreditDays,Phone,Fax,AccountGroupID,TargetAmt,Area) values(" +
           IntText(l.lid) + ",'" + SqlEscape(Trim(l.name)) + "','" + SqlEscape(Trim(l.alias)) +
           "','" + SqlEscape(Trim(l.group)) + "','" + (l.debit ? "Dr" : "Cr") + "'," +
           NumberText(l.opBalance) + ",'BalanceSheet','" + l.address + "',0,'" +
           SqlEscape(l.phone) + "','" + SqlEscape(l.fax) + "'," + IntText(l.accountGroupId) +
           ",0,'" + SqlEscape(Trim(l.area)) + "')";
}

void migrateledger(StageContext& ctx) {
    WindowOps& ops = ctx.ops;
    FormControls& form = ctx.controls;
    Grid& grid = form.msf2;
    Connection& db = ctx.connection;
    RunTally& tally = ctx.tally;
    RunTally::RowState* current = nullptr;
    StepRunner runner([&](const StepFailure& failure) {
        if (failure.IsUniqueKey()) {
            if (current) {
                current->Skip(failure.step, failure.description);
            }
            return Verdict::Continue;
        }
        if (current) {
            current->Fail(failure.step, failure.description);
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
        tally.RecordUnreached(tally.ledgers, "ledgers", grid, 1, grid.Rows() - 2, ledger::Name,
                              "Not migrated: the ledger stage was stopped.");
        return;
    }
    const int last = grid.Rows() - 2;
    CommitBatch batch(db);
    for (int r = 1; r <= last; ++r) {
        auto cell = [&](int col) { return std::string(grid.TextMatrix(r, col)); };
        LedgerRecord ledger;
        bool inserted = false;
        RunTally::RowState state;
        current = &state;
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
                 db.Execute(LedgerInsertStatement(ledger));
                 inserted = true;
             }},
            {"test the opening balance", [&] { nonZero = Val(cell(ledger::OpeningBalance)) != 0; }},
            {"post the opening balance",
             [&] {
                 if (!inserted || !nonZero) {
                     return;
                 }
                 double amount = ToCurrency(std::fabs(Val(cell(ledger::OpeningBalance))));
                 if (PostVoucher("Opening", form.dtpDate.Value, ledger.debit ? nextLid : 0,
                                 ledger.debit ? 0 : nextLid, IntText(nextLid), "Opening Balance",
                                 amount, "", ops) != 0) {
                     ++tally.ledgers.postings;
                 } else {
                     state.Fail("post the opening balance",
                                "The opening balance of this ledger was not posted.");
                 }
             }},
            {"count the row",
             [&] {
                 nextLid = ToInt32(static_cast<double>(nextLid) + 1);
                 ops.DoEvents();
             }},
            {"commit the finished rows", [&] { batch.RowDone(); }},
        });
        current = nullptr;
        RunTally::Outcome outcome = state.failed    ? RunTally::Outcome::Failed
                                    : state.skipped ? RunTally::Outcome::Skipped
                                                    : RunTally::Outcome::Written;
        tally.Record(tally.ledgers, {"ledgers", std::string(grid.TextMatrix(r, 0)),
                                     Trim(std::string(grid.TextMatrix(r, ledger::Name))), outcome,
                                     inserted ? IntText(ledger.lid) : "", state.error, state.step});
        tally.Progress("ledgers", r, last);
        if (!ran) {
            tally.RecordUnreached(tally.ledgers, "ledgers", grid, r + 1, last, ledger::Name,
                                  "Not migrated: the ledger stage was stopped.");
            return;
        }
    }
    if (!runner.Run("commit the last rows", [&] { batch.Finish(); })) {
        return;
    }
    if (!runner.Run("move Sundry Creditors to Supplier", [&] {
            db.Execute(
                "update tblledger set groupname='Supplier',AccountGroupID=11 where "
                "groupname='Sundry Creditors'");
        })) {
        return;
    }
    runner.Run("move Sundry Debtors to Customer", [&] {
        db.Execute(
            "update tblledger set groupname='Customer',AccountGroupID=10 where "
            "groupname='Sundry Debtors'");
    });
}

}  // namespace ledgerlift
