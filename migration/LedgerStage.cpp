#include "migration/LedgerStage.h"

#include <cmath>

#include "base/TextRules.h"
#include "load/GridLayouts.h"
#include "migration/CellChecks.h"
#include "migration/CommitBatch.h"
#include "migration/FailureSentence.h"
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

Side ReadSide(const std::string& cell) {
    std::string side = Upper(std::string(TrimBlanks(cell)));
    if (!side.empty() && side.back() == '.') {
        side.pop_back();
    }
    if (side == "CR" || side == "CREDIT") {
        return Side::Credit;
    }
    if (side.empty() || side == "DR" || side == "DEBIT") {
        return Side::Debit;
    }
    return Side::Unrecognised;
}

namespace {

// The groups that the stage moves to the product's own customer and
// supplier groups after the walk: a company without them is no surprise.
bool MovedAfterTheWalk(const std::string& group) {
    std::string g = Upper(Trim(group));
    return g == "SUNDRY CREDITORS" || g == "SUNDRY DEBTORS";
}

}  // namespace

void migrateledger(StageContext& ctx) {
    WindowOps& ops = ctx.ops;
    FormControls& form = ctx.controls;
    Grid& grid = form.msf2;
    Connection& db = ctx.connection;
    RunTally& tally = ctx.tally;
    RunTally::RowState* current = nullptr;
    const RowPlace* rowAt = nullptr;  // the row whose steps run
    const char* outside = "Ledger sheet, before the first row";
    StepRunner runner([&](const StepFailure& failure) {
        if (failure.IsUniqueKey()) {
            if (current && rowAt) {
                current->Skip(failure.step,
                              "Already there: a ledger named " +
                                  Trim(std::string(grid.TextMatrix(rowAt->row, ledger::Name))) +
                                  " is already in the company; it was left as it is.");
                current->Warn(
                    "A ledger with this name is already in the company; the row is not "
                    "written and its opening balance is not posted.");
            }
            return Verdict::Continue;
        }
        std::string why = rowAt ? RowSentence(*rowAt, failure.description)
                                : StageSentence(outside, failure.description);
        if (current) {
            current->Fail(failure.step, why);
        }
        if (!db.TransactionLost().empty()) {
            return Verdict::Stop;  // nothing more can be written; the run says why
        }
        if (ops.MsgBox("Are you sure to Continue with next data" + why, MsgButtons::YesNo,
                       MsgIcon::Question) == MsgAnswer::Yes) {
            return Verdict::Continue;
        }
        ops.MsgBox(why, MsgButtons::OK, MsgIcon::Exclamation);
        return Verdict::Stop;
    });
    const int last = grid.Rows() - 2;
    auto unreached = [&](int from, const std::string& why) {
        tally.RecordUnreached(tally.ledgers, "ledgers", grid, from, last, ledger::Name,
                              "Not migrated: the ledger stage was stopped" + why);
    };

    std::int32_t nextLid = 0;
    if (!runner.Run("read the next LID",
                    [&] { nextLid = ToInt32(GetNextId("tblLedger", "LID", "", ops)); })) {
        unreached(1, ".");
        return;
    }
    CommitBatch batch(db, &tally);
    bool stopped = false;
    ops.Progress(kLedgerStageName, 0, last);
    for (int r = 1; r <= last; ++r) {
        auto cell = [&](int col) { return std::string(grid.TextMatrix(r, col)); };
        RowPlace place{"Ledger", grid, r, ledger::Name};
        rowAt = &place;
        LedgerRecord ledger;
        bool inserted = false;
        RunTally::RowState state;
        current = &state;
        bool nonZero = true;
        std::string postingError;
        // The amount as the voucher will hold it: a balance that rounds to
        // 0.0000 posts nothing.
        auto amount = [&] {
            try {
                return ToCurrency(std::fabs(CellNumber(place, ledger::OpeningBalance)));
            } catch (const ConversionError& error) {
                std::string why = error.what();
                throw ConversionError(why.rfind(place.Name(), 0) == 0
                                          ? why
                                          : place.Name() + ", " +
                                                place.Column(ledger::OpeningBalance) + ": " + why);
            }
        };
        bool ran = runner.Run({
            {"read the DrCr cell",
             [&] {
                 ledger.debit = false;
                 Side side = ReadSide(cell(ledger::DrCr));
                 ledger.debit = side != Side::Credit;
                 if (side == Side::Unrecognised) {
                     state.Warn(place.Column(ledger::DrCr) + " holds \"" + cell(ledger::DrCr) +
                                "\", which is not a side (Dr or Cr); the balance is posted as a "
                                "debit.");
                 }
             }},
            {"look up the account group",
             [&] {
                 RequireStorableText(place, ledger::AccountGroup);
                 bool found = true;
                 std::string group = Trim(cell(ledger::AccountGroup));
                 ledger.accountGroupId = ToInt32(GetAccountGroupId(group, ops, &found));
                 if (!found && !MovedAfterTheWalk(group)) {
                     state.Warn("The account group \"" + group +
                                "\" is not in the company, so the ledger is filed under group 11 "
                                "(Supplier).");
                 }
             }},
            {"read the address",
             [&] {
                 RequireStorableText(place, ledger::Address);
                 ledger.address = SqlEscape(Trim(cell(ledger::Address)));
             }},
            {"show the ledger tab", [&] { form.SSTab1.Tab = 1; }},
            {"insert the ledger",
             [&] {
                 for (int c = ledger::AliasName; c <= ledger::Area; ++c) {
                     RequireStorableText(place, c);
                 }
                 // A balance too large for a currency refuses the whole row: a
                 // ledger without its voucher would disagree with the books.
                 double balance = amount();
                 if (balance != 0 && CellNumber(place, ledger::OpeningBalance) < 0) {
                     state.Warn("The opening balance " + Trim(cell(ledger::OpeningBalance)) +
                                " is negative; its sign is dropped and the DrCr cell alone decides "
                                "the side (" +
                                std::string(ledger.debit ? "Dr" : "Cr") + ").");
                 }
                 ledger.lid = nextLid;
                 ledger.name = cell(ledger::Name);
                 ledger.alias = cell(ledger::AliasName);
                 ledger.group = cell(ledger::AccountGroup);
                 ledger.opBalance = std::fabs(CellNumber(place, ledger::OpeningBalance));
                 ledger.phone = cell(ledger::Phone);
                 ledger.fax = cell(ledger::Tin);
                 ledger.area = cell(ledger::Area);
                 db.Execute(LedgerInsertStatement(ledger));
                 inserted = true;
             }},
            {"test the opening balance",
             [&] {
                 try {
                     nonZero = amount() != 0;
                 } catch (const ConversionError&) {
                     nonZero = true;  // too large: the posting says so
                 }
             }},
            {"post the opening balance",
             [&] {
                 if (!inserted || !nonZero) {
                     return;
                 }
                 if (PostVoucher("Opening", form.dtpDate.Value, ledger.debit ? nextLid : 0,
                                 ledger.debit ? 0 : nextLid, IntText(nextLid), "Opening Balance",
                                 amount(), "", ops, &postingError) != 0) {
                     tally.AddPosting(tally.ledgers);
                     state.posting.posted = true;
                     (ledger.debit ? state.posting.debit : state.posting.credit) = amount();
                 } else {
                     // Reported by the posting itself; the row tells what happened.
                     state.Fail("post the opening balance", postingError);
                 }
             }},
            {"count the row",
             [&] {
                 nextLid = ToInt32(static_cast<double>(nextLid) + 1);
                 ops.DoEvents();
             }},
        });
        current = nullptr;
        rowAt = nullptr;
        RunTally::Outcome outcome = state.failed && inserted ? RunTally::Outcome::Partial
                                    : state.failed           ? RunTally::Outcome::Failed
                                    : state.skipped          ? RunTally::Outcome::Skipped
                                                             : RunTally::Outcome::Written;
        std::string note = state.error;
        if (outcome == RunTally::Outcome::Partial) {
            note = "The ledger was written, but its opening balance was not posted: " + note;
        }
        if (std::string w = NumberWarning(place, ledger::OpeningBalance); !w.empty()) {
            state.Warn(w);
        }
        tally.Record(tally.ledgers,
                     {"ledgers", std::string(grid.TextMatrix(r, 0)),
                      Trim(std::string(grid.TextMatrix(r, ledger::Name))), outcome,
                      inserted ? IntText(ledger.lid) : "", note, state.step, state.warnings,
                      inserted ? state.posting : RunTally::Posting{}});
        ops.Progress(kLedgerStageName, r, last);
        try {
            batch.RowDone();
        } catch (const BatchLost& lost) {
            ops.MsgBox(lost.Description(), MsgButtons::OK, MsgIcon::Exclamation);
            unreached(r + 1, ": " + lost.Description());
            return;
        }
        if (!ran) {
            unreached(r + 1, ".");
            return;
        }
        if (ctx.StopRequested()) {
            unreached(r + 1, " by the operator.");
            stopped = true;
            break;
        }
    }
    try {
        batch.Finish();
    } catch (const BatchLost& lost) {
        ops.MsgBox(lost.Description(), MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    if (stopped) {
        return;  // as after No: without the group updates
    }
    outside = "Ledger sheet, after the last row";
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
