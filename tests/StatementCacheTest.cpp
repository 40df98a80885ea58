#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>

#include "data/Connection.h"
#include "data/Recordset.h"
#include "data/Sql.h"
#include "tests/DatabaseDump.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

// A company database opened twice over: `cached` keeps its statements
// prepared and binds the values of a built statement, `fresh` (on a copy of
// the file) prepares every statement afresh as its literal text.
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
    // Runs the statement on both; gives what cached said, after checking
    // that fresh said the same.
    std::string Both(const Sql& statement) {
        std::string a = Outcome(cached, statement);
        EXPECT_EQ(a, Outcome(fresh, statement)) << statement.Text();
        return a;
    }
    static std::string Outcome(Connection& cn, const Sql& statement) {
        try {
            return "changed " + std::to_string(cn.Execute(statement));
        } catch (const DataError& e) {
            return e.what();
        }
    }
    static Sql InsertCategory(int id, const std::string& name) {
        return Sql("insert into tblCategories (Categoryid,Category) values(")
               << sql::Int(id) << "," << sql::Text(name) << ")";
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

// A value as a stage builds it, and what SQLite makes of its literal.
struct Bound {
    const char* name;
    Sql value;         // the value alone
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
    }
    std::size_t before = cached.CachedStatements();
    Sql insert = Sql("insert into v (x) values (") << GetParam().value << ")";
    EXPECT_EQ(Both(insert), "changed 1");
    EXPECT_EQ(Both(insert), "changed 1");
    EXPECT_EQ(cached.CachedStatements(), before + 1) << "one insert form, whatever the value";
    cached.Close();
    fresh.Close();
    EXPECT_EQ(test::QueryRows(path, "select typeof(x) from v where rowid = 2"),
              std::string(GetParam().type) + "\n");
    EXPECT_EQ(test::DumpDatabase(path), test::DumpDatabase(freshPath));
}

