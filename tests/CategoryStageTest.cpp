#include "migration/CategoryStage.h"
#include "tests/MigrationFixture.h"

namespace ledgerlift {
namespace {

using Categories = test::MigrationTest;

TEST_F(Categories, InsertsEachNewNameOnceWithTheNextId) {
    Items({Item("A1", "Soap"), Item("A2", "Oil"), Item("A3", " Soap "), Item("A4", "SOAP")});
    RunCategoryStage(ctx);
    EXPECT_EQ(Rows("select CategoryID, Category from tblCategories order by 1"), "1|Soap\n2|Oil\n");
    EXPECT_TRUE(ops.Messages().empty());
    EXPECT_EQ(companyConnection.TransactionDepth(), 0);
}

TEST_F(Categories, FollowTheHighestIdWithoutFillingGaps) {
    Exec("insert into tblCategories values (3, 'A'), (7, 'B')");
    Items({Item("A1", "Rice")});
    RunCategoryStage(ctx);
    EXPECT_EQ(Rows("select CategoryID from tblCategories where Category='Rice'"), "8\n");
}

TEST_F(Categories, AQuoteIsDoubledInTheStatementAndStoredOnce) {
    Items({Item("A1", "O'Brien"), Item("A2", "O'Brien")});
    RunCategoryStage(ctx);
    EXPECT_EQ(Rows("select Category from tblCategories"), "O'Brien\n");
}

TEST_F(Categories, NoDataRowsWritesNothing) {
    Items({});
    RunCategoryStage(ctx);
    EXPECT_EQ(Rows("select count(*) from tblCategories"), "0\n");
    EXPECT_TRUE(ops.Messages().empty());
    EXPECT_EQ(companyConnection.TransactionDepth(), 0);
}

TEST_F(Categories, ABlankCellIsANameLikeAnyOther) {
    Items({Item("A1", "  ")});
    RunCategoryStage(ctx);
    EXPECT_EQ(Rows("select CategoryID, '[' || Category || ']' from tblCategories"), "1|[]\n");
}

TEST_F(Categories, NoAtAFailureUndoesEveryCategoryOfTheStage) {
    Exec("insert into tblCategories values (1, 'Old')");
    Refuse("tblCategories", "new.Category = 'Bad'");
    Items({Item("A1", "W"), Item("A2", "X"), Item("A3", "Y"), Item("A4", "Z"), Item("A5", "Bad"),
           Item("A6", "After")});
    ops.QueueAnswer(MsgAnswer::No);
    RunCategoryStage(ctx);
    EXPECT_EQ(Rows("select Category from tblCategories"), "Old\n");
    ASSERT_EQ(ops.Messages().size(), 2u);
    EXPECT_EQ(ops.Messages()[0].icon, MsgIcon::Question);
    EXPECT_EQ(ops.Messages()[0].buttons, MsgButtons::YesNo);
    EXPECT_NE(ops.Messages()[0].text.find("refused by the test"), std::string::npos);
    EXPECT_EQ(ops.Messages()[0].text,
              "Item row 6, A5: the category \"Bad\" could not be written: the company's database "
              "refused the record (refused by the test).\r\nAre you sure to Continue with next "
              "data")
        << "the sheet, the worksheet row and the item code, then why; the question on a line "
           "of its own";
    EXPECT_EQ(ops.Messages()[1].icon, MsgIcon::Exclamation);
    EXPECT_EQ(companyConnection.TransactionDepth(), 0);
}

TEST_F(Categories, YesSkipsTheFailedInsertAndKeepsTheRest) {
    Refuse("tblCategories", "new.Category = 'Bad'");
    Items({Item("A1", "Good"), Item("A2", "Bad"), Item("A3", "Fine")});
    ops.QueueAnswer(MsgAnswer::Yes);
    RunCategoryStage(ctx);
    EXPECT_EQ(Rows("select CategoryID, Category from tblCategories order by 1"),
              "1|Good\n2|Fine\n");
    EXPECT_EQ(ops.UnansweredQuestions(), 0u);
}

TEST_F(Categories, AClosedConnectionEndsTheRunThroughTheFailedRollback) {
    companyConnection.Close();
    Items({Item("A1", "Soap")});
    ops.QueueAnswer(MsgAnswer::No);
    EXPECT_THROW(RunCategoryStage(ctx), DataError);
}

TEST_F(Categories, EveryRowBeyondSixteenBitsIsWalked) {
    std::vector<std::vector<std::string>> rows(32770, Item("A", "Common"));
    rows.back() = Item("Z", "Last");
    Items(rows);
    RunCategoryStage(ctx);
    EXPECT_EQ(Rows("select Category from tblCategories order by 1"), "Common\nLast\n");
}

}  // namespace
}  // namespace ledgerlift
