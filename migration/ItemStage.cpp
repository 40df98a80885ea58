#include "migration/ItemStage.h"

#include <memory>

#include "base/TextRules.h"
#include "data/Recordset.h"
#include "data/Savepoint.h"
#include "import/GridLayouts.h"
#include "migration/CommitBatch.h"
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

void migrateitem(StageContext& ctx) {
    WindowOps& ops = ctx.ops;
    FormControls& form = ctx.controls;
    Grid& grid = form.msf1;
    Connection& db = ctx.connection;
    ItemRow* current = nullptr;
    std::int32_t counter = 0;
    StepRunner runner([&](const StepFailure& failure) {
        if (current && failure.IsUniqueKey() && failure.retries < kUniqueKeyRetries) {
            current->code += IntText(counter);
            return Verdict::Retry;
        }
        if (current) {
            current->state.Fail(failure.step, failure.description);
        }
        if (ops.MsgBox("Are you sure to Continue with next data", MsgButtons::YesNo,
                       MsgIcon::Question) == MsgAnswer::Yes) {
            return Verdict::Continue;
        }
        ops.MsgBox(failure.description, MsgButtons::OK, MsgIcon::Exclamation);
        return Verdict::Stop;
    });
    RunTally& tally = ctx.tally;

    if (!runner.Run("start the item counter", [&] {
            counter = ToInt32(GetNextId("tblItemMaster", "ItemID", "", ops)) + 1;
        })) {
        tally.RecordUnreached(tally.items, "items", grid, 1, grid.Rows() - 2, item::Code,
                              "Not migrated: the item stage was stopped.");
        return;
    }
    Recordset category;
    StockLine line;
    const int last = grid.Rows() - 2;
    CommitBatch batch(db);  // outlives each row's own savepoints
    for (int r = 1; r <= last; ++r) {
        ItemRow row;
        current = &row;
        auto cell = [&](int col) { return std::string(grid.TextMatrix(r, col)); };
        auto select = [&](Rgb colour) {
            grid.SetRow(r);
            grid.SetCol(item::Code);
            grid.SetCellBackColor(colour);
        };
        bool ran = runner.Run({
            {"look up the category",
             [&] {
                 if (category.IsOpen()) {
                     category.Close();
                 }
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
                 if (!row.updateMode) {
                     row.id = counter;
                 } else if (row.isNew) {
                     row.id = counter;
                     select(kNewItem);
                 } else {
                     select(kExistingItem);
                     grid.SetTextMatrix(
                         r, item::Qoh,
                         ValueToText(GetTableValue("tblItemMaster", "Discount",
                                                   " where ItemID=" + IntText(row.id), ops)));
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
                 ItemRecord record;
                 record.itemId = row.id;
                 record.code = row.code;
                 record.name = cell(item::Name);
                 record.categoryId = Val(ValueToText(category.Field("CategoryID")));
                 record.unit = row.unit;
                 record.mrp = Val(cell(item::Mrp));
                 record.rol = Val(cell(item::Rol));
                 record.description = row.description;
                 record.srate = Val(cell(item::Wholesale));
                 record.gstPer = Val(cell(item::SalesVat));
                 record.cstPer = Val(cell(item::Cst));
                 record.prate = Val(cell(item::PurchaseRate));
                 record.rateInclusive = row.salesFlag;
                 record.manufacturer = cell(item::Manufacturer);
                 record.pstPer = Val(cell(item::PurchaseVat));
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
                 double qoh = Val(cell(item::Qoh));
                 line.ItemID = row.id;
                 line.SRate = Val(cell(item::Wholesale));
                 line.PRate = Val(cell(item::PurchaseRate));
                 line.MRP = Val(cell(item::Mrp));
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
                 double qoh = Val(cell(item::Qoh));
                 if (row.inserted && qoh != 0) {
                     if (PostStockEntry("OpeningStock", qoh > 0 ? kStockIn : kStockOut, row.id, "",
                                        line, form.dtpDate.Value, ops)) {
                         ++tally.items.postings;
                     } else {
                         row.state.Fail("post the opening stock",
                                        "The opening stock of this item was not posted.");
                     }
                 }
             }},
            {"count the row",
             [&] {
                 counter = ToInt32(static_cast<double>(counter) + 1);
                 ops.DoEvents();
             }},
            {"commit the finished rows", [&] { batch.RowDone(); }},
        });
        current = nullptr;
        RunTally::Outcome outcome = row.state.failed               ? RunTally::Outcome::Failed
                                    : row.updateMode && !row.isNew ? RunTally::Outcome::Updated
                                                                   : RunTally::Outcome::Written;
        tally.Record(tally.items,
                     {"items", std::string(grid.TextMatrix(r, 0)),
                      Trim(std::string(grid.TextMatrix(r, item::Code))), outcome,
                      row.inserted ? IntText(row.id) : "", row.state.error, row.state.step});
        tally.Progress("items", r, last);
        if (!ran) {
            tally.RecordUnreached(tally.items, "items", grid, r + 1, last, item::Code,
                                  "Not migrated: the item stage was stopped.");
            return;
        }
    }
    runner.Run("commit the last rows", [&] { batch.Finish(); });
}

}  // namespace ledgerlift
