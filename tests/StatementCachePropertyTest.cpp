#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "data/Connection.h"
#include "data/Recordset.h"
#include "data/Sql.h"
#include "tests/DatabaseDump.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

// Random statements built with their values, of the kinds the product sends
// and of many it does not, sent over two connections to two copies of one
// database: one binds the values to the statement kept for each form, the
// other prepares every statement afresh as its literal text. Every result
// (column names, values with their types), changed-row count and error text
// must be the same, and so must the databases afterwards.

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

    Sql Statement() { return Below(24) < 13 ? Change() : Read(); }

  private:
    // Statements that change the database, or fail to.
    Sql Change() {
        switch (Below(13)) {
            case 0:
            case 1:
                return Sql("insert into t (a,b,c,d,e,u,k) values (")
                       << Any() << "," << Any() << "," << Any() << "," << Any() << "," << Any()
                       << "," << Unique() << "," << Check() << ")";
            case 2:
                return Sql("update t set a=a+") << Signed() << " where id=" << Small();
            case 3:
                return Sql("update t set ")
                       << Sql(Pick({"b", "e"})) << " = " << Sql(Pick({"b*", "b - ", "-", "b+"}))
                       << Signed() << " where c = " << Text() << " or id = " << Int();
            case 4:
                return Sql("delete from t where id = ") << Int() << " and c <> " << Text();
            case 5:
                return Sql("insert into h (dt, note) values (")
                       << Date() << ", " << (Below(3) ? Text() : Sql() << sql::Text("refuse"))
                       << ")";
            case 6:
                return Sql("insert into t (a) values (")
                       << Any() << "); update t set a = a + 1 where id = " << Small();
            case 7:
                return Sql(Pick({"savepoint s1", "release s1", "rollback to s1", "begin", "commit",
                                 "rollback", "savepoint s2", "release s2", "end"}));
            case 8:
                return Sql("update t set c = c || ") << Text() << " where a in (" << Int() << ", "
                                                     << Int() << ", " << Signed() << ")";
            case 9:
                return Sql("insert into t (a, b) select a + ")
                       << Int() << ", b * " << Real() << " from t where id < " << Small();
            case 10:
                return Sql("update t set e = x'0a0b' where id = ") << Int();
            case 11:
                return Sql("insert into t (a) values (") << Any() << ") returning id, a, 5";
            default:
                return Sql("replace into t (id, a, c) values (")
                       << Small() << ", " << Any() << ", " << Text() << ")";
        }
    }

    // Reads, some of them failing.
    Sql Read() {
        switch (Below(11)) {
            case 0:
                return Sql("select id, a, b, c, d, e, u from t where ")
                       << Condition() << " order by id";
            case 1:
                return Sql("select ") << Any() << " as v1, " << Any() << " as v2, a+" << Int()
                                      << " as v3 from t where id < " << Int() << " order by id";
            case 2:
                return Sql("select typeof(")
                       << Any() << ") as k, " << Any() << Sql(Pick({" as v", "as v"}));
            case 3:
                return Sql("select count(*), sum(a), max(b), group_concat(c) from t where a <> ")
                       << Any() << " group by d order by 1";
            case 4:
                return Sql("select id from t where a > ") << Int() << " limit " << Small();
            case 5:
                return Sql(Pick(
                           {"select * from nowhere where a = ",
                            "select a from t where b = 5a and c = ", "select a from t where b = "}))
                       << Int() << Sql(Pick({"", " and", " 'x'", "'x'", "a", ".5", "e5"}));
            case 6:
                return Sql("select a from t -- a note\n where id = ") << Int();
            case 7:
                return Sql("select case when a > ")
                       << Int() << " then " << Text() << " else " << Any()
                       << " end as k, a from t order by id limit 5";
            case 8:
                return Sql("select likelihood(a = 1, 0.5) as l, a from t where likelihood(a = ")
                       << Int() << ", " << Sql() << sql::Number(Below(5) / 4.0) << ") order by id";
            case 9:
                return Sql("select id from t where c = ")
                       << Text() << " collate binary order by id";
            default:
                return Sql("select id, a from t where a in (select a from t where b > ")
                       << Real() << " order by 1) and c like " << Text() << " order by id";
        }
    }

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    template <typename T>
    T Pick(std::vector<T> options) {
        return options[static_cast<std::size_t>(Below(static_cast<int>(options.size())))];
    }
    std::string Pick(std::vector<const char*> options) { return Pick<const char*>(options); }
    double Digits(int count) {
        double v = 0;
        for (int i = 0; i < count; ++i) {
            v = v * 10 + Below(10);
        }
        return v;
    }
    Sql Int() {
        return Sql() << sql::Int(
                   Pick<std::int64_t>({0, 1, 2, 3, 5, 42, -7, 999999, 1000000, 123456789012345678,
                                       INT64_MAX, INT64_MIN, Below(10), Below(5)}));
    }
    // Row ids stay small: at the largest rowid SQLite picks new ones at
    // random, which would tell the two databases apart.
    Sql Small() { return Sql() << sql::Int(Below(10)); }
    // Any finite double, from its bits.
    double AnyDouble() {
        std::uint64_t bits = std::uniform_int_distribution<std::uint64_t>()(random_);
        double v = 0;
        std::memcpy(&v, &bits, sizeof v);
        return std::isfinite(v) ? v : 1.5;
    }
    Sql Real() {
        double v = 0;
        switch (Below(4)) {
            case 0:
                v = Pick<double>({0.1, 0.1 + 0.2, 1234.5, 12.5, 1e20, 1.5e-3, 4.9e-324, 1e15,
                                  1.7976931348623157e308, 99999.99999999999, 3.14159265358979323846,
                                  2.2250738585072014e-308, 1e23, 8.5, 0.0});
                break;
            case 1:
                v = Digits(1 + Below(15)) / std::pow(10.0, Below(18));
                break;
            case 2:
                v = AnyDouble();
                break;
            default:
                v = Digits(1 + Below(3)) + Pick<double>({0.25, 0.5, 0.05, 0.01, 0.333});
                break;
        }
        return Sql() << sql::Number(Below(2) ? v : -v);
    }
    Sql Amount() {
        double v = Pick<double>({Digits(1 + Below(6)) / 10000.0, Digits(1 + Below(15)) / 100.0,
                                 922337203685477.5, 0.00005, 0.00015, 2.5e-5, 1500});
        return Sql() << sql::Currency(Below(2) ? v : -v);
    }
    Sql Signed() {
        switch (Below(3)) {
            case 0:
                return Int();
            case 1:
                return Amount();
            default:
                return Real();
        }
    }
    Sql Text() {
        return Sql() << sql::Text(
                   Pick({"", "x", "O'Brien", "it's #1#", "Café", "a%", "ONE", "select 1; --",
                         "2009-04-01", "5", "1.5", " 7 ", "two", "'", "''"}));
    }
    Sql Date() {
        return Sql() << sql::Date(Pick<ledgerlift::Date>(
                   {{2009, 4, 1}, {2024, 12, 31}, {1899, 12, 30}, {50, 1, 1}, {2009, 13, 1}}));
    }
    Sql Any() {
        switch (Below(6)) {
            case 0:
                return Int();
            case 1:
                return Real();
            case 2:
                return Text();
            case 3:
                return Date();
            case 4:
                return Amount();
            default:
                return Sql(Pick({"x'00ff'", "null", "-0.0", "(-2)"}));
        }
    }
    Sql Unique() {
        return Below(3) ? Sql("null") : Sql() << sql::Text("u" + std::to_string(Below(40)));
    }
    Sql Check() { return Below(2) ? Sql("null") : Below(2) ? Int() : Sql() << sql::Int(2000000); }
    Sql Condition() {
        switch (Below(8)) {
            case 0:
                return Sql("c = ") << Text();
            case 1:
                return Sql("a > ") << Int();
            case 2:
                return Sql("b between ") << Real() << " and " << Real();
            case 3:
                return Sql("c like ") << Text();
            case 4:
                return Sql("d in (") << Int() << ", " << Real() << ", " << Text() << ")";
            case 5:
                return Sql("e = ") << Amount();
            case 6:
                return Sql("b = ") << Signed();
            default:
                return Sql("u is not ") << Text();
        }
    }

    std::mt19937_64 random_;
};

// What one statement did on one connection.
std::string Outcome(Connection& cn, const Sql& statement) {
    bool reads = statement.Form().rfind("select", 0) == 0;
    try {
        if (!reads) {
            return "changed " + std::to_string(cn.Execute(statement));
        }
        Recordset rs;
        rs.Open(statement, cn);
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
        Sql statement = generate.Statement();
        std::string expected = Outcome(fresh, statement);
        std::string actual = Outcome(cached, statement);
        if (actual != expected) {
            ++differences;
            ADD_FAILURE() << "statement " << i << ": " << statement.Text()
                          << "\nfresh:  " << expected << "\ncached: " << actual;
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
