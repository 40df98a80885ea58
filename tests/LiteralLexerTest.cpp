#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "data/Dialect.h"
#include "data/LiteralLexer.h"

namespace ledgerlift {
namespace {

// A statement text (in the product's dialect), and what the lexer makes of
// it: the shape, the cache key and the lifted literals as kind and value
// ("I:-5", "R:1.5", "T:O''Brien"; the value as written, sign included).
struct LexRow {
    const char* name;
    const char* text;
    TextShape shape;
    const char* key;  // "" for an uncached text
    std::vector<std::string> lifted;
};

void PrintTo(const LexRow& row, std::ostream* os) {
    *os << row.name;
}

std::string Describe(const Literal& l, std::string_view sql) {
    const char* kind = l.kind == Literal::Kind::Integer ? "I:"
                       : l.kind == Literal::Kind::Real  ? "R:"
                                                        : "T:";
    return kind + std::string(l.negative ? "-" : "") + std::string(l.Value(sql));
}

class LexerTable : public ::testing::TestWithParam<LexRow> {};

TEST_P(LexerTable, LiftsWhatMayTravelAsAValueAndKeepsTheRest) {
    const LexRow& row = GetParam();
    std::string sql = ToSqlite(row.text);
    std::vector<Literal> literals;
    std::string key = "left from before";
    TextShape shape = LiteralLexer().Lex(sql, literals, key);
    EXPECT_EQ(shape, row.shape);
    if (shape != TextShape::Uncached) {
        EXPECT_EQ(key, row.key);
    }
    std::vector<std::string> lifted;
    for (const Literal& l : literals) {
        lifted.push_back(Describe(l, sql));
    }
    EXPECT_EQ(lifted, row.lifted);
}

using S = TextShape;

INSTANTIATE_TEST_SUITE_P(
    Texts, LexerTable,
    ::testing::Values(
        LexRow{"QuotedText",
               "select a from t where b='x'",
               S::Parameterised,
               "select a from t where b=?",
               {"T:x"}},
        LexRow{"DoubledQuotes",
               "select a from t where b='O''Brien' and c='it''s; -- no'",
               S::Parameterised,
               "select a from t where b=? and c=?",
               {"T:O''Brien", "T:it''s; -- no"}},
        LexRow{"EmptyText",
               "update t set b='' where c=''",
               S::Parameterised,
               "update t set b=? where c=?",
               {"T:", "T:"}},
        LexRow{"NegativeAfterPlus",
               "update tblstock set qty=qty+-5 where Itemid=42 and Prate=18  and Mrp = 25",
               S::Parameterised,
               "update tblstock set qty=qty+? where Itemid=? and Prate=?  and Mrp = ?",
               {"I:-5", "I:42", "I:18", "I:25"}},
        LexRow{"SignsThatBelongToTheNumber",
               "insert into t values(-5,-1.5, +2,(-0.0),a*-3)",
               S::Parameterised,
               "insert into t values(?,?, ?,(?),a*?)",
               {"I:-5", "R:-1.5", "I:2", "R:-0.0", "I:-3"}},
        LexRow{"BinaryMinusKeepsItsSign",
               "update t set a=a-5, b=b - 7",
               S::Parameterised,
               "update t set a=a-?, b=b - ?",
               {"I:5", "I:7"}},
        LexRow{"RealAfterAMinusNotItsOwnStays",
               "update t set b=b - 0.5, c=c-0.0",
               S::AsWritten,
               "update t set b=b - 0.5, c=c-0.0",
               {}},
        LexRow{"MinusAfterAKeyword",
               "delete from t where a = 1 and -5 < b",
               S::Parameterised,
               "delete from t where a = ? and -? < b",
               {"I:1", "I:5"}},
        LexRow{"DecimalsAndExponents",
               "insert into t values(1e5, 1.5E-3, .5, 5., 2e+1)",
               S::Parameterised,
               "insert into t values(?, ?, ?, ?, ?)",
               {"R:1e5", "R:1.5E-3", "R:.5", "R:5.", "R:2e+1"}},
        LexRow{"DigitsInsideNames",
               "select col1 from tbl2 where x3=4 and t2.c5 = 6",
               S::Parameterised,
               "select col1 from tbl2 where x3=? and t2.c5 = ?",
               {"I:4", "I:6"}},
        LexRow{"OrderByPositions",
               "select a, b from t where c='x' order by 2, 1 desc",
               S::Parameterised,
               "select a, b from t where c=? order by 2, 1 desc",
               {"T:x"}},
        LexRow{"GroupByPositions",
               "select a, count(*) from t where c=1 group by 1 having count(*) > 2",
               S::Parameterised,
               "select a, count(*) from t where c=? group by 1 having count(*) > 2",
               {"I:1"}},
        LexRow{"SelectListNamesColumns",
               "Select max(ItemID) + 1 as MAxid from tblItemMaster",
               S::AsWritten,
               "Select max(ItemID) + 1 as MAxid from tblItemMaster",
               {}},
        LexRow{"SelectListLiteralsStay",
               "select 5, 'a', -1.5 from t where b = 6",
               S::Parameterised,
               "select 5, 'a', -1.5 from t where b = ?",
               {"I:6"}},
        LexRow{"SubqueryInsideTheSelectList",
               "select (select max(a) from u where b = 5) + 1 from t where c = 7",
               S::Parameterised,
               "select (select max(a) from u where b = 5) + 1 from t where c = ?",
               {"I:7"}},
        LexRow{"SubqueryInWhere",
               "select a from t where b in (select c from u where d = 'x') and e = 2",
               S::Parameterised,
               "select a from t where b in (select c from u where d = ?) and e = ?",
               {"T:x", "I:2"}},
        LexRow{"OrderByEndsWithItsSubquery",
               "select a from t where b in (select c from u order by 1 limit 3) and e = 2",
               S::Parameterised,
               "select a from t where b in (select c from u order by 1 limit 3) and e = ?",
               {"I:2"}},
        LexRow{"SelectWithoutFrom", "select 1", S::AsWritten, "select 1", {}},
        LexRow{"InsertFromSelect",
               "insert into t(a,b) select 5, c from u where d = 'x'",
               S::Parameterised,
               "insert into t(a,b) select 5, c from u where d = ?",
               {"T:x"}},
        LexRow{"DatesFromTheDialect",
               "insert into tblstockHistory(StockHisId,VchDate) values( 15,#2009-04-01#)",
               S::Parameterised,
               "insert into tblstockHistory(StockHisId,VchDate) values( ?,?)",
               {"I:15", "T:2009-04-01"}},
        LexRow{"HashInsideText",
               "insert into t values('No #1# here')",
               S::Parameterised,
               "insert into t values(?)",
               {"T:No #1# here"}},
        LexRow{"TrailingSemicolon",
               "insert into t values(1);  ",
               S::Parameterised,
               "insert into t values(?);  ",
               {"I:1"}},
        LexRow{"SeveralStatements",
               "insert into t values(1); insert into t values(2)",
               S::Uncached,
               "",
               {}},
        LexRow{"LineComment", "select a from t where b = 1 -- the first", S::Uncached, "", {}},
        LexRow{"BlockComment", "select a /* the a */ from t where b = 1", S::Uncached, "", {}},
        LexRow{"OwnQuestionMark", "select a from t where b = ?", S::Uncached, "", {}},
        LexRow{"OwnNamedParameter", "select a from t where b = :b", S::Uncached, "", {}},
        LexRow{"OwnDollarParameter", "select a from t where b = $b", S::Uncached, "", {}},
        LexRow{"Pragma", "pragma journal_mode=WAL", S::AsWritten, "pragma journal_mode=WAL", {}},
        LexRow{"Savepoint", "savepoint ll_1", S::AsWritten, "savepoint ll_1", {}},
        LexRow{"RollbackTo", "rollback to ll_2", S::AsWritten, "rollback to ll_2", {}},
        LexRow{"CreateTableIsNotCached", "create table x(a default 5)", S::Uncached, "", {}},
        LexRow{"BlankText", "   ", S::Uncached, "", {}},
        LexRow{"HexStays",
               "update t set a=0x1F where b=2",
               S::Parameterised,
               "update t set a=0x1F where b=?",
               {"I:2"}},
        LexRow{"NumberGluedToLetters",
               "select a from t where b=5a",
               S::AsWritten,
               "select a from t where b=5a",
               {}},
        LexRow{"BlobStays",
               "insert into t values(x'00ff', X'', 1)",
               S::Parameterised,
               "insert into t values(x'00ff', X'', ?)",
               {"I:1"}},
        LexRow{
            "NineteenDigitsStay",
            "insert into t values(9223372036854775807, -9223372036854775808, 123456789012345678)",
            S::Parameterised,
            "insert into t values(9223372036854775807, -9223372036854775808, ?)",
            {"I:123456789012345678"}},
        LexRow{"QuotedNames",
               "select \"a b\" from [t 1] where `c`='x' and \"d\"\"e\"=1",
               S::Parameterised,
               "select \"a b\" from [t 1] where `c`=? and \"d\"\"e\"=?",
               {"T:x", "I:1"}},
        LexRow{"TextAsATableName",
               "insert into 'tbl' values(1)",
               S::Parameterised,
               "insert into ? values(?)",
               {"T:tbl", "I:1"}},
        LexRow{"LiteralsGluedTogetherStay",
               "select a from t where b='x'5 and c=\"d\"7",
               S::AsWritten,
               "select a from t where b='x'5 and c=\"d\"7",
               {}},
        LexRow{"ReturningNamesColumns",
               "insert into t(a) values(1) returning a, 5",
               S::Parameterised,
               "insert into t(a) values(?) returning a, 5",
               {"I:1"}},
        LexRow{"UnclosedText", "select a from t where b='x", S::Uncached, "", {}},
        LexRow{"UnbalancedParenthesis", "select a from t where b=1)", S::Uncached, "", {}},
        LexRow{"AnyLetterCase",
               "UPDATE TBLSTOCK SET QTY=1 WHERE ITEMID=42",
               S::Parameterised,
               "UPDATE TBLSTOCK SET QTY=? WHERE ITEMID=?",
               {"I:1", "I:42"}},
        LexRow{"ReplaceAndDelete",
               "replace into t values('a', 2.50)",
               S::Parameterised,
               "replace into t values(?, ?)",
               {"T:a", "R:2.50"}},
        LexRow{"LikePatternsAndInLists",
               "select a from t where c like 'ab%' and d in (1, -2, 'x')",
               S::Parameterised,
               "select a from t where c like ? and d in (?, ?, ?)",
               {"T:ab%", "I:1", "I:-2", "T:x"}},
        LexRow{"TextThatLooksLikeSql",
               "insert into t values('select 1 from x order by 2; --')",
               S::Parameterised,
               "insert into t values(?)",
               {"T:select 1 from x order by 2; --"}},
        LexRow{"NonAsciiText",
               "insert into t values('Café ₹ 5')",
               S::Parameterised,
               "insert into t values(?)",
               {"T:Café ₹ 5"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LiteralLexer, ReadsOnlyUpToTheFirstNulAsSqliteDoes) {
    std::string sql("update t set a=1", 16);
    sql += '\0';
    sql += "; drop table t";
    std::vector<Literal> literals;
    std::string key;
    EXPECT_EQ(LiteralLexer().Lex(sql, literals, key), TextShape::Parameterised);
    EXPECT_EQ(key, "update t set a=?");
}

}  // namespace
}  // namespace ledgerlift
