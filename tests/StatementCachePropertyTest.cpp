#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "data/Connection.h"
#include "data/Recordset.h"
#include "tests/DatabaseDump.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

// Random statement texts, of the kinds the product sends and of many it does
// not, sent over two connections to two copies of one database: one keeps
// its statements prepared, the other prepares every text afresh. Every
// result (column names, values with their types), changed-row count and
// error text must be the same, and so must the databases afterwards.

const char* const kSchema =
    "create table t (id integer primary key, a integer, b real, c text collate nocase, "
    "d numeric, e, u text unique, k integer check (k is null or k < 1000000));"
    "create table h (id integer primary key, dt text, note text);"
    "create index ixA on t (a);"
    "create trigger refuse before insert on h when new.note = 'refuse' "
    "begin select raise(abort, 'refused by the rule'); end;"
    "insert into t (a, b, c, d, e, u) values (1, 1.5, 'one', 1, 'x', 'u1'), "
    "(2, -0.0, 'Two', '2.0', 2.5, 'u2'), (3, 3, 'three', 'text', x'00', null);";

class Generator {
  public:
    explicit Generator(unsigned seed) : random_(seed) {}

    std::string Statement() {
        switch (Below(26)) {
            case 0:
            case 1:
                return "insert into t (a,b,c,d,e,u,k) values (" + Any() + "," + Any() + "," +
                       Any() + "," + Any() + "," + Any() + "," + Unique() + "," + Check() + ")";
            case 2:
                return "update t set a=a+" + Signed() + " where id=" + Int();
            case 3:
                return "update t set " + Pick({"b", "e"}) + " = " +
                       Pick({"-0.0", "b - 0.0", "b*-1.5", "(-2)", "- 0.0", "-" + Real(),
                             "b+" + Signed()}) +
                       " where c = " + Text() + " or id = " + Int();
            case 4:
                return "delete from t where id = " + Int() + " and c <> " + Text();
            case 5:
                return "select id, a, b, c, d, e, u from t where " + Condition() + " order by id";
            case 6:
                return "select " + Any() + ", " + Any() + ", a+" + Int() + ", -" + Real() +
                       " from t where id < " + Int() + " order by id";
            case 7:
                return "select typeof(" + Any() + "), " + Any();
            case 8:
                return "select count(*), sum(a), max(b), group_concat(c) from t where a <> " +
                       Any() + " group by d order by 1";
            case 9:
                return Pick({"select a from t order by 2",
                             "select a, b from t order by 2 limit " + Int(),
                             "select id from t where a > " + Int() + " limit " + Int()});
            case 10:
                return "insert into h (dt, note) values (" + Date() + ", " +
                       Pick({"'refuse'", Text()}) + ")";
            case 11:
                return "insert into 't' (a) values (" + Any() + ")";
            case 12:
                return Pick({"select * from nowhere where a = 1", "select a from t where b = 5a",
                             "select a from t where b = 1 and", "insert into t (a) values ('x"});
            case 13:
                return "insert into t (a) values (" + Any() +
                       "); update t set a = a + 1 where id = " + Int();
            case 14:
                return "select a from t -- a note\n where id = " + Int();
            case 15:
                return Pick({"savepoint s1", "release s1", "rollback to s1", "begin", "commit",
                             "rollback", "savepoint s2", "release s2", "end"});
            case 16:
                return Pick({"pragma user_version = " + Int(), "pragma user_version"});
            case 17:
                return "update t set c = c || " + Text() + " where a in (" + Int() + ", " + Int() +
                       ", " + Signed() + ")";
            case 18:
                return "select case when a > " + Int() + " then " + Text() + " else " + Any() +
                       " end as k, a from t order by id limit 5";
            case 19:
                return "insert into t (a, b) select a + " + Int() + ", b * " + Real() +
                       " from t where id < " + Small();
            case 20:
                return "select likelihood(a = 1, 0.5), a from t where likelihood(a = " + Int() +
                       ", 0.5) order by id";
            case 21:
                return "update t set e = x'0a0b' where id = " + Int();
            case 22:
                return "insert into t (a) values (" + Any() + ") returning id, a, 5";
            case 23:
                return "select id from t where c = " + Text() + " collate binary order by id";
            case 24:
                return "replace into t (id, a, c) values (" + Small() + ", " + Any() + ", " +
                       Text() + ")";
            default:
                return "select id, a from t where a in (select a from t where b > " + Real() +
                       " order by 1) and c like " + Text() + " order by id";
        }
    }

