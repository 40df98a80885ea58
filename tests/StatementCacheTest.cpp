#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>

#include "data/Connection.h"
#include "data/Recordset.h"
#include "tests/DatabaseDump.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

// A company database opened twice over: `cached` keeps its statements
// prepared, `fresh` (on a copy of the file) prepares every text afresh.
class StatementCacheTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path = dir.File("cached.mdb");
        test::CreateCompanyDb(path);
        freshPath = dir.File("fresh.mdb");
        std::filesystem::copy_file(path, freshPath);
        cached.Open(test::ConnectionStringFor(path));
        fresh.SetStatementCacheSize(0);
        fresh.Open(test::ConnectionStringFor(freshPath));
    }
    // Runs the text on both; gives what cached said, after checking that
    // fresh said the same.
    std::string Both(const std::string& text) {
        std::string a = Outcome(cached, text);
        EXPECT_EQ(a, Outcome(fresh, text)) << text;
        return a;
    }
    static std::string Outcome(Connection& cn, const std::string& text) {
        try {
            return "changed " + std::to_string(cn.Execute(text));
        } catch (const DataError& e) {
            return e.what();
        }
    }
    // The statements SQLite holds for the cached connection.
    int Prepared() const {
        int n = 0;
        for (sqlite3_stmt* s = sqlite3_next_stmt(cached.Handle(), nullptr); s;
             s = sqlite3_next_stmt(cached.Handle(), s)) {
            ++n;
        }
        return n;
    }

    test::TempFolder dir;
    std::string path;
    std::string freshPath;
    Connection cached;
    Connection fresh;
};

// A literal as the product writes it, and what SQLite makes of it.
struct Bound {
    const char* name;
    const char* literal;
    const char* type;  // typeof() of the stored value
};

void PrintTo(const Bound& b, std::ostream* os) {
    *os << b.name;
}

class BoundValues : public StatementCacheTest, public ::testing::WithParamInterface<Bound> {};

TEST_P(BoundValues, HaveTheTypeAndValueOfTheLiteral) {
    for (Connection* cn : {&cached, &fresh}) {
        cn->Execute("create table v (x)");  // no affinity: the value stays as bound
        cn->Execute("insert into v (x) values (0)");
        cn->Execute(std::string("insert into v (x) values (") + GetParam().literal + ")");
        cn->Execute(std::string("insert into v (x) values (") + GetParam().literal + ")");
    }
    EXPECT_EQ(cached.CachedStatements(), 1u) << "one insert form, whatever the value";
    cached.Close();
    fresh.Close();
    EXPECT_EQ(test::QueryRows(path, "select typeof(x) from v where rowid = 2"),
              std::string(GetParam().type) + "\n");
    EXPECT_EQ(test::DumpDatabase(path), test::DumpDatabase(freshPath));
}

