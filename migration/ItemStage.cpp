#include "migration/ItemStage.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <unordered_set>

#include "base/TextRules.h"
#include "data/Recordset.h"
#include "data/Savepoint.h"
#include "load/GridLayouts.h"
#include "migration/HeldMasters.h"
#include "migration/ItemRead.h"
#include "migration/Lookups.h"
#include "migration/Postings.h"
#include "migration/RunTally.h"
#include "migration/StageLoop.h"

namespace ledgerlift {
namespace {

constexpr Rgb kNewItem{255, 255, 0};
constexpr Rgb kExistingItem{0, 255, 0};
constexpr int kUniqueKeyRetries = 3;

// Quantities compare to a millionth.
bool SameQuantity(double a, double b) {
    return std::fabs(a - b) <= 1e-6 * std::max(1.0, std::fabs(a));
}

// What one grid row holds while its steps run.
struct ItemRow {
    ItemRowRead read;
    std::string code;  // lengthened when the code is already taken
    bool isNew = true;
    std::int32_t id = 0;
    bool idGiven = false;  // a new id, or the existing item's
    bool inserted = false;
    bool heldBefore = false;  // the company held the code before the run
    // What a held item's opening stock gets: nothing, posted now (it had
    // none), or replaced (on purpose, when it differs).
    enum class Opening { Leave, Complete, Replace } opening = Opening::Leave;
    bool differs = false;        // the company holds another name or opening: left as it is
    bool posted = false;         // the opening stock went in
    bool refused = false;        // the row is never written: its error says why
    std::string firstRowOfCode;  // the worksheet row that first gave this code
    RunTally::RowState state;
    std::unique_ptr<Savepoint> replacement;  // update mode: delete and insert together
};

}  // namespace

Sql ItemInsertStatement(const ItemRecord& i) {
    return Sql("insert into tblitemMaster (ItemID,itemcode,ItemNAme,LedgerID,MalayalamEnglish "
               ",Malayalam,CAtegoryID,unit, MRP,ROL,Rack,Description,Srate,GSTPER,CSTPER,Prate,"
               "RateInclusive,MAnufacturer,Discount,SratePer,MrpPer,PstPer, IntLocal,ScheduleNo,"
               "ProductType,PRoducttypeid,ActiveStatus,RateInclusivePurchase) values(")
           << sql::Int(i.itemId) << "," << sql::Text(Trim(i.code)) << "," << sql::Text(Trim(i.name))
           << ",0,'<None>','<None>'," << sql::Number(i.categoryId) << "," << sql::Text(i.unit)
           << "," << sql::Number(i.mrp) << "," << sql::Number(i.rol) << ",'RACK',"
           << sql::Text(Trim(i.description)) << "," << sql::Number(i.srate) << ","
           << sql::Number(i.gstPer) << "," << sql::Number(i.cstPer) << "," << sql::Number(i.prate)
           << "," << sql::Int(i.rateInclusive) << "," << sql::Text(Trim(i.manufacturer))
           << ",0,0,0," << sql::Number(i.pstPer) << ",0,'','STOCK ITEM',0,1,"
           << sql::Int(i.rateInclusivePurchase) << ")";
}

namespace {

// The item codes that the company holds before this run, as the item master
// compares them (without regard to ASCII letter case). An item whose code is
// among them is left as it is (no lengthened copy, no second opening stock),
// so that a run that was interrupted and is run again ends where one whole
// run would have. Read once: a query per row would cost the stage a third of
// its time.
class CodesHeldBefore {
  public:
    // Items of this run get ids from firstNewId up; replaced ones keep theirs.
    CodesHeldBefore(Connection& db, std::int64_t firstNewId) {
        Recordset rs;
        rs.Open(Sql("select ItemCode from tblItemMaster where ItemID < ") << sql::Int(firstNewId),
                db, CursorType::ForwardOnly, LockType::ReadOnly);
        for (; !rs.IsEOF(); rs.MoveNext()) {
            codes_.insert(Upper(ValueToText(rs.Field(0))));
        }
    }
    bool Holds(const std::string& code) const { return codes_.count(Upper(Trim(code))) > 0; }

