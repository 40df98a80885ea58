#include "migration/ItemStage.h"

#include <memory>
#include <optional>
#include <unordered_set>

#include "base/TextRules.h"
#include "data/Recordset.h"
#include "data/Savepoint.h"
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
namespace {

constexpr Rgb kNewItem{255, 255, 0};
constexpr Rgb kExistingItem{0, 255, 0};
constexpr int kUniqueKeyRetries = 3;

// What one grid row holds while its steps run.
struct ItemRow {
    std::string code;
    std::string unit;
    std::string description;
    int salesFlag = 0;
    int purchaseFlag = 0;
    bool updateMode = true;
    bool isNew = true;
    std::int32_t id = 0;
    bool idGiven = false;  // a new id, or the existing item's
    bool inserted = false;
    RunTally::RowState state;
    std::unique_ptr<Savepoint> replacement;  // update mode: delete and insert together
};

}  // namespace

std::string ItemInsertStatement(const ItemRecord& i) {
    return "insert into tblitemMaster (ItemID,itemcode,ItemNAme,LedgerID,MalayalamEnglish "
           ",Malayalam,CAtegoryID,unit, MRP,ROL,Rack,Description,Srate,GSTPER,CSTPER,Prate,"
           "RateInclusive,MAnufacturer,Discount,SratePer,MrpPer,PstPer, IntLocal,ScheduleNo,"
           "ProductType,PRoducttypeid,ActiveStatus,RateInclusivePurchase) values(" +
           IntText(i.itemId) + ",'" + SqlEscape(Trim(i.code)) + "','" + SqlEscape(Trim(i.name)) +
           "'," + NumberText(0) + ",'" + "<None>" + "','" + "<None>" + "'," +
           NumberText(i.categoryId) + ",'" + SqlEscape(i.unit) + "'," + NumberText(i.mrp) + "," +
           NumberText(i.rol) + ",'RACK','" + SqlEscape(Trim(i.description)) + "'," +
           NumberText(i.srate) + "," + NumberText(i.gstPer) + "," + NumberText(i.cstPer) + "," +
           NumberText(i.prate) + "," + IntText(i.rateInclusive) + ",'" +
           SqlEscape(Trim(i.manufacturer)) + "',0,0,0," + NumberText(i.pstPer) +
           ",0,'','STOCK ITEM',0,1," + IntText(i.rateInclusivePurchase) + ")";
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
        rs.Open("select ItemCode from tblItemMaster where ItemID < " + IntText(firstNewId), db,
                CursorType::ForwardOnly, LockType::ReadOnly);
        for (; !rs.IsEOF(); rs.MoveNext()) {
            codes_.insert(Upper(ValueToText(rs.Field(0))));
        }
    }
    bool Holds(const std::string& code) const { return codes_.count(Upper(Trim(code))) > 0; }

  private:
    std::unordered_set<std::string> codes_;
};

}  // namespace

