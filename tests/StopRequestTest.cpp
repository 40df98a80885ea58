// The stop rule of the stages: a stop request ends the stage after the row
// in progress, as a No at that row's question would; the row is whole, the
// rows after it are recorded as not reached, nothing more is written.

#include "migration/CategoryStage.h"
#include "migration/ItemStage.h"
#include "migration/LedgerStage.h"
#include "tests/MigrationFixture.h"

namespace ledgerlift {
namespace {

class StopRule : public test::MigrationTest {
  protected:
    void SetUp() override {
        MigrationTest::SetUp();
        ctx.stop = &stop;
    }
    // Asks for the stop when the stage reports that n of its rows are done,
    // as the Stop button does in an event pass.
    void StopAfter(int n) {
        ops.SetProgressHook([this, n](const std::string&, int done, int) {
            if (done == n) {
                stop.requested = true;
            }
        });
    }
    static std::vector<std::string> Ledger(const std::string& name, const std::string& balance) {
        return {"AL", name, "Sundry Debtors", "", "", "", balance, "Dr", ""};
    }
    StopRequest stop;
};

TEST_F(StopRule, TheItemStageEndsAfterTheRowInProgress) {
    Exec("insert into tblCategories values (1, 'Soap')");
    Items({Item("A1", "Soap", "1"), Item("A2", "Soap", "2"), Item("A3", "Soap", "3"),
           Item("A4", "Soap", "4")});
    StopAfter(2);
    RunItemStage(ctx);
    EXPECT_EQ(Rows("select ItemCode from tblItemMaster order by ItemID"), "A1\nA2\n");
    EXPECT_EQ(Rows("select count(*) from tblStock"), "2\n") << "each written row is whole";
    EXPECT_EQ(Rows("select count(*) from tblStockHistory"), "2\n");
    ASSERT_EQ(tally.rows.size(), 4u);
    EXPECT_EQ(tally.items.written, 2);
    EXPECT_EQ(tally.items.skipped, 2);
    EXPECT_EQ(tally.rows[2].error, "Not migrated: the item stage was stopped by the operator.");
    EXPECT_TRUE(RunTally::NotReached(tally.rows[3]));
    EXPECT_TRUE(ops.Messages().empty()) << "a stop asks nothing inside the stage";
    EXPECT_EQ(companyConnection.TransactionDepth(), 0) << "what was written is committed";
}

TEST_F(StopRule, TheLedgerStageEndsAfterTheRowInProgressWithoutTheGroupUpdates) {
    Ledgers({Ledger("Acme", "10"), Ledger("Beta", "20"), Ledger("Gamma", "30")});
    StopAfter(1);
    RunLedgerStage(ctx);
    EXPECT_EQ(Rows("select LName, GroupName from tblLedger"), "Acme|Sundry Debtors\n")
        << "as after No: the groups are not moved";
    EXPECT_EQ(Rows("select count(*) from tblVoucher"), "2\n") << "Acme's balance, both sides";
    ASSERT_EQ(tally.rows.size(), 3u);
    EXPECT_EQ(tally.rows[1].error, "Not migrated: the ledger stage was stopped by the operator.");
    EXPECT_EQ(companyConnection.TransactionDepth(), 0);
}

TEST_F(StopRule, TheCategoryStageKeepsTheCategoriesWrittenSoFar) {
    Items({Item("A1", "Soap"), Item("A2", "Oil"), Item("A3", "Rice")});
    StopAfter(2);
    RunCategoryStage(ctx);
    EXPECT_EQ(Rows("select Category from tblCategories order by CategoryID"), "Soap\nOil\n")
        << "committed, not undone: the items of these categories can still go in";
    EXPECT_EQ(tally.categories.written, 2);
    EXPECT_EQ(companyConnection.TransactionDepth(), 0);
}

TEST_F(StopRule, AStopAtTheLastRowLeavesNothingUnreached) {
    Ledgers({Ledger("Acme", "10"), Ledger("Beta", "20")});
    StopAfter(2);
    RunLedgerStage(ctx);
    EXPECT_EQ(tally.ledgers.written, 2);
    EXPECT_EQ(tally.ledgers.skipped, 0);
}

TEST_F(StopRule, AStageWithoutAStopRequestToReadRunsToItsEnd) {
    ctx.stop = nullptr;
    stop.requested = true;
    Ledgers({Ledger("Acme", "10"), Ledger("Beta", "20")});
    RunLedgerStage(ctx);
    EXPECT_EQ(tally.ledgers.written, 2);
}

TEST_F(StopRule, AStopDuringAQuestionEndsTheStageAfterThatRowAsYesWouldGoOn) {
    Refuse("tblLedger", "new.LName = 'Bad'");
    Ledgers({Ledger("Good", "10"), Ledger("Bad", "20"), Ledger("Later", "30")});
    ops.SetFallback([this](const auto&) {
        stop.requested = true;  // the operator clicked Stop before answering
        return MsgAnswer::Yes;
    });
    RunLedgerStage(ctx);
    EXPECT_EQ(Rows("select LName from tblLedger"), "Good\n");
    ASSERT_EQ(tally.rows.size(), 3u);
    EXPECT_EQ(tally.rows[1].outcome, RunTally::Outcome::Failed);
    EXPECT_TRUE(RunTally::NotReached(tally.rows[2]));
}

TEST_F(StopRule, EveryStageReportsItsRowsFromNoneToAll) {
    Exec("insert into tblCategories values (1, 'Soap')");
    Items({Item("A1", "Soap"), Item("A2", "Soap")});
    RunCategoryStage(ctx);
    RunItemStage(ctx);
    using Report = ScriptedWindowOps::ProgressReport;
    EXPECT_EQ(ops.ProgressReports(), (std::vector<Report>{{"Migrating categories", 0, 2},
                                                          {"Migrating categories", 1, 2},
                                                          {"Migrating categories", 2, 2},
                                                          {"Migrating items", 0, 2},
                                                          {"Migrating items", 1, 2},
                                                          {"Migrating items", 2, 2}}));
}

}  // namespace
}  // namespace ledgerlift
