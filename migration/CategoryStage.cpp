#include "migration/CategoryStage.h"

#include <cstdint>
#include <set>

#include "base/TextRules.h"
#include "data/Recordset.h"
#include "data/Sql.h"
#include "load/GridLayouts.h"
#include "migration/CellReading.h"
#include "migration/FailureSentence.h"
#include "migration/ItemRead.h"
#include "migration/StageLoop.h"

namespace ledgerlift {
namespace {

class CategoryStage final : public StageLoop {
  public:
    explicit CategoryStage(StageContext& context)
        : StageLoop(context),
          grid_(context.controls.itemGrid),
          db_(context.connection),
          counts_(context.tally.categories) {}

  protected:
    Sheet Describe() override {
        Sheet sheet{kCategoryStageName,
                    grid_,
                    "Item",
                    item::Code,
                    "Categories, before the first row",
                    "Categories, after the last row"};
        sheet.batches = false;  // the stage is one transaction
        return sheet;
    }
    std::vector<Step> BeginSteps() override {
        return {{"begin the transaction", [this] { db_.BeginTrans(); }}};
    }
    void Read(int r) override {
        name_ = ReadTextCell(*Place(), item::Category);
        // A row the item stage refuses files nothing under its category.
        itemErrors_ = ReadItemRow(grid_, r, false).errors;
        rowFailed_ = false;
        empty_ = true;
        missing_ = true;
        inserted_ = false;
        refused_ = false;
    }
    std::optional<Finding> Refusal(int r) const override {
        if (std::optional<Finding> marked = StageLoop::Refusal(r)) {
            return marked;
        }
        if (!itemErrors_.empty()) {
            return itemErrors_.front();
        }
        return std::nullopt;
    }
    // A row that is never written files nothing under its category.
    void Refuse(int, const Finding&) override { refused_ = true; }
    std::vector<Step> WriteSteps(int r) override;
    void Finish(int r) override;
    std::vector<Step> EndSteps(bool) override {
        return {{"commit the transaction", [this] { Commit(); }}};
    }
    std::string Question(const std::string& why) const override {
        return why + "\r\n" + kContinueQuestion;
    }
    std::string Why(const StepFailure& failure) const override {
        if (!Place() || std::string(failure.step) != "insert the category") {
            return StageLoop::Why(failure);
        }
        return RowSentence(*Place(),
                           "The category \"" + Trim(name_.text) +
                               "\" could not be written: " + ReasonClause(failure.description));
    }
    void Failed(const StepFailure&, const std::string&) override { rowFailed_ = true; }
    // The database undid the transaction itself: nothing of the stage stays.
    void Lost() override { UndoCounts(); }
    // No undoes every category of the stage.
    void Refused() override {
        if (!undone_) {
            db_.RollbackTrans();
            UndoCounts();
        }
    }

  private:
    // The category's name as the statements take it.
    sql::Text CategoryName() const { return sql::Text(Trim(name_.Text())); }
    void UndoCounts() {
        counts_.failed += counts_.written;  // undone with the rest of the stage
        counts_.written = 0;
    }
    void Commit();

    Grid& grid_;
    Connection& db_;
    RunTally::Counts& counts_;
    CellReading name_;
    std::vector<Finding> itemErrors_;
    Recordset maximum_;
    Recordset existing_;
    std::int32_t id_ = 0;
    bool rowFailed_ = false;
    bool empty_ = true;
    bool missing_ = true;
    bool inserted_ = false;
    bool refused_ = false;
    bool undone_ = false;         // the transaction is already rolled back
    std::set<std::string> seen_;  // categories inserted or counted as there
};

std::vector<Step> CategoryStage::WriteSteps(int) {
    return {
        {"read the highest CategoryID",
         [this] {
             if (maximum_.IsOpen()) {
                 maximum_.Close();
             }
             maximum_.Open("select max(CategoryID) from tblCategories", db_,
                           CursorType::ForwardOnly);
         }},
        {"test for an empty table", [this] { empty_ = maximum_.Field(0).IsNull(); }},
        {"compute the new CategoryID",
         [this] { id_ = empty_ ? 1 : ToInt32(Val(ValueToText(maximum_.Field(0))) + 1); }},
        {"look for the category",
         [this] {
             if (existing_.IsOpen()) {
                 existing_.Close();
             }
             existing_.Open(Sql("select * from tblCategories where Category=") << CategoryName(),
                            db_, CursorType::ForwardOnly);
         }},
        {"test whether the category is new", [this] { missing_ = existing_.IsEOF(); }},
        {"insert the category",
         [this] {
             if (missing_) {
                 db_.Execute(Sql("insert into tblCategories (Categoryid,Category) values(")
                             << sql::Int(id_) << "," << CategoryName() << ")");
                 inserted_ = true;
             }
         }},
    };
}

// "Already there" counts each category the company held before the stage
// once, not every row that names it.
void CategoryStage::Finish(int) {
    std::string key = Upper(Trim(name_.text));
    if (refused_) {
        return;
    }
    if (rowFailed_) {
        counts_.Add(RunTally::Outcome::Failed);
    } else if (inserted_) {
        counts_.Add(RunTally::Outcome::Written);
        seen_.insert(key);
    } else if (seen_.insert(key).second) {
        counts_.Add(RunTally::Outcome::Skipped);
    }
}

// Stopped by the operator, the categories written so far are kept too
// (they are whole rows); undoing them would fail every item of theirs
// should the run go on.
void CategoryStage::Commit() {
    int depth = db_.TransactionDepth();
    try {
        db_.CommitTrans();
    } catch (const DataError& error) {
        // A commit that fails (a full disk) leaves nothing of the stage:
        // undo it rather than leave it open under the stages that follow.
        if (db_.IsOpen() && db_.TransactionDepth() == depth) {
            db_.RollbackTrans();
        }
        undone_ = true;
        UndoCounts();
        db_.MarkTransactionLost(error.Description());
        throw;
    }
}

}  // namespace

void RunCategoryStage(StageContext& ctx) {
    CategoryStage(ctx).Run();
}

}  // namespace ledgerlift
