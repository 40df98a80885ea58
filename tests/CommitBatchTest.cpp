#include <gtest/gtest.h>

#include "data/Connection.h"
#include "migration/CommitBatch.h"
#include "tests/TestClock.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

class Batches : public ::testing::Test {
  protected:
    void SetUp() override {
        path = dir.File("company.mdb");
        test::CreateCompanyDb(path);
        cn.Open(test::ConnectionStringFor(path));
        cn.UseFastCommits();
    }
    // What another program sees: only what was committed.
    std::string Seen() const {
        return test::QueryRows(path, "select Category from tblCategories order by 1");
    }

    test::TempFolder dir;
    std::string path;
    Connection cn;
};

TEST_F(Batches, HoldRowsUntilTheBatchIsOldEnoughThenCommitThem) {
    test::TestClock clock;
    CommitBatch batch(cn, nullptr, clock.Timing());
    cn.Execute("insert into tblCategories values (1, 'Soap')");
    batch.RowDone();
    EXPECT_EQ(Seen(), "") << "a young batch stays open";
    clock.Advance(BatchTiming{}.span + std::chrono::milliseconds(20));
    batch.RowDone();
    EXPECT_EQ(Seen(), "Soap\n");
    cn.Execute("insert into tblCategories values (2, 'Oil')");
    batch.Finish();
    EXPECT_EQ(Seen(), "Oil\nSoap\n");
    EXPECT_EQ(cn.TransactionDepth(), 0);
}

TEST_F(Batches, LeavingTheScopeCommitsWhatIsOpen) {
    {
        CommitBatch batch(cn);
        cn.Execute("insert into tblCategories values (1, 'Soap')");
    }
    EXPECT_EQ(Seen(), "Soap\n");
    EXPECT_EQ(cn.TransactionDepth(), 0);
}

TEST_F(Batches, ABatchThatCannotBeCommittedIsRolledBackNotLeftOpen) {
    // A deferred rule is checked only at the commit, so the commit fails.
    cn.Execute("pragma foreign_keys=on");
    cn.Execute("create table parent (id integer primary key)");
    cn.Execute(
        "create table child (pid integer references parent(id) deferrable initially deferred)");
    {
        CommitBatch batch(cn);
        cn.Execute("insert into tblCategories values (1, 'Soap')");
        cn.Execute("insert into child values (99)");
    }
    EXPECT_EQ(cn.TransactionDepth(), 0) << "nothing is left half open";
    EXPECT_EQ(Seen(), "") << "the rows of the batch are undone";
    EXPECT_NE(cn.TransactionLost().find("FOREIGN KEY"), std::string::npos);
    EXPECT_THROW(cn.Execute("insert into tblCategories values (2, 'Oil')"), DataError)
        << "nothing more is written after the loss";
    cn.Reopen();
    cn.Execute("insert into tblCategories values (2, 'Oil')");
    EXPECT_EQ(Seen(), "Oil\n") << "a fresh connection works on";
}

TEST_F(Batches, AFailedFinishThrowsForTheStageToReport) {
    cn.Execute("pragma foreign_keys=on");
    cn.Execute("create table parent (id integer primary key)");
    cn.Execute(
        "create table child (pid integer references parent(id) deferrable initially deferred)");
    CommitBatch batch(cn);
    cn.Execute("insert into child values (99)");
    EXPECT_THROW(batch.Finish(), DataError);
}

TEST_F(Batches, WithoutAConnectionTheRowsRunWithoutABatch) {
    cn.Close();
    CommitBatch batch(cn);
    EXPECT_NO_THROW(batch.RowDone());
    EXPECT_NO_THROW(batch.Finish());
}

}  // namespace
}  // namespace ledgerlift