  private:
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    std::string Pick(std::vector<std::string> options) {
        return options[static_cast<std::size_t>(Below(static_cast<int>(options.size())))];
    }
    std::string Digits(int count) {
        std::string s;
        for (int i = 0; i < count; ++i) {
            s += static_cast<char>('0' + Below(10));
        }
        return s;
    }
    std::string Int() {
        return Pick({"0", "1", "2", "3", "5", "42", "-7", "999999", "1000000", "123456789012345678",
                     "9223372036854775807", "-9223372036854775808", std::to_string(Below(10)),
                     std::to_string(Below(5))});
    }
    // Row ids stay small: at the largest rowid SQLite picks new ones at
    // random, which would tell the two databases apart.
    std::string Small() { return std::to_string(Below(10)); }
    std::string Real() {
        return Pick({"0.0", "1.5", "0.1", "0.30000000000000004", "3.14159265358979323846", "1e5",
                     "1E-3", ".5", "5.", "1e999", "4.9e-324", "2.2250738585072014e-308", "1234.5",
                     "12.50", Digits(1 + Below(3)) + "." + Digits(1 + Below(20)),
                     Digits(1 + Below(2)) + "e" + Pick({"", "-", "+"}) + Digits(1 + Below(3))});
    }
    std::string Signed() {
        std::string number = Below(2) ? Int() : Real();
        return Pick({"-" + number, "+" + number, "- " + number, number, "+-" + number,
                     "-(-" + number + ")", "- -" + number});
    }
    std::string Text() {
        return Pick({"''", "'x'", "'O''Brien'", "'it''s #1#'", "'Café'", "'a%'", "'ONE'",
                     "'select 1; --'", "'2009-04-01'", "'5'", "'1.5'", "' 7 '", "'two'"});
    }
    std::string Date() { return Pick({"#2009-04-01#", "#4/1/2009#", "#12/31/2024 10:30:00#"}); }
    std::string Any() {
        switch (Below(5)) {
            case 0:
                return Int();
            case 1:
                return Real();
            case 2:
                return Text();
            case 3:
                return Pick({Date(), "x'00ff'", "null", "-" + Int(), "-" + Real()});
            default:
                return Signed();
        }
    }
    std::string Unique() { return Pick({"null", "'u1'", "'u" + std::to_string(Below(40)) + "'"}); }
    std::string Check() { return Pick({"null", Int(), "2000000"}); }
    std::string Condition() {
        return Pick({"c = " + Text(), "a > " + Int(), "b between " + Real() + " and " + Real(),
                     "c like " + Text(), "d in (" + Int() + ", " + Real() + ", " + Text() + ")",
                     "typeof(e) = 'real'", "e = -0.0", "b = " + Signed(), "u is not " + Text()});
    }

    std::mt19937 random_;
};

// What one text did on one connection.
std::string Outcome(Connection& cn, const std::string& text) {
    bool reads = text.rfind("select", 0) == 0 ||
                 (text.rfind("pragma", 0) == 0 && text.find('=') == std::string::npos);
    try {
        if (!reads) {
            return "changed " + std::to_string(cn.Execute(text));
        }
        Recordset rs;
        rs.Open(text, cn);
        std::string out;
        for (const auto& name : rs.ColumnNames()) {
            out += "[" + name + "]";
        }
        while (!rs.IsEOF()) {
            out += "\n";
            for (std::size_t i = 0; i < rs.ColumnNames().size(); ++i) {
                Value v = rs.Field(static_cast<int>(i));
                char buf[64];
                if (v.IsInteger()) {
                    out += "i:" + std::to_string(v.AsInteger());
                } else if (v.IsReal()) {
                    std::snprintf(buf, sizeof buf, "r:%a", v.AsReal());
                    out += buf;
                } else if (v.IsText()) {
                    out += "t:'" + v.AsText() + "'";
                } else {
                    out += "NULL";
                }
                out += "|";
            }
            rs.MoveNext();
        }
        return out;
    } catch (const DataError& e) {
        return std::string("error: ") + e.what();
    }
}

struct RandomRun {
    const char* name;
    unsigned seed;
    std::size_t cacheSize;
    int statements;
};

void PrintTo(const RandomRun& run, std::ostream* os) {
    *os << run.name;
}

class CachedAndFresh : public ::testing::TestWithParam<RandomRun> {};

TEST_P(CachedAndFresh, GiveTheSameResultsCountsErrorsAndDatabase) {
    const RandomRun& run = GetParam();
    test::TempFolder dir;
    std::string cachedPath = dir.File("cached.db");
    std::string freshPath = dir.File("fresh.db");
    {
        std::ofstream(cachedPath).flush();  // an empty file is an empty database
        Connection setup;
        setup.SetStatementCacheSize(0);
        setup.Open(test::ConnectionStringFor(cachedPath));
        setup.Execute(kSchema);
    }
    std::filesystem::copy_file(cachedPath, freshPath);

    Connection cached;
    cached.SetStatementCacheSize(run.cacheSize);
    cached.Open(test::ConnectionStringFor(cachedPath));
    Connection fresh;
    fresh.SetStatementCacheSize(0);
    fresh.Open(test::ConnectionStringFor(freshPath));
    for (Connection* cn : {&cached, &fresh}) {
        cn->Execute("pragma synchronous=OFF");
    }

    Generator generate(run.seed);
    int differences = 0;
    for (int i = 0; i < run.statements && differences < 5; ++i) {
        std::string text = generate.Statement();
        std::string expected = Outcome(fresh, text);
        std::string actual = Outcome(cached, text);
        if (actual != expected) {
            ++differences;
            ADD_FAILURE() << "statement " << i << ": " << text << "\nfresh:  " << expected
                          << "\ncached: " << actual;
        }
    }
    EXPECT_GT(cached.CachedStatements(), 0u);
    EXPECT_LE(cached.CachedStatements(), run.cacheSize);
    EXPECT_EQ(fresh.CachedStatements(), 0u);
    cached.Close();
    fresh.Close();
    EXPECT_EQ(test::DumpDatabase(cachedPath), test::DumpDatabase(freshPath));
}

INSTANTIATE_TEST_SUITE_P(RandomTexts, CachedAndFresh,
                         ::testing::Values(RandomRun{"FirstSeed", 1, 512, 600},
                                           RandomRun{"SecondSeed", 2, 512, 600},
                                           RandomRun{"ThirdSeed", 3, 512, 600},
                                           RandomRun{"ThreeStatementsEvictOften", 4, 3, 600}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledgerlift
