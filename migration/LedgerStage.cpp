#include "migration/LedgerStage.h"

#include <cstdio>
#include <unordered_set>

#include <cmath>
#include <optional>

#include "base/TextRules.h"
#include "data/Recordset.h"
#include "data/Savepoint.h"
#include "load/GridLayouts.h"
#include "migration/HeldMasters.h"
#include "migration/Lookups.h"
#include "migration/Postings.h"
#include "migration/RunTally.h"
#include "migration/StageLoop.h"

namespace ledgerlift {

Sql LedgerInsertStatement(const LedgerRecord& l) {
    return Sql("insert into tblledger (LID,LName,LAliasName,GroupName,Type,OpBalance,AppearIn,"
               "Address,CreditDays,Phone,Fax,AccountGroupID,TargetAmt,Area) values(")
           << sql::Int(l.lid) << "," << sql::Text(Trim(l.name)) << "," << sql::Text(Trim(l.alias))
           << "," << sql::Text(Trim(l.group)) << "," << sql::Text(l.debit ? "Dr" : "Cr") << ","
           << sql::Number(l.opBalance) << ",'BalanceSheet'," << sql::Text(l.address) << ",0,"
           << sql::Text(l.phone) << "," << sql::Text(l.fax) << "," << sql::Int(l.accountGroupId)
           << ",0," << sql::Text(Trim(l.area)) << ")";
}

namespace {

// The groups that the stage moves to the product's own customer and
// supplier groups after the walk: a company without them is no surprise.
bool MovedAfterTheWalk(const std::string& group) {
    std::string g = Upper(Trim(group));
    return g == "SUNDRY CREDITORS" || g == "SUNDRY DEBTORS";
}

class LedgerStage final : public StageLoop {
  public:
    explicit LedgerStage(StageContext& context)
        : StageLoop(context), grid_(context.controls.ledgerGrid), db_(context.connection) {}

  protected:
    Sheet Describe() override {
        return {kLedgerStageName,
                grid_,
                "Ledger",
                ledger::Name,
                "Ledger sheet, before the first row",
                "Ledger sheet, after the last row",
                "ledgers",
                &ctx.tally.ledgers,
                "the ledger stage"};
    }
    std::vector<Step> BeginSteps() override {
        return {{"read the next LID",
                 [this] { nextLid_ = ToInt32(GetNextId(db_, "tblLedger", "LID", "", ctx.ops)); }},
                {"note the first new LID", [this] { firstNewLid_ = nextLid_; }}};
    }
    void Read(int r) override {
        read_ = ReadLedgerRow(grid_, r, ctx.controls.negativeIsCreditBox.Value == 1);
        DuplicateName(r);
        record_ = LedgerRecord{};
        state_ = RunTally::RowState{};
        inserted_ = false;
        nonZero_ = true;
        refused_ = false;
        sideless_ = false;
        held_.reset();
        opening_ = Opening::Leave;
        differs_ = false;
        heldPosted_ = false;
    }
    std::vector<Step> WriteSteps(int r) override;
    RunTally::Outcome HeldOutcome() const {
        if (differs_) {
            return RunTally::Outcome::Differs;
        }
        if (heldPosted_) {
            return opening_ == Opening::Replace ? RunTally::Outcome::Replaced
                                                : RunTally::Outcome::Completed;
        }
        return RunTally::Outcome::Skipped;
    }
    std::optional<Finding> Refusal(int r) const override {
        if (std::optional<Finding> marked = StageLoop::Refusal(r)) {
            return marked;
        }
        if (!read_.errors.empty()) {
            return read_.errors.front();
        }
        return std::nullopt;
    }
    void Refuse(int, const Finding& why) override {
        refused_ = true;
        std::vector<Finding> errors = read_.errors;
        if (errors.empty() || errors.front().text != why.text) {
            errors.insert(errors.begin(), why);  // the load's mark
        }
        state_.Refuse(errors);
        nextLid_ = ToInt32(static_cast<double>(nextLid_) + 1);
    }
    void Finish(int r) override;
    std::vector<Step> EndSteps(bool stopped) override;
    std::string Question(const std::string& why) const override {
        return kContinueQuestion + ("\r\n" + why);
    }
    // A ledger whose name is taken is already there: it keeps its balance
    // (no second voucher), and the stage goes on without a question.
    std::optional<Verdict> OwnVerdict(const StepFailure& failure) override {
        if (!failure.IsUniqueKey()) {
            return std::nullopt;
        }
        if (Place()) {
            state_.Skip(failure.step, "Already there: a ledger named " +
                                          Trim(read_[ledger::Name].text) +
                                          " is already in the company; it was left as it is.");
            state_.Warn(
                "A ledger with this name is already in the company; the row is not written and "
                "its opening balance is not posted.");
        }
        return Verdict::Continue;
    }
    void Failed(const StepFailure& failure, const std::string& why) override {
        if (!Place()) {
            return;
        }
        // A balance beyond the currency's range fails the ledger's insert:
        // the finding names the amount's cell.
        Finding finding;
        if (!read_.amountError.empty() && failure.description == read_.amountError) {
            const RowPlace& place = *Place();
            finding = {"", kind::TooLarge, place.ColumnLetter(ledger::OpeningBalance),
                       place.ColumnHeading(ledger::OpeningBalance)};
        }
        state_.Fail(failure.step, why, finding);
    }