INSTANTIATE_TEST_SUITE_P(
    Values, BoundValues,
    ::testing::Values(
        Bound{"Integer", Sql() << sql::Int(42), "integer"},
        Bound{"NegativeInteger", Sql() << sql::Int(-42), "integer"},
        Bound{"EighteenDigits", Sql() << sql::Int(-999999999999999999), "integer"},
        Bound{"LargestInteger", Sql() << sql::Int(INT64_MAX), "integer"},
        Bound{"WholeNumber", Sql() << sql::Number(25), "integer"},
        Bound{"NegativeZero", Sql() << sql::Number(-0.0), "integer"},
        Bound{"Decimal", Sql() << sql::Number(1234.5), "real"},
        Bound{"NegativeDecimal", Sql() << sql::Number(-18.25), "real"},
        Bound{"DecimalNotExactInBinary", Sql() << sql::Number(0.1 + 0.2), "real"},
        Bound{"MoreDigitsThanTheTextKeeps", Sql() << sql::Number(3.14159265358979323846), "real"},
        Bound{"WholeBeyondFifteenDigits", Sql() << sql::Number(1e15), "real"},
        Bound{"NearlyWholeWrittenWhole", Sql() << sql::Number(99999.99999999999), "integer"},
        Bound{"Exponent", Sql() << sql::Number(1.5E-7), "real"},
        Bound{"Huge", Sql() << sql::Number(1.7976931348623157e308), "real"},
        Bound{"Subnormal", Sql() << sql::Number(4.9e-324), "real"},
        Bound{"WholeAmount", Sql() << sql::Currency(1500), "integer"},
        Bound{"Amount", Sql() << sql::Currency(250.5), "real"},
        Bound{"AmountRounded", Sql() << sql::Currency(-12.34567), "real"},
        Bound{"LargestAmount", Sql() << sql::Currency(922337203685477.5), "real"},
        Bound{"Text", Sql() << sql::Text("Soap"), "text"},
        Bound{"DoubledQuotes", Sql() << sql::Text("O'Brien"), "text"},
        Bound{"EmptyText", Sql() << sql::Text(""), "text"},
        Bound{"DigitsAsText", Sql() << sql::Text("0012"), "text"},
        Bound{"DateBetweenHashes", Sql() << sql::Date(Date{2009, 4, 1}), "text"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StatementCacheTest, StatementsOfOneFormShareOnePreparedStatement) {
    for (int i = 1; i <= 20; ++i) {
        Both(InsertCategory(i, "Cat " + std::to_string(i)));
    }
    EXPECT_EQ(cached.CachedStatements(), 1u);
    EXPECT_EQ(Prepared(), 1);
}

struct Failure {
    const char* name;
    Sql statement;
    const char* message;
};

void PrintTo(const Failure& f, std::ostream* os) {
    *os << f.name;
}

class Failures : public StatementCacheTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(Failures, KeepTheirOwnWording) {
    Both(InsertCategory(1, "Soap"));
    EXPECT_EQ(Both(GetParam().statement), GetParam().message);
    EXPECT_EQ(Both(GetParam().statement), GetParam().message) << "the second time, from the cache";
}

INSTANTIATE_TEST_SUITE_P(
    Statements, Failures,
    ::testing::Values(
        Failure{"UniqueKey",
                Sql("insert into tblCategories (Categoryid,Category) values(")
                    << sql::Int(2) << "," << sql::Text("Soap") << ")",
                "The record was not saved because it would repeat a value of "
                "tblCategories.Category, which must be unique (UNIQUE KEY)."},
        Failure{"NoSuchTable", Sql("select * from tblNowhere where a = ") << sql::Int(1),
                "The database could not carry out the statement (no such table: tblNowhere)."},
        Failure{"NoSuchColumn",
                Sql("update tblCategories set Missing = ")
                    << sql::Number(5) << " where Categoryid = " << sql::Int(1),
                "The database could not carry out the statement (no such column: Missing)."},
        Failure{"TooManyValues",
                Sql("insert into tblCategories values (")
                    << sql::Int(3) << ", " << sql::Text("Oil") << ", " << sql::Int(7) << ")",
                "The database could not carry out the statement (table tblCategories has 2 "
                "columns but 3 values were supplied)."},
        Failure{"UnrecognisedToken",
                Sql("select * from tblCategories where Categoryid = 5a and Category = ")
                    << sql::Text("x"),
                "The database could not carry out the statement (unrecognized token: \"5a\")."},
        Failure{"SyntaxNearALiteral",
                Sql("delete from tblCategories where Categoryid = ") << sql::Int(1) << " 'x'",
                "The database could not carry out the statement (near \"'x'\": syntax error)."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StatementCacheTest, AFormThatTakesOnlyLiteralsRunsAsLiteralText) {
    // The second argument of likelihood() must be a constant: with a
    // parameter there the form can't be prepared, so the literal text is,
    // and the form is remembered as such.
    Both(InsertCategory(1, "Soap"));
    Both(InsertCategory(2, "Oil"));
    int before = Prepared();
    for (double likely : {0.5, 0.25}) {
        Sql read = Sql("select Category from tblCategories where likelihood(Categoryid = ")
                   << sql::Int(2) << ", " << sql::Number(likely) << ")";
        Recordset rs;
        rs.Open(read, cached);
        EXPECT_EQ(rs.Field(0), Value("Oil"));
    }
    EXPECT_EQ(cached.CachedStatements(), 2u);
    EXPECT_EQ(Prepared(), before) << "nothing stays prepared for it";
}

TEST_F(StatementCacheTest, SeveralStatementsInOneRunAsLiteralText) {
    Sql two = Sql("insert into tblCategories (Categoryid,Category) values(")
              << sql::Int(1) << "," << sql::Text("Soap")
              << "); update tblCategories set Category = " << sql::Text("Oil")
              << " where Categoryid = " << sql::Int(1);
    EXPECT_EQ(Both(two), "changed 1");
    EXPECT_EQ(test::QueryRows(path, "select Category from tblCategories"), "Oil\n");
}

TEST_F(StatementCacheTest, KeepsAtMostItsSizeDroppingTheLeastRecentlyUsed) {
    cached.SetStatementCacheSize(3);
    const char* tables[] = {"tblCategories", "tblAccountGroup", "tblLedger",
                            "tblItemMaster", "tblStock",        "tblVoucher"};
    for (int round = 0; round < 3; ++round) {
        for (const char* table : tables) {
            Both(Sql("select count(*) from ")
                 << Sql(std::string(table)) << " where rowid > " << sql::Int(round));
        }
    }
    EXPECT_EQ(cached.CachedStatements(), 3u);
    EXPECT_EQ(Prepared(), 3);
}

TEST_F(StatementCacheTest, LeavesEveryStatementResetWithItsBindingsCleared) {
    Both(InsertCategory(1, "Soap"));
    Recordset rs;
    rs.Open(Sql("select Category from tblCategories where Categoryid = ") << sql::Int(1), cached);
    EXPECT_THROW(cached.Execute(InsertCategory(2, "Soap")), DataError);
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
    Both(InsertCategory(1, "Soap"));
    Recordset rs;
    rs.Open(Sql("select Category from tblCategories where Categoryid = ") << sql::Int(1), cached);
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
    Both(InsertCategory(1, "Soap"));
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
    Both(InsertCategory(1, "Soap"));
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
    cached.Execute(Sql("insert into tblStockHistory (StockHisId,VchDate) values (")
                   << sql::Int(2) << "," << sql::Date(Date{2009, 4, 1}) << ")");
    Recordset rs;
    rs.Open(Sql("select VchDate from tblStockHistory where StockHisId=") << sql::Int(2), cached);
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "insert into tblStockHistory (StockHisId,VchDate) values (1,#4/1/2009#)",
                        "insert into tblStockHistory (StockHisId,VchDate) values (2,#2009-04-01#)",
                        "select VchDate from tblStockHistory where StockHisId=2"}));
    EXPECT_EQ(rs.Field("VchDate"), Value("2009-04-01"));
}

}  // namespace
}  // namespace ledgerlift