  private:
    std::unordered_set<std::string> codes_;
};

class ItemStage final : public StageLoop {
  public:
    explicit ItemStage(StageContext& context)
        : StageLoop(context), grid_(context.controls.itemGrid), db_(context.connection) {}

  protected:
    Sheet Describe() override {
        return {kItemStageName,
                grid_,
                "Item",
                item::Code,
                "Item sheet, before the first row",
                "Item sheet, after the last row",
                "items",
                &ctx.tally.items,
                "the item stage"};
    }
    std::vector<Step> BeginSteps() override {
        return {{"start the item counter", [this] { StartCounter(); }},
                {"note the first new id", [this] { firstNewId_ = counter_; }}};
    }
    void Read(int r) override {
        row_ = ItemRow{};
        row_.read = ReadItemRow(grid_, r, ctx.controls.updateItemsBox.Value == 1);
        row_.code = row_.read[item::Code].text;
        std::string key = Upper(Trim(row_.code));
        if (!key.empty()) {
            row_.firstRowOfCode = firstRowOfCode_.emplace(key, SheetRow(r)).first->second;
        }
    }
    std::optional<Finding> Refusal(int r) const override {
        if (std::optional<Finding> marked = StageLoop::Refusal(r)) {
            return marked;
        }
        if (!row_.read.errors.empty()) {
            return row_.read.errors.front();
        }
        return std::nullopt;
    }
    std::vector<Step> WriteSteps(int r) override;
    void Refuse(int, const Finding& why) override {
        row_.refused = true;
        std::vector<Finding> errors = row_.read.errors;
        if (errors.empty() || errors.front().text != why.text) {
            errors.insert(errors.begin(), why);  // the load's mark
        }
        row_.state.Refuse(errors);
        ++counter_;
    }
    void Finish(int r) override;
    std::string Question(const std::string& why) const override {
        return why + "\r\n" + kContinueQuestion;
    }
    // A code that is taken is lengthened by the counter, and the step tried
    // again (three times at most).
    std::optional<Verdict> OwnVerdict(const StepFailure& failure) override {
        if (Place() && failure.IsUniqueKey() && failure.retries < kUniqueKeyRetries) {
            row_.code += IntText(counter_);
            return Verdict::Retry;
        }
        return std::nullopt;
    }
    void Failed(const StepFailure& failure, const std::string& why) override {
        if (Place()) {
            row_.state.Fail(failure.step, why);
        }
    }

  private:
    void CompareWithTheCompany(int r);
    void StartCounter();
    std::int32_t NewId() const;
    void LookUpCategory();
    void FindExisting();
    void Mark(int r);
    void TakeStoredQuantity(int r);
    void DeleteExisting();
    void Insert();
    void FillStockLine();
    void PostOpeningStock();
    RunTally::Outcome Outcome() const;

    Grid& grid_;
    Connection& db_;
    // Ids above the 32-bit range fail their row, one by one, with a sentence.
    std::int64_t counter_ = 0;
    std::int64_t firstNewId_ = 0;
    std::optional<CodesHeldBefore> codesHeld_;  // read when a row first needs them
    Recordset category_;
    StockLine line_;
    ItemRow row_;
    // The worksheet row that first gave each code (upper case, trimmed).
    std::unordered_map<std::string, std::string> firstRowOfCode_;