  private:
    void DuplicateName(int r);
    void LookUpGroup();
    void TakeTheGroupsSide(const std::string& group);
    void Insert();
    void PostOpeningBalance();
    void CompareWithTheCompany();
    void PostHeldOpening();

    Grid& grid_;
    Connection& db_;
    std::int32_t nextLid_ = 0;
    LedgerRowRead read_;
    LedgerRecord record_;
    RunTally::RowState state_;
    bool inserted_ = false;
    bool nonZero_ = true;
    bool refused_ = false;
    bool sideless_ = false;  // a balance without a side, its group none either
    // A ledger the company held before the run: its LID, and what its
    // opening balance gets (see the item stage: left, completed, replaced).
    std::optional<HeldLedger> held_;
    enum class Opening { Leave, Complete, Replace } opening_ = Opening::Leave;
    bool differs_ = false;
    bool heldPosted_ = false;
    std::int32_t firstNewLid_ = 0;
    std::optional<std::unordered_set<std::string>> namesHeld_;  // read when first needed
    // The worksheet row that first gave each name (upper case, trimmed).
    std::unordered_map<std::string, std::string> firstRowOfName_;
};

// A ledger name that an earlier row of the workbook has: an error on the
// later row, never "already in the company".
void LedgerStage::DuplicateName(int r) {
    std::string key = Upper(Trim(read_[ledger::Name].text));
    if (key.empty()) {
        return;
    }
    std::string sheetRow(grid_.TextMatrix(r, 0));
    auto [first, isNew] = firstRowOfName_.emplace(key, sheetRow);
    if (!isNew) {
        RowPlace place{"Ledger", grid_, r, ledger::Name};
        read_.errors.push_back({place.Name() + ": the same ledger name as worksheet row " +
                                    first->second + "; the row is not migrated.",
                                kind::DuplicateName, place.ColumnLetter(ledger::Name),
                                place.ColumnHeading(ledger::Name)});
    }
}

std::string AmountText(double amount, bool debit) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", amount);
    return std::string(text) + (debit ? " Dr" : " Cr");
}

// A name the company held before the run: the row completes its opening
// balance when it has none, leaves it when it is the workbook's, and names
// both when they differ (or replaces it, on purpose). Never a second ledger.
void LedgerStage::CompareWithTheCompany() {
    if (sideless_) {
        return;
    }
    if (!namesHeld_) {
        namesHeld_.emplace();
        Recordset rs;
        rs.Open(Sql("select LName from tblLedger where LID < ") << sql::Int(firstNewLid_), db_,
                CursorType::ForwardOnly, LockType::ReadOnly);
        for (; !rs.IsEOF(); rs.MoveNext()) {
            namesHeld_->insert(Upper(Trim(ValueToText(rs.Field(0)))));
        }
    }
    const std::string name = Trim(read_[ledger::Name].text);
    if (namesHeld_->count(Upper(name)) == 0 || !(held_ = ReadHeldLedger(db_, name))) {
        return;
    }
    double net = held_->debit - held_->credit;
    double amount = read_.Amount();
    if (held_->vouchers == 0) {
        opening_ = amount != 0 ? Opening::Complete : Opening::Leave;
        return;
    }
    bool same = std::fabs(std::fabs(net) - amount) < 0.00005 &&
                (amount == 0 || (net >= 0) == record_.debit);
    if (same) {
        return;
    }
    if (ctx.controls.replaceOpeningsBox.Value == 1) {
        opening_ = Opening::Replace;
        return;
    }
    differs_ = true;
    state_.Warn({"The company already has an opening balance of " +
                     AmountText(std::fabs(net), net >= 0) + " for " + name +
                     "; the workbook says " + AmountText(amount, record_.debit) +
                     "; left as it is.",
                 kind::Differs});
}

// The opening balance of a ledger the company held: posted now, or in the
// place of the one there (both in one transaction); its stored OpBalance
// and Type become what was posted.
void LedgerStage::PostHeldOpening() {
    if (opening_ == Opening::Leave) {
        return;
    }
    Savepoint row(db_);
    double amount = read_.Amount();
    bool debit = record_.debit;
    std::int32_t lid = held_->lid;
    std::string error;
    std::int32_t posted = 0;
    if (amount != 0 &&
        (posted = PostVoucher(db_, "Opening", ctx.controls.migrationDate.Value, debit ? lid : 0,
                              debit ? 0 : lid, IntText(lid), "Opening Balance", amount, "", ctx.ops,
                              &error)) == 0) {
        // Reported by the posting itself; nothing of the row is kept.
        state_.Fail("post the opening balance", error);
        return;
    }
    // The replaced vouchers go once the new one is posted, so that it never
    // takes the number of one of them: the run's read-back counts what lies
    // above the numbers it started from.
    if (opening_ == Opening::Replace) {
        RemoveOpeningVouchers(db_, lid, posted);
    }
    db_.Execute(Sql("update tblLedger set OpBalance = ")
                << sql::Number(amount) << ", Type = " << sql::Text(debit ? "Dr" : "Cr")
                << " where LID = " << sql::Int(lid));
    row.Commit();
    heldPosted_ = true;
    if (amount != 0) {
        ctx.tally.AddPosting(ctx.tally.ledgers);
        state_.posting.posted = true;
        (debit ? state_.posting.debit : state_.posting.credit) = amount;
    }
}

// A balance that says neither Dr nor Cr takes the usual side of its account
// group: debit for Assets, credit for Liabilities. A group the company does
// not hold, or one without a usual side, leaves the balance without a side:
// the row is refused.
void LedgerStage::TakeTheGroupsSide(const std::string& group) {
    std::string primary = Upper(GetPrimaryGroup(db_, group));
    RowPlace place{"Ledger", grid_, Place()->row, ledger::Name};
    if (primary == "ASSETS" || primary == "LIABILITIES") {
        record_.debit = primary == "ASSETS";
        state_.Warn({"The balance says neither Dr nor Cr; it is posted as a " +
                         std::string(record_.debit ? "debit" : "credit") +
                         ", the usual side of its account group \"" + group + "\" (" +
                         (record_.debit ? "Assets" : "Liabilities") + ").",
                     kind::SideFromGroup, place.ColumnLetter(ledger::DrCr),
                     place.ColumnHeading(ledger::DrCr)});
        return;
    }
    sideless_ = true;
    std::string why =
        group.empty() ? "it has no account group"
        : primary.empty()
            ? "its account group \"" + group + "\" is not in the company"
            : "its account group \"" + group + "\" (" + Trim(primary) + ") has no usual side";
    state_.Fail(
        "read the side",
        place.Name() + ", " + place.Column(ledger::DrCr) +
            ": the balance says neither Dr nor Cr, and " + why + "; the row is not migrated.",
        {"", kind::NoSide, place.ColumnLetter(ledger::DrCr), place.ColumnHeading(ledger::DrCr)});
}

void LedgerStage::LookUpGroup() {
    read_[ledger::AccountGroup].RequireStorable();
    bool found = true;
    std::string group = Trim(read_[ledger::AccountGroup].text);
    record_.accountGroupId = ToInt32(GetAccountGroupId(db_, group, ctx.ops, &found));
    if (!found && !MovedAfterTheWalk(group)) {
        state_.Warn({"The account group \"" + group +
                         "\" is not in the company, so the ledger is filed under group 11 "
                         "(Supplier).",
                     kind::UnknownGroup});
    }
    if (!read_.debit && read_.amountError.empty()) {
        TakeTheGroupsSide(group);
    }
}

void LedgerStage::Insert() {
    if (sideless_ || held_) {
        return;  // refused: the balance has no side; or the company has it
    }
    for (int c = ledger::AliasName; c <= ledger::Area; ++c) {
        read_[c].RequireStorable();
    }
    // A balance too large for a currency refuses the whole row: a ledger
    // without its voucher would disagree with the books.
    read_.Amount();
    const CellReading& opening = read_[ledger::OpeningBalance];
    record_.lid = nextLid_;
    record_.name = read_[ledger::Name].text;
    record_.alias = read_[ledger::AliasName].text;
    record_.group = read_[ledger::AccountGroup].text;
    record_.opBalance = std::fabs(opening.Number());
    record_.phone = read_[ledger::Phone].text;
    record_.fax = read_[ledger::Tin].text;
    record_.area = read_[ledger::Area].text;
    db_.Execute(LedgerInsertStatement(record_));
    inserted_ = true;
}

void LedgerStage::PostOpeningBalance() {
    if (held_) {
        PostHeldOpening();
        return;
    }
    if (!inserted_ || !nonZero_) {
        return;
    }
    std::string error;
    bool debit = record_.debit;
    if (PostVoucher(db_, "Opening", ctx.controls.migrationDate.Value, debit ? nextLid_ : 0,
                    debit ? 0 : nextLid_, IntText(nextLid_), "Opening Balance", read_.Amount(), "",
                    ctx.ops, &error) != 0) {
        ctx.tally.AddPosting(ctx.tally.ledgers);
        state_.posting.posted = true;
        (debit ? state_.posting.debit : state_.posting.credit) = read_.Amount();
    } else {
        // Reported by the posting itself; the row tells what happened.
        state_.Fail("post the opening balance", error);
    }
}

std::vector<Step> LedgerStage::WriteSteps(int) {
    return {
        {"read the DrCr cell",
         [this] {
             record_.debit = read_.debit.value_or(true);
             for (const Finding& warning : read_.warnings) {
                 state_.Warn(warning);
             }
         }},
        {"look up the account group", [this] { LookUpGroup(); }},
        {"read the address", [this] { record_.address = Trim(read_[ledger::Address].Text()); }},
        {"show the ledger tab", [this] { ctx.controls.gridTabs.Tab = 1; }},
        {"compare with the company", [this] { CompareWithTheCompany(); }},
        {"insert the ledger", [this] { Insert(); }},
        {"test the opening balance",
         [this] {
             try {
                 nonZero_ = read_.Amount() != 0;
             } catch (const ConversionError&) {
                 nonZero_ = true;  // too large: the posting says so
             }
         }},
        {"post the opening balance", [this] { PostOpeningBalance(); }},
        {"count the row",
         [this] {
             nextLid_ = ToInt32(static_cast<double>(nextLid_) + 1);
             ctx.ops.DoEvents();
         }},
    };
}

void LedgerStage::Finish(int r) {
    RunTally::Outcome outcome = state_.failed && inserted_ ? RunTally::Outcome::Partial
                                : state_.failed            ? RunTally::Outcome::Failed
                                : held_                    ? HeldOutcome()
                                : state_.skipped           ? RunTally::Outcome::Skipped
                                                           : RunTally::Outcome::Written;
    std::string note = state_.error;
    if (outcome == RunTally::Outcome::Skipped && held_) {
        note = "Already there: a ledger named " + Trim(read_[ledger::Name].text) +
               " is already in the company with its opening balance; it was left as it is.";
        state_.Warn({"A ledger named " + Trim(read_[ledger::Name].text) +
                         " is already in the company with its opening balance; the row is left "
                         "as it is (no second ledger, no second opening balance).",
                     kind::AlreadyThere});
    } else if (outcome == RunTally::Outcome::Differs) {
        note = "Left as it is: " + state_.warnings.back().text;
    }
    if (outcome == RunTally::Outcome::Partial) {
        note = "The ledger was written, but its opening balance was not posted: " + note;
    }
    ctx.tally.Record(
        ctx.tally.ledgers,
        {"ledgers", std::string(grid_.TextMatrix(r, 0)), Trim(read_[ledger::Name].text), outcome,
         inserted_ ? IntText(record_.lid) : "", note, state_.step, state_.warnings,
         inserted_ || held_ ? state_.posting : RunTally::Posting{}, state_.errorFinding,
         state_.otherErrors});
}

// After the walk, unless the operator stopped it (then as after No: without
// the group updates).
std::vector<Step> LedgerStage::EndSteps(bool stopped) {
    if (stopped) {
        return {};
    }
    return {{"move Sundry Creditors to Supplier",
             [this] {
                 db_.Execute(
                     "update tblledger set groupname='Supplier',AccountGroupID=11 where "
                     "groupname='Sundry Creditors'");
             }},
            {"move Sundry Debtors to Customer", [this] {
                 db_.Execute(
                     "update tblledger set groupname='Customer',AccountGroupID=10 where "
                     "groupname='Sundry Debtors'");
             }}};
}

}  // namespace

void RunLedgerStage(StageContext& ctx) {
    LedgerStage(ctx).Run();
}

}  // namespace ledgerlift
