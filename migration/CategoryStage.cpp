#include "migration/CategoryStage.h"

#include <cstdint>

#include "base/TextRules.h"
#include "data/Recordset.h"
#include "import/GridLayouts.h"
#include "migration/StageContext.h"
#include "migration/StepRunner.h"

namespace ledgerlift {

void migratecategory(StageContext& ctx) {
    WindowOps& ops = ctx.ops;
    Grid& grid = ctx.controls.msf1;
    Connection& db = ctx.connection;
    RunTally::Counts& counts = ctx.tally.categories;
    bool rowFailed = false;
    StepRunner runner([&](const StepFailure& failure) {
        rowFailed = true;
        if (ops.MsgBox(failure.description + "Are you sure to Continue with next data",
                       MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::Yes) {
            return Verdict::Continue;
        }
        ops.MsgBox(failure.description, MsgButtons::OK, MsgIcon::Exclamation);
        db.RollbackTrans();
        counts.failed += counts.written;  // undone with the rest of the stage
        counts.written = 0;
        return Verdict::Stop;
    });

    if (!runner.Run("begin the transaction", [&] { db.BeginTrans(); })) {
        return;
    }
    Recordset maximum;
    Recordset existing;
    std::int32_t id = 0;
    auto name = [&](int r) {
        return SqlEscape(Trim(std::string(grid.TextMatrix(r, item::Category))));
    };
    int last = grid.Rows() - 2;
    for (int r = 1; r <= last; ++r) {
        bool empty = true;
        bool missing = true;
        bool inserted = false;
        rowFailed = false;
        bool ran = runner.Run({
            {"read the highest CategoryID",
             [&] {
                 if (maximum.IsOpen()) {
                     maximum.Close();
                 }
                 maximum.Open("select max(CategoryID) from tblCategories", db,
                              CursorType::ForwardOnly);
             }},
            {"test for an empty table", [&] { empty = maximum.Field(0).IsNull(); }},
            {"compute the new CategoryID",
             [&] { id = empty ? 1 : ToInt32(Val(ValueToText(maximum.Field(0))) + 1); }},
            {"look for the category",
             [&] {
                 if (existing.IsOpen()) {
                     existing.Close();
                 }
                 existing.Open("select * from tblCategories where Category='" + name(r) + "'", db,
                               CursorType::ForwardOnly);
             }},
            {"test whether the category is new", [&] { missing = existing.IsEOF(); }},
            {"insert the category",
             [&] {
                 if (missing) {
                     db.Execute("insert into tblCategories (Categoryid,Category) values(" +
                                IntText(id) + ",'" + name(r) + "')");
                     inserted = true;
                 }
             }},
        });
        counts.Add(rowFailed  ? RunTally::Outcome::Failed
                   : inserted ? RunTally::Outcome::Written
                              : RunTally::Outcome::Skipped);
        ctx.tally.Progress("categories", r, last);
        if (!ran) {
            return;
        }
    }
    runner.Run("commit the transaction", [&] { db.CommitTrans(); });
}

}  // namespace ledgerlift
