#include "migration/CategoryStage.h"

#include <cstdint>
#include <set>

#include "base/TextRules.h"
#include "data/Recordset.h"
#include "load/GridLayouts.h"
#include "migration/CellChecks.h"
#include "migration/FailureSentence.h"
#include "migration/StageContext.h"
#include "migration/StepRunner.h"

namespace ledgerlift {

void migratecategory(StageContext& ctx) {
    WindowOps& ops = ctx.ops;
    Grid& grid = ctx.controls.msf1;
    Connection& db = ctx.connection;
    RunTally::Counts& counts = ctx.tally.categories;
    bool rowFailed = false;
    bool undone = false;  // the transaction is already rolled back
    // Where the stage is, for the operator: a row, or before or after them.
    const RowPlace* place = nullptr;
    const char* outside = "Categories, before the first row";
    auto sentence = [&](const StepFailure& failure) {
        if (!place) {
            return StageSentence(outside, failure.description);
        }
        if (std::string(failure.step) != "insert the category") {
            return RowSentence(*place, failure.description);
        }
        return RowSentence(*place,
                           "The category \"" +
                               Trim(std::string(grid.TextMatrix(place->row, item::Category))) +
                               "\" could not be written: " + ReasonClause(failure.description));
    };
    auto undoCounts = [&] {
        counts.failed += counts.written;  // undone with the rest of the stage
        counts.written = 0;
    };
    StepRunner runner([&](const StepFailure& failure) {
        rowFailed = true;
        if (!db.TransactionLost().empty()) {
            // The database undid the transaction itself; nothing more can be
            // written, and the run says why.
            undoCounts();
            return Verdict::Stop;
        }
        std::string why = sentence(failure);
        if (ops.MsgBox(why + "Are you sure to Continue with next data", MsgButtons::YesNo,
                       MsgIcon::Question) == MsgAnswer::Yes) {
            return Verdict::Continue;
        }
        ops.MsgBox(why, MsgButtons::OK, MsgIcon::Exclamation);
        if (!undone) {
            db.RollbackTrans();
            undoCounts();
        }
        return Verdict::Stop;
    });

    if (!runner.Run("begin the transaction", [&] { db.BeginTrans(); })) {
        return;
    }
    Recordset maximum;
    Recordset existing;
    std::int32_t id = 0;
    auto name = [&](int r) {
        RequireStorableText(RowPlace{"Item", grid, r, item::Code}, item::Category);
        return SqlEscape(Trim(std::string(grid.TextMatrix(r, item::Category))));
    };
    int last = grid.Rows() - 2;
    std::set<std::string> seen;  // categories inserted or counted as there
    ops.Progress(kCategoryStageName, 0, last);
    for (int r = 1; r <= last; ++r) {
        bool empty = true;
        bool missing = true;
        bool inserted = false;
        rowFailed = false;
        RowPlace here{"Item", grid, r, item::Code};
        place = &here;
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
        // "Already there" counts each category the company held before the
        // stage once, not every row that names it.
        std::string key = Upper(Trim(std::string(grid.TextMatrix(r, item::Category))));
        if (rowFailed) {
            counts.Add(RunTally::Outcome::Failed);
        } else if (inserted) {
            counts.Add(RunTally::Outcome::Written);
            seen.insert(key);
        } else if (seen.insert(key).second) {
            counts.Add(RunTally::Outcome::Skipped);
        }
        place = nullptr;
        ops.Progress(kCategoryStageName, r, last);
        if (!ran) {
            return;
        }
        // Stopped by the operator: the categories written so far are kept
        // (they are whole rows); undoing them would fail every item of
        // theirs should the run go on.
        if (ctx.StopRequested()) {
            break;
        }
    }
    outside = "Categories, after the last row";
    runner.Run("commit the transaction", [&] {
        int depth = db.TransactionDepth();
        try {
            db.CommitTrans();
        } catch (const DataError& error) {
            // A commit that fails (a full disk) leaves nothing of the stage:
            // undo it rather than leave it open under the stages that follow.
            if (db.IsOpen() && db.TransactionDepth() == depth) {
                db.RollbackTrans();
            }
            undone = true;
            undoCounts();
            db.MarkTransactionLost(error.Description());
            throw;
        }
    });
}

}  // namespace ledgerlift
