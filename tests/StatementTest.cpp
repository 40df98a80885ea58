#include <gtest/gtest.h>
#include <sqlite3.h>

#include "data/Connection.h"
#include "data/Recordset.h"
#include "data/Statement.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

// Every prepared statement is finalised or, when the connection keeps it
// prepared, reset, on success and on failure alike: a statement left running
// would keep the database busy.
class Statements : public ::testing::Test {
  protected:
    void SetUp() override {
        path = dir.File("company.mdb");
        test::CreateCompanyDb(path);
        cn.Open(test::ConnectionStringFor(path));
    }
    bool NoneLeftOpen() const {
        for (sqlite3_stmt* s = sqlite3_next_stmt(cn.Handle(), nullptr); s;
             s = sqlite3_next_stmt(cn.Handle(), s)) {
            if (sqlite3_stmt_busy(s)) {
                return false;
            }
        }
        return sqlite3_next_stmt(cn.Handle(), nullptr) == nullptr ||
               cn.CachedStatements() > 0;  // the cache's own, reset
    }

    test::TempFolder dir;
    std::string path;
    Connection cn;
};

TEST_F(Statements, AreFinalisedWhateverHappens) {
    cn.Execute(
        "insert into tblCategories values (1, 'Soap'); insert into tblCategories values "
        "(2, 'Oil')");
    EXPECT_TRUE(NoneLeftOpen());
    EXPECT_THROW(cn.Execute("insert into tblCategories values (3, 'Rice'); select * from nowhere"),
                 DataError);
    EXPECT_TRUE(NoneLeftOpen()) << "the failed second statement of a text";
    EXPECT_THROW(cn.Execute("insert into tblCategories values (1, 'Again')"), DataError);
    EXPECT_TRUE(NoneLeftOpen()) << "a statement that failed while it ran";
    Recordset rs;
    EXPECT_THROW(rs.Open("select nothing from tblCategories", cn), DataError);
    rs.Open("select Category from tblCategories order by 1", cn);
    EXPECT_TRUE(NoneLeftOpen()) << "the rows are fetched when the recordset opens";
    EXPECT_EQ(test::QueryRows(path, "select count(*) from tblCategories"), "3\n")
        << "Soap, Oil and the Rice before the failing statement";
}

TEST_F(Statements, StepGivesTheRowsThenDone) {
    cn.Execute("insert into tblCategories values (1, 'Soap'), (2, 'Oil')");
    Statement stmt(cn.Handle(), "select Category from tblCategories order by 1", cn.Path());
    ASSERT_FALSE(stmt.Empty());
    EXPECT_TRUE(stmt.Step());
    EXPECT_TRUE(stmt.Step());
    EXPECT_FALSE(stmt.Step());
}

TEST_F(Statements, ATextWithNothingToRunIsEmpty) {
    const char* tail = nullptr;
    Statement stmt(cn.Handle(), "  -- only a comment", cn.Path(), &tail);
    EXPECT_TRUE(stmt.Empty());
    EXPECT_EQ(cn.Execute("   "), 0);
    Recordset rs;
    try {
        rs.Open("  ", cn);
        FAIL() << "opened nothing";
    } catch (const DataError& e) {
        EXPECT_STREQ(e.what(), "The statement to open holds nothing to run.");
    }
}

TEST_F(Statements, APrepareFailureSpeaksToTheOperator) {
    try {
        Statement stmt(cn.Handle(), "select * from tblNowhere", cn.Path());
        FAIL() << "prepared";
    } catch (const DataError& e) {
        EXPECT_STREQ(e.what(),
                     "The database could not carry out the statement (no such table: "
                     "tblNowhere).");
    }
}

}  // namespace
}  // namespace ledgerlift