    std::string SheetRow(int r) const { return std::string(grid_.TextMatrix(r, 0)); }
};

void ItemStage::StartCounter() {
    std::string error;
    Value next = GetNextId(db_, "tblItemMaster", "ItemID", "", ctx.ops, &error);
    if (!error.empty()) {
        throw DataError(
            "The highest ItemID could not be read, so new items can't be given their ids: " +
            error);
    }
    counter_ = (next.IsInteger() ? next.AsInteger() : ToInt32(next)) + 1;
}

std::int32_t ItemStage::NewId() const {
    if (counter_ > 2147483647) {
        throw ConversionError(Place()->Name() + ": the next free ItemID, " + IntText(counter_) +
                              ", is beyond the largest id an item can have (2147483647).");
    }
    return static_cast<std::int32_t>(counter_);
}

void ItemStage::LookUpCategory() {
    if (category_.IsOpen()) {
        category_.Close();
    }
    const std::string& name = row_.read[item::Category].Text();
    category_.Open(
        Sql("select categoryid from tblCategories where Category=") << sql::Text(Trim(name)), db_,
        CursorType::ForwardOnly);
}

void ItemStage::FindExisting() {
    if (row_.read.updateMode) {
        row_.id = GetItemIdByCode(db_, row_.code, ctx.ops);
        return;
    }
    row_.read[item::Code].RequireStorable();
    if (!codesHeld_) {
        codesHeld_.emplace(db_, firstNewId_);
    }
    row_.heldBefore = codesHeld_->Holds(row_.code);
}

void ItemStage::Mark(int r) {
    if (row_.heldBefore) {
        return;
    }
    auto select = [&](Rgb colour) {
        grid_.SetRow(r);
        grid_.SetCol(item::Code);
        grid_.SetCellBackColor(colour);
    };
    if (!row_.read.updateMode) {
        row_.id = NewId();
        row_.idGiven = true;
    } else if (row_.isNew) {
        row_.id = NewId();
        row_.idGiven = true;
        select(kNewItem);
    } else {
        row_.idGiven = true;
        select(kExistingItem);
        TakeStoredQuantity(r);
    }
}

// In update mode a replaced item's opening quantity is its stored Discount,
// which takes the place of the workbook's in the grid.
void ItemStage::TakeStoredQuantity(int r) {
    std::string workbookQoh(grid_.TextMatrix(r, item::Qoh));
    grid_.SetTextMatrix(
        r, item::Qoh,
        ValueToText(GetTableValue(db_, "tblItemMaster", "Discount",
                                  Sql(" where ItemID=") << sql::Int(row_.id), ctx.ops)));
    double workbookQuantity = row_.read[item::Qoh].number;
    row_.read.cells[item::Qoh] = ReadNumberCell(*Place(), item::Qoh);
    if (workbookQuantity != row_.read[item::Qoh].number) {
        row_.state.Warn(
            {"In update mode the opening quantity of a replaced item is its stored Discount, " +
                 NumberText(row_.read[item::Qoh].number) + ", not the workbook's " +
                 Trim(workbookQoh) + ".",
             kind::StoredQuantity});
    }
}

// A code the company held before the run: the row completes what is
// missing of it, or leaves it as it is, never doubling it. Only the first
// row of a code the workbook repeats is compared.
void ItemStage::CompareWithTheCompany(int r) {
    if (!row_.heldBefore) {
        return;
    }
    std::optional<HeldItem> held = ReadHeldItem(db_, row_.code);
    if (!held) {
        return;
    }
    row_.id = held->id;
    const std::string code = Trim(row_.read[item::Code].text);
    const std::string name = Trim(row_.read[item::Name].text);
    if (row_.firstRowOfCode != SheetRow(r)) {
        row_.state.Warn({"Row " + row_.firstRowOfCode + " already has " + code +
                             ", which is in the company; this row is left as it is.",
                         kind::AlreadyThere});
        return;
    }
    if (Upper(Trim(held->name)) != Upper(name)) {
        row_.differs = true;
        row_.state.Warn({code + " in the company is " + Trim(held->name) + "; the workbook says " +
                             name + "; left as it is.",
                         kind::Differs});
        return;
    }
    double qoh = row_.read[item::Qoh].number;
    if (held->openingLines == 0) {
        row_.opening = qoh != 0 ? ItemRow::Opening::Complete : ItemRow::Opening::Leave;
    } else if (!SameQuantity(held->openingQuantity, qoh)) {
        if (ctx.controls.replaceOpeningsBox.Value == 1) {
            row_.opening = ItemRow::Opening::Replace;
        } else {
            row_.differs = true;
            row_.state.Warn({"The company already has an opening stock of " +
                                 NumberText(held->openingQuantity) + " for " + code +
                                 "; the workbook says " + NumberText(qoh) + "; left as it is.",
                             kind::Differs});
        }
    }
}

void ItemStage::DeleteExisting() {
    if (row_.read.updateMode && !row_.isNew) {
        row_.replacement.reset();
        row_.replacement = std::make_unique<Savepoint>(db_);
        db_.Execute(Sql("Delete from tblItemMaster WHERE ItemID=") << sql::Int(row_.id));
    }
}

void ItemStage::Insert() {
    if (row_.heldBefore || !row_.idGiven) {
        return;  // no id: the row has failed already
    }
    const ItemRowRead& read = row_.read;
    for (int c = item::Code; c <= item::Rol; ++c) {
        read[c].RequireStorable();
    }
    if (category_.IsOpen() && category_.IsEOF()) {
        throw DataError("The category \"" + Trim(read[item::Category].text) +
                        "\" is not in the company, so the item can't be filed under it.");
    }
    ItemRecord record;
    record.itemId = row_.id;
    record.code = row_.code;
    record.name = read[item::Name].text;
    record.categoryId = Val(ValueToText(category_.Field("CategoryID")));
    record.unit = read[item::Unit].text;
    record.mrp = read[item::Mrp].Number();
    record.rol = read[item::Rol].Number();
    record.description = read[item::Description].text;
    record.srate = read[item::Wholesale].Number();
    record.gstPer = read[item::SalesVat].Number();
    record.cstPer = read[item::Cst].Number();
    record.prate = read[item::PurchaseRate].Number();
    record.rateInclusive = read.salesFlag;
    record.manufacturer = read[item::Manufacturer].text;
    record.pstPer = read[item::PurchaseVat].Number();
    record.rateInclusivePurchase = read.purchaseFlag;
    db_.Execute(ItemInsertStatement(record));
    row_.inserted = true;
    if (row_.replacement) {
        row_.replacement->Commit();
        row_.replacement.reset();
    }
}

void ItemStage::FillStockLine() {
    if (!row_.inserted && row_.opening == ItemRow::Opening::Leave) {
        return;
    }
    double qoh = row_.read[item::Qoh].Number();
    line_.ItemID = row_.id;
    line_.SRate = row_.read[item::Wholesale].Number();
    line_.PRate = row_.read[item::PurchaseRate].Number();
    line_.MRP = row_.read[item::Mrp].Number();
    line_.Qty = qoh < 0 ? -qoh : qoh;
    line_.FreeQty = 0;
}

void ItemStage::PostOpeningStock() {
    double qoh = row_.read[item::Qoh].Number();
    bool held = row_.opening != ItemRow::Opening::Leave;
    if ((!row_.inserted && !held) || qoh == 0) {
        return;
    }
    // A replaced opening goes with the new one, or stays; it goes once the
    // new one is posted, so that the new line never takes the number of one
    // of its lines (the run's read-back counts the lines above the numbers
    // it started from).
    std::optional<Savepoint> replacing;
    std::int64_t replacedUpTo = 0;
    if (row_.opening == ItemRow::Opening::Replace) {
        replacing.emplace(db_);
        replacedUpTo = LastStockLine(db_);
    }
    // The history line holds the quantity times each rate.
    const RowPlace& place = *Place();
    FiniteProduct(place, item::Qoh, line_.Qty, item::PurchaseRate, line_.PRate);
    FiniteProduct(place, item::Qoh, line_.Qty, item::Wholesale, line_.SRate);
    FiniteProduct(place, item::Qoh, line_.Qty, item::Mrp, line_.MRP);
    RunTally::Posting expected{true, qoh, qoh * line_.PRate, 0, 0};
    std::string error;
    if (PostStockEntry(db_, "OpeningStock", qoh > 0 ? kStockIn : kStockOut, row_.id, "", line_,
                       ctx.controls.migrationDate.Value, ctx.ops, &error)) {
        if (replacing) {
            RemoveOpeningStock(db_, row_.id, std::max<std::int64_t>(replacedUpTo, 1));
            replacing->Commit();
        }
        ctx.tally.AddPosting(ctx.tally.items);
        row_.state.posting = expected;
        row_.posted = true;
    } else {
        // Reported by the posting itself; the row tells what happened.
        row_.state.Fail("post the opening stock", error);
    }
}

std::vector<Step> ItemStage::WriteSteps(int r) {
    return {
        {"look up the category", [this] { LookUpCategory(); }},
        {"find the existing item", [this] { FindExisting(); }},
        {"compare with the company", [this, r] { CompareWithTheCompany(r); }},
        {"test whether the item is new",
         [this] {
             if (row_.read.updateMode) {
                 row_.isNew = row_.id == 0;
             }
         }},
        {"mark the item", [this, r] { Mark(r); }},
        {"delete the existing item", [this] { DeleteExisting(); }},
        {"insert the item", [this] { Insert(); }},
        // When the replacement could not be inserted, the old record comes
        // back: an item is never lost.
        {"keep the replaced item", [this] { row_.replacement.reset(); }},
        {"fill the stock line", [this] { FillStockLine(); }},
        {"scroll to the row",
         [this, r] {
             grid_.SetTopRow(r);
             ctx.ops.DoEvents();
         }},
        {"post the opening stock", [this] { PostOpeningStock(); }},
        {"count the row",
         [this] {
             ++counter_;
             ctx.ops.DoEvents();
         }},
    };
}

RunTally::Outcome ItemStage::Outcome() const {
    const RunTally::RowState& state = row_.state;
    if (row_.heldBefore && !state.failed) {
        if (row_.differs) {
            return RunTally::Outcome::Differs;
        }
        if (row_.posted) {
            return row_.opening == ItemRow::Opening::Replace ? RunTally::Outcome::Replaced
                                                             : RunTally::Outcome::Completed;
        }
        return RunTally::Outcome::Skipped;
    }
    return row_.heldBefore && !state.failed      ? RunTally::Outcome::Skipped
           : state.failed && row_.inserted       ? RunTally::Outcome::Partial
           : state.failed                        ? RunTally::Outcome::Failed
           : row_.read.updateMode && !row_.isNew ? RunTally::Outcome::Updated
                                                 : RunTally::Outcome::Written;
}

void ItemStage::Finish(int r) {
    RunTally::Outcome outcome = Outcome();
    RunTally::RowState& state = row_.state;
    std::string note = state.error;
    std::string original = Trim(row_.read[item::Code].text);
    std::string stored = row_.inserted ? Trim(row_.code) : original;
    bool saidWhy = std::any_of(state.warnings.begin(), state.warnings.end(), [](const Finding& f) {
        return f.kind == kind::AlreadyThere || f.kind == kind::Differs;
    });
    if (outcome == RunTally::Outcome::Skipped) {
        note = "Already there: the company held the item code " + Trim(row_.code) +
               " before this run; it was left as it is.";
        if (!saidWhy) {
            state.Warn({"The item code " + original +
                            " is already in the company with its opening stock; the row is left "
                            "as it is (no second item, no second opening stock).",
                        kind::AlreadyThere});
        }
    } else if (outcome == RunTally::Outcome::Differs) {
        note = "Left as it is: " + state.warnings.back().text;
    } else if (outcome == RunTally::Outcome::Partial &&
               note.rfind("The item was written", 0) != 0) {
        note = "The item was written, but its opening stock was not posted: " + note;
    }
    if (stored != original) {
        // The lengthened duplicates of a code the workbook repeats.
        std::string sheetRow(grid_.TextMatrix(r, 0));
        state.Warn({row_.firstRowOfCode != sheetRow
                        ? "Stored as " + stored + ": row " + row_.firstRowOfCode + " already has " +
                              original + "."
                        : "The item code " + original +
                              " is used by another item, so this one is stored as " + stored + ".",
                    kind::CodeLengthened});
    }
    if (!row_.refused) {
        for (const Finding& warning : row_.read.warnings) {
            state.Warn(warning);
        }
    }
    ctx.tally.Record(ctx.tally.items,
                     {"items", std::string(grid_.TextMatrix(r, 0)), stored, outcome,
                      row_.inserted ? IntText(row_.id) : "", note, state.step, state.warnings,
                      state.posting, state.errorFinding, state.otherErrors});
}

}  // namespace

void RunItemStage(StageContext& ctx) {
    ItemStage(ctx).Run();
}

}  // namespace ledgerlift
