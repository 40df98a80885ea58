#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "base/TextRules.h"
#include "data/Sql.h"

namespace ledgerlift {
namespace {

// A statement built with its values, and what it gives: its literal text
// (what the tests and the tracer see), its form (what the cache prepares) and
// each value as its literal.
struct BuiltRow {
    const char* name;
    Sql sql;
    const char* text;
    const char* form;
    std::vector<std::string> literals;
};

void PrintTo(const BuiltRow& row, std::ostream* os) {
    *os << row.name;
}

class BuiltTable : public ::testing::TestWithParam<BuiltRow> {};

TEST_P(BuiltTable, WritesTheLiteralTextAndKeepsAParameterWhereEachValueStands) {
    const BuiltRow& row = GetParam();
    EXPECT_EQ(row.sql.Text(), row.text);
    EXPECT_EQ(row.sql.Form(), row.form);
    std::vector<std::string> literals;
    for (const SqlValue& value : row.sql.Values()) {
        literals.push_back(row.sql.Literal(value));
    }
    EXPECT_EQ(literals, row.literals);
}

Sql Condition() {
    return Sql(" where ItemID=") << sql::Int(5);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, BuiltTable,
    ::testing::Values(
        BuiltRow{"QuotedText",
                 Sql("select a from t where b=") << sql::Text("x"),
                 "select a from t where b='x'",
                 "select a from t where b=?",
                 {"'x'"}},
        BuiltRow{"DoubledQuotes",
                 Sql("select a from t where b=")
                     << sql::Text("O'Brien") << " and c=" << sql::Text("it's; -- no"),
                 "select a from t where b='O''Brien' and c='it''s; -- no'",
                 "select a from t where b=? and c=?",
                 {"'O''Brien'", "'it''s; -- no'"}},
        BuiltRow{"EmptyText",
                 Sql("update t set b=") << sql::Text("") << " where c=" << sql::Text(""),
                 "update t set b='' where c=''",
                 "update t set b=? where c=?",
                 {"''", "''"}},
        BuiltRow{"NegativeAfterPlus",
                 Sql("update tblstock set qty=qty+")
                     << sql::Number(-5) << " where Itemid=" << sql::Int(42)
                     << " and Prate=" << sql::Number(18) << "  and Mrp = " << sql::Number(25),
                 "update tblstock set qty=qty+-5 where Itemid=42 and Prate=18  and Mrp = 25",
                 "update tblstock set qty=qty+? where Itemid=? and Prate=?  and Mrp = ?",
                 {"-5", "42", "18", "25"}},
        BuiltRow{"NumbersByTheNumberTextRule",
                 Sql("insert into t values(")
                     << sql::Number(12.5) << "," << sql::Number(1e20) << "," << sql::Number(-0.0)
                     << "," << sql::Number(0.1 + 0.2) << "," << sql::Number(1.5e-3) << ")",
                 "insert into t values(12.5,1E+20,0,0.3,0.0015)",
                 "insert into t values(?,?,?,?,?)",
                 {"12.5", "1E+20", "0", "0.3", "0.0015"}},
        BuiltRow{"AmountsToFourDecimals",
                 Sql("insert into t values(")
                     << sql::Currency(250.5) << "," << sql::Currency(1500) << ","
                     << sql::Currency(-12.34567) << "," << sql::Currency(-0.00001) << ")",
                 "insert into t values(250.5,1500,-12.3457,0)",
                 "insert into t values(?,?,?,?)",
                 {"250.5", "1500", "-12.3457", "0"}},
        BuiltRow{"DatesBetweenHashes",
                 Sql("insert into tblstockHistory(StockHisId,VchDate) values( ")
                     << sql::Int(15) << "," << sql::Date(Date{2009, 4, 1}) << ")",
                 "insert into tblstockHistory(StockHisId,VchDate) values( 15,#2009-04-01#)",
                 "insert into tblstockHistory(StockHisId,VchDate) values( ?,?)",
                 {"15", "#2009-04-01#"}},
        BuiltRow{"HashInsideText",
                 Sql("insert into t values(") << sql::Text("No #1# here") << ")",
                 "insert into t values('No #1# here')",
                 "insert into t values(?)",
                 {"'No #1# here'"}},
        BuiltRow{"TextThatLooksLikeSql",
                 Sql("insert into t values(") << sql::Text("select 1 from x order by 2; --") << ")",
                 "insert into t values('select 1 from x order by 2; --')",
                 "insert into t values(?)",
                 {"'select 1 from x order by 2; --'"}},
        BuiltRow{"NonAsciiText",
                 Sql("insert into t values(") << sql::Text("Café ₹ 5") << ")",
                 "insert into t values('Café ₹ 5')",
                 "insert into t values(?)",
                 {"'Café ₹ 5'"}},
        BuiltRow{"NamesPutInAsTheyStand",
                 Sql("Select max(") << Sql(std::string("LID")) << ") + 1 as MAxid from "
                                    << Sql(std::string("tblLedger")),
                 "Select max(LID) + 1 as MAxid from tblLedger",
                 "Select max(LID) + 1 as MAxid from tblLedger",
                 {}},
        BuiltRow{"AConditionWithItsValues",
                 Sql("Select Discount as Field1 from tblItemMaster ")
                     << Condition() << " and Code=" << sql::Text("A'1"),
                 "Select Discount as Field1 from tblItemMaster  where ItemID=5 and Code='A''1'",
                 "Select Discount as Field1 from tblItemMaster  where ItemID=? and Code=?",
                 {"5", "'A''1'"}},
        BuiltRow{"AQuestionMarkOfTheSqlItselfStays",
                 Sql("select a from t where b = '?' and c = ") << sql::Int(-1),
                 "select a from t where b = '?' and c = -1",
                 "select a from t where b = '?' and c = ?",
                 {"-1"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A value no literal can hold is refused while the statement is built, with
// the text rule's own sentence.
TEST(Sql, RefusesAValueThatCantBeStoredAsItIsBuilt) {
    EXPECT_THROW(sql::Text(std::string("a\0b", 3)), ConversionError);
    try {
        sql::Number(std::nan(""));
        FAIL() << "NaN was taken";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "A number too large to store (not a number) was refused.");
    }
    EXPECT_THROW(sql::Number{INFINITY}, ConversionError);
    EXPECT_THROW(sql::Currency(1e16), ConversionError);
}

}  // namespace
}  // namespace ledgerlift