INSTANTIATE_TEST_SUITE_P(
    Literals, BoundValues,
    ::testing::Values(Bound{"Integer", "42", "integer"}, Bound{"NegativeInteger", "-42", "integer"},
                      Bound{"EighteenDigits", "-999999999999999999", "integer"},
                      Bound{"Decimal", "1234.5", "real"}, Bound{"NegativeZero", "-0.0", "real"},
                      Bound{"DecimalNotExactInBinary", "0.30000000000000004", "real"},
                      Bound{"MoreDigitsThanADoubleHolds",
                            "3.14159265358979323846264338327950288419716939937510", "real"},
                      Bound{"Exponent", "1.5E-3", "real"}, Bound{"Overflow", "1e999", "real"},
                      Bound{"Subnormal", "4.9e-324", "real"}, Bound{"TrailingDot", "5.", "real"},
                      Bound{"LeadingDot", ".5", "real"}, Bound{"Text", "'Soap'", "text"},
                      Bound{"DoubledQuotes", "'O''Brien'", "text"},
                      Bound{"EmptyText", "''", "text"}, Bound{"DigitsAsText", "'0012'", "text"},
                      Bound{"DateBetweenHashes", "#4/1/2009#", "text"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StatementCacheTest, StatementsOfOneFormShareOnePreparedStatement) {
    for (int i = 1; i <= 20; ++i) {
        Both("insert into tblCategories (Categoryid,Category) values(" + std::to_string(i) +
             ",'Cat " + std::to_string(i) + "')");
    }
    EXPECT_EQ(cached.CachedStatements(), 1u);
    EXPECT_EQ(Prepared(), 1);
}

struct Failure {
    const char* name;
    const char* statement;
    const char* message;
};

void PrintTo(const Failure& f, std::ostream* os) {
    *os << f.name;
}

class Failures : public StatementCacheTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(Failures, KeepTheirOwnWording) {
    Both("insert into tblCategories (Categoryid,Category) values(1,'Soap')");
    EXPECT_EQ(Both(GetParam().statement), GetParam().message);
    EXPECT_EQ(Both(GetParam().statement), GetParam().message) << "the second time, from the cache";
}

INSTANTIATE_TEST_SUITE_P(
    Statements, Failures,
    ::testing::Values(
        Failure{"UniqueKey", "insert into tblCategories (Categoryid,Category) values(2,'Soap')",
                "The record was not saved because it would repeat a value of "
                "tblCategories.Category, which must be unique (UNIQUE KEY)."},
        Failure{"NoSuchTable", "select * from tblNowhere where a = 1",
                "The database could not carry out the statement (no such table: tblNowhere)."},
        Failure{"NoSuchColumn", "update tblCategories set Missing = 5 where Categoryid = 1",
                "The database could not carry out the statement (no such column: Missing)."},
        Failure{"TooManyValues", "insert into tblCategories values (3, 'Oil', 7)",
                "The database could not carry out the statement (table tblCategories has 2 "
                "columns but 3 values were supplied)."},
        Failure{"UnrecognisedToken", "select * from tblCategories where Categoryid = 5a",
                "The database could not carry out the statement (unrecognized token: \"5a\")."},
        Failure{"SyntaxNearALiteral", "delete from tblCategories where Categoryid = 1 'x'",
                "The database could not carry out the statement (near \"'x'\": syntax error)."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StatementCacheTest, AFormThatTakesOnlyLiteralsRunsAsLiteralText) {
    // A quoted table name is a name, not a value: lifted it cannot be
    // prepared, so the literal text is, and the form is remembered as such.
    EXPECT_EQ(Both("insert into 'tblCategories' values (1, 'Soap')"), "changed 1");
    EXPECT_EQ(Both("insert into 'tblCategories' values (2, 'Oil')"), "changed 1");
    EXPECT_EQ(cached.CachedStatements(), 1u);
    EXPECT_EQ(Prepared(), 0) << "nothing stays prepared for it";
    EXPECT_EQ(test::QueryRows(path, "select Category from tblCategories order by 1"),
              "Oil\nSoap\n");

    // The second argument of likelihood() must be a constant.
    Recordset rs;
    rs.Open("select Category from tblCategories where likelihood(Categoryid = 2, 0.5)", cached);
    EXPECT_EQ(rs.Field(0), Value("Oil"));
}

TEST_F(StatementCacheTest, KeepsAtMostItsSizeDroppingTheLeastRecentlyUsed) {
    cached.SetStatementCacheSize(3);
    const char* tables[] = {"tblCategories", "tblAccountGroup", "tblLedger",
                            "tblItemMaster", "tblStock",        "tblVoucher"};
    for (int round = 0; round < 3; ++round) {
        for (const char* table : tables) {
            Both(std::string("select count(*) from ") + table + " where rowid > " +
                 std::to_string(round));
        }
    }
    EXPECT_EQ(cached.CachedStatements(), 3u);
    EXPECT_EQ(Prepared(), 3);
}

TEST_F(StatementCacheTest, LeavesEveryStatementResetWithItsBindingsCleared) {
    Both("insert into tblCategories (Categoryid,Category) values(1,'Soap')");
    Recordset rs;
    rs.Open("select Category from tblCategories where Categoryid = 1", cached);
    EXPECT_THROW(cached.Execute("insert into tblCategories (Categoryid,Category) values(2,'Soap')"),
                 DataError);
    ASSERT_EQ(Prepared(), 2);
    for (sqlite3_stmt* s = sqlite3_next_stmt(cached.Handle(), nullptr); s;
         s = sqlite3_next_stmt(cached.Handle(), s)) {
        EXPECT_FALSE(sqlite3_stmt_busy(s)) << sqlite3_sql(s);
        char* expanded = sqlite3_expanded_sql(s);
        std::string text = expanded;
        sqlite3_free(expanded);
        EXPECT_EQ(text.find('\''), std::string::npos) << "a value is still bound: " << text;
    }
}

TEST_F(StatementCacheTest, AReadKeepsNoLockOnTheDatabase) {
    Both("insert into tblCategories (Categoryid,Category) values(1,'Soap')");
    Recordset rs;
    rs.Open("select Category from tblCategories where Categoryid = 1", cached);
    Connection other;
    other.Open(test::ConnectionStringFor(path));
    sqlite3_busy_timeout(other.Handle(), 0);  // fail at once instead of waiting
    EXPECT_EQ(other.Execute("insert into tblCategories (Categoryid,Category) values(2,'Oil')"), 1);
}

TEST_F(StatementCacheTest, SeesAChangedTable) {
    Recordset rs;
    rs.Open("select * from tblCategories where Categoryid = 1", cached);
    rs.Close();
    cached.Execute("alter table tblCategories add column Extra text default 'x'");
    cached.Execute("insert into tblCategories (Categoryid,Category) values(1,'Soap')");
    rs.Open("select * from tblCategories where Categoryid = 1", cached);
    EXPECT_EQ(rs.Field("Extra"), Value("x"));
}

// Whether this process still holds the file open.
bool HeldOpen(const std::string& file) {
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ignored;
        if (std::filesystem::read_symlink(fd.path(), ignored) == std::filesystem::path(file)) {
            return true;
        }
    }
    return false;
}

TEST_F(StatementCacheTest, CloseFinalisesEveryStatementAndLetsGoOfTheFile) {
    Both("insert into tblCategories (Categoryid,Category) values(1,'Soap')");
    Recordset rs;
    rs.Open("select Category from tblCategories where Categoryid = 1", cached);
    ASSERT_GT(cached.CachedStatements(), 0u);
    ASSERT_TRUE(HeldOpen(std::filesystem::canonical(path).string()));
    cached.Close();
    EXPECT_EQ(cached.CachedStatements(), 0u);
    EXPECT_FALSE(HeldOpen(std::filesystem::canonical(path).string()))
        << "a statement left unfinalised keeps the closed connection's file open";
}

TEST_F(StatementCacheTest, SwitchedOffEveryTextIsPreparedAfreshAndFinalised) {
    Both("insert into tblCategories (Categoryid,Category) values(1,'Soap')");
    Recordset rs;
    rs.Open("select Category from tblCategories", fresh);
    EXPECT_EQ(fresh.CachedStatements(), 0u);
    EXPECT_EQ(sqlite3_next_stmt(fresh.Handle(), nullptr), nullptr);
    cached.SetStatementCacheSize(0);
    EXPECT_EQ(Prepared(), 0) << "switching off finalises what was kept";
    EXPECT_EQ(cached.StatementCacheSize(), 0u);
}

TEST_F(StatementCacheTest, TheTracerSeesTheTextsAsBuilt) {
    std::vector<std::string> seen;
    cached.SetTracer([&](const std::string& s) { seen.push_back(s); });
    cached.Execute("insert into tblStockHistory (StockHisId,VchDate) values (1,#4/1/2009#)");
    Recordset rs;
    rs.Open("select VchDate from tblStockHistory where StockHisId=1", cached);
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "insert into tblStockHistory (StockHisId,VchDate) values (1,#4/1/2009#)",
                        "select VchDate from tblStockHistory where StockHisId=1"}));
    EXPECT_EQ(rs.Field("VchDate"), Value("2009-04-01"));
}

}  // namespace
}  // namespace ledgerlift