void migrateitem(StageContext& ctx) {
    WindowOps& ops = ctx.ops;
    FormControls& form = ctx.controls;
    Grid& grid = form.msf1;
    Connection& db = ctx.connection;
    ItemRow* current = nullptr;
    const RowPlace* rowAt = nullptr;  // the row whose steps run
    // Ids above the 32-bit range fail their row, one by one, with a sentence.
    std::int64_t counter = 0;
    StepRunner runner([&](const StepFailure& failure) {
        if (current && failure.IsUniqueKey() && failure.retries < kUniqueKeyRetries) {
            current->code += IntText(counter);
            return Verdict::Retry;
        }
        std::string why =
            rowAt ? RowSentence(*rowAt, failure.description)
                  : StageSentence("Item sheet, before the first row", failure.description);
        if (current) {
            current->state.Fail(failure.step, why);
        }
        if (!db.TransactionLost().empty()) {
            return Verdict::Stop;  // nothing more can be written; the run says why
        }
        if (ops.MsgBox(why + " Are you sure to Continue with next data", MsgButtons::YesNo,
                       MsgIcon::Question) == MsgAnswer::Yes) {
            return Verdict::Continue;
        }
        ops.MsgBox(why, MsgButtons::OK, MsgIcon::Exclamation);
        return Verdict::Stop;
    });
    RunTally& tally = ctx.tally;
    const int last = grid.Rows() - 2;
    auto unreached = [&](int from, const std::string& why) {
        tally.RecordUnreached(tally.items, "items", grid, from, last, item::Code,
                              "Not migrated: the item stage was stopped" + why);
    };

    if (!runner.Run("start the item counter", [&] {
            std::string error;
            Value next = GetNextId("tblItemMaster", "ItemID", "", ops, &error);
            if (!error.empty()) {
                throw DataError(
                    "The highest ItemID could not be read, so new items can't be "
                    "given their ids: " +
                    error);
            }
            counter = (next.IsInteger() ? next.AsInteger() : ToInt32(next)) + 1;
        })) {
        unreached(1, ".");
        return;
    }
    const std::int64_t firstNewId = counter;
    std::optional<CodesHeldBefore> codesHeld;  // read when a row first needs them
    Recordset category;
    StockLine line;
    CommitBatch batch(db, &tally);  // outlives each row's own savepoints
    ops.Progress(kItemStageName, 0, last);
    for (int r = 1; r <= last; ++r) {
        ItemRow row;
        current = &row;
        RowPlace place{"Item", grid, r, item::Code};
        rowAt = &place;
        bool heldBefore = false;
        auto cell = [&](int col) { return std::string(grid.TextMatrix(r, col)); };
        auto number = [&](int col) { return CellNumber(place, col); };
        auto select = [&](Rgb colour) {
            grid.SetRow(r);
            grid.SetCol(item::Code);
            grid.SetCellBackColor(colour);
        };
        auto newId = [&] {
            if (counter > 2147483647) {
                throw ConversionError(place.Name() + ": the next free ItemID, " + IntText(counter) +
                                      ", is beyond the largest id an item can have "
                                      "(2147483647).");
            }
            return static_cast<std::int32_t>(counter);
        };
        std::string postingError;
        bool ran = runner.Run({
            {"look up the category",
             [&] {
                 if (category.IsOpen()) {
                     category.Close();
                 }
                 RequireStorableText(place, item::Category);
                 category.Open("select categoryid from tblCategories where Category='" +
                                   SqlEscape(Trim(cell(item::Category))) + "'",
                               db, CursorType::ForwardOnly);
             }},
            {"read the rate-inclusive flags",
             [&] {
                 row.salesFlag = 0;
                 row.purchaseFlag = 0;
                 if (Upper(cell(item::RateInclusiveSales)) == "YES") {
                     row.salesFlag = 1;
                 }
                 if (Upper(cell(item::RateInclusivePurchase)) == "YES") {
                     row.purchaseFlag = 1;
                 }
             }},
            {"read the code, unit and description",
             [&] {
                 row.code = cell(item::Code);
                 row.unit = cell(item::Unit);
                 row.description = cell(item::Description);
             }},
            {"test for update mode", [&] { row.updateMode = form.chkUpdateItems.Value == 1; }},
            {"find the existing item",
             [&] {
                 if (row.updateMode) {
                     row.id = GetItemIdByCode(row.code, ops);
                 } else {
                     RequireStorableText(place, item::Code);
                     if (!codesHeld) {
                         codesHeld.emplace(db, firstNewId);
                     }
                     heldBefore = codesHeld->Holds(row.code);
                 }
             }},
            {"test whether the item is new",
             [&] {
                 if (row.updateMode) {
                     row.isNew = row.id == 0;
                 }
             }},
            {"mark the item",
             [&] {
                 if (heldBefore) {
                     return;
                 }
                 if (!row.updateMode) {
                     row.id = newId();
                     row.idGiven = true;
                 } else if (row.isNew) {
                     row.id = newId();
                     row.idGiven = true;
                     select(kNewItem);
                 } else {
                     row.idGiven = true;
                     select(kExistingItem);
                     std::string workbookQoh = cell(item::Qoh);
                     grid.SetTextMatrix(
                         r, item::Qoh,
                         ValueToText(GetTableValue("tblItemMaster", "Discount",
                                                   " where ItemID=" + IntText(row.id), ops)));
                     if (Val(workbookQoh) != Val(cell(item::Qoh))) {
                         row.state.Warn(
                             "In update mode the opening quantity of a replaced item is its "
                             "stored Discount, " +
                             NumberText(Val(cell(item::Qoh))) + ", not the workbook's " +
                             Trim(workbookQoh) + ".");
                     }
                 }
             }},
            {"delete the existing item",
             [&] {
                 if (row.updateMode && !row.isNew) {
                     row.replacement.reset();
                     row.replacement = std::make_unique<Savepoint>(db);
                     db.Execute("Delete from tblItemMaster WHERE ItemID=" + IntText(row.id));
                 }
             }},
            {"insert the item",
             [&] {
                 if (heldBefore || !row.idGiven) {
                     return;  // no id: the row has failed already
                 }
                 for (int c = item::Code; c <= item::Rol; ++c) {
                     RequireStorableText(place, c);
                 }
                 if (category.IsOpen() && category.IsEOF()) {
                     throw DataError("The category \"" + Trim(cell(item::Category)) +
                                     "\" is not in the company, so the item can't be filed "
                                     "under it.");
                 }
                 ItemRecord record;
                 record.itemId = row.id;
                 record.code = row.code;
                 record.name = cell(item::Name);
                 record.categoryId = Val(ValueToText(category.Field("CategoryID")));
                 record.unit = row.unit;
                 record.mrp = number(item::Mrp);
                 record.rol = number(item::Rol);
                 record.description = row.description;
                 record.srate = number(item::Wholesale);
                 record.gstPer = number(item::SalesVat);
                 record.cstPer = number(item::Cst);
                 record.prate = number(item::PurchaseRate);
                 record.rateInclusive = row.salesFlag;
                 record.manufacturer = cell(item::Manufacturer);
                 record.pstPer = number(item::PurchaseVat);
                 record.rateInclusivePurchase = row.purchaseFlag;
                 db.Execute(ItemInsertStatement(record));
                 row.inserted = true;
                 if (row.replacement) {
                     row.replacement->Commit();
                     row.replacement.reset();
                 }
             }},
            {"keep the replaced item",
             [&] {
                 // When the replacement could not be inserted, the old record
                 // comes back: an item is never lost.
                 row.replacement.reset();
             }},
            {"fill the stock line",
             [&] {
                 if (!row.inserted) {
                     return;
                 }
                 double qoh = number(item::Qoh);
                 line.ItemID = row.id;
                 line.SRate = number(item::Wholesale);
                 line.PRate = number(item::PurchaseRate);
                 line.MRP = number(item::Mrp);
                 line.Qty = qoh < 0 ? -qoh : qoh;
                 line.FreeQty = 0;
             }},
            {"scroll to the row",
             [&] {
                 grid.SetTopRow(r);
                 ops.DoEvents();
             }},
            {"post the opening stock",
             [&] {
                 double qoh = number(item::Qoh);
                 if (!row.inserted || qoh == 0) {
                     return;
                 }
                 // The history line holds the quantity times each rate.
                 FiniteProduct(place, item::Qoh, line.Qty, item::PurchaseRate, line.PRate);
                 FiniteProduct(place, item::Qoh, line.Qty, item::Wholesale, line.SRate);
                 FiniteProduct(place, item::Qoh, line.Qty, item::Mrp, line.MRP);
                 RunTally::Posting expected{true, qoh, qoh * line.PRate, 0, 0};
                 if (PostStockEntry("OpeningStock", qoh > 0 ? kStockIn : kStockOut, row.id, "",
                                    line, form.dtpDate.Value, ops, &postingError)) {
                     tally.AddPosting(tally.items);
                     row.state.posting = expected;
                 } else {
                     // Reported by the posting itself; the row tells what happened.
                     row.state.Fail("post the opening stock", postingError);
                 }
             }},
            {"count the row",
             [&] {
                 ++counter;
                 ops.DoEvents();
             }},
        });
        current = nullptr;
        rowAt = nullptr;
        RunTally::Outcome outcome = heldBefore && !row.state.failed    ? RunTally::Outcome::Skipped
                                    : row.state.failed && row.inserted ? RunTally::Outcome::Partial
                                    : row.state.failed                 ? RunTally::Outcome::Failed
                                    : row.updateMode && !row.isNew     ? RunTally::Outcome::Updated
                                                                       : RunTally::Outcome::Written;
        std::string note = row.state.error;
        std::string original = Trim(cell(item::Code));
        std::string stored = row.inserted ? Trim(row.code) : original;
        if (outcome == RunTally::Outcome::Skipped) {
            note = "Already there: the company held the item code " + Trim(row.code) +
                   " before this run; it was left as it is.";
            row.state.Warn("The item code " + original +
                           " is already in the company; the row is left as it is (no second item, "
                           "no second opening stock).");
        } else if (outcome == RunTally::Outcome::Partial &&
                   note.rfind("The item was written", 0) != 0) {
            note = "The item was written, but its opening stock was not posted: " + note;
        }
        if (stored != original) {
            row.state.Warn("The item code " + original +
                           " is used by another item, so this one is "
                           "stored as " +
                           stored + ".");
        }
        if (TrimBlanks(cell(item::Category)).empty()) {
            row.state.Warn(
                "The category cell is empty, so the item is filed under a category "
                "without a name.");
        }
        for (int c : {item::Qoh, item::PurchaseRate, item::Wholesale, item::Mrp, item::SalesVat,
                      item::Cst, item::PurchaseVat, item::Rol}) {
            if (std::string w = NumberWarning(place, c); !w.empty()) {
                row.state.Warn(w);
            }
        }
        tally.Record(tally.items, {"items", std::string(grid.TextMatrix(r, 0)), stored, outcome,
                                   row.inserted ? IntText(row.id) : "", note, row.state.step,
                                   row.state.warnings, row.state.posting});
        ops.Progress(kItemStageName, r, last);
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
            break;
        }
    }
    try {
        batch.Finish();
    } catch (const BatchLost& lost) {
        ops.MsgBox(lost.Description(), MsgButtons::OK, MsgIcon::Exclamation);
    }
}

}  // namespace ledgerlift
