#include "migration/CategoryStage.h"
#include "migration/ItemStage.h"
#include "tests/MigrationFixture.h"

namespace ledgerlift {
namespace {

class ItemStage : public test::MigrationTest {
  protected:
    void Run(const std::vector<std::vector<std::string>>& rows) {
        Items(rows);
        RunCategoryStage(ctx);
        RunItemStage(ctx);
    }
    std::string ItemIds() { return Rows("select ItemID, ItemCode from tblItemMaster order by 1"); }
};

TEST(ItemInsert, TheStatementCharacterForCharacter) {
    ItemRecord item;
    item.itemId = 42;
    item.code = "A1";
    item.name = "Soap";
    item.categoryId = 3;
    item.unit = "Nos";
    item.mrp = 25;
    item.rol = 10;
    item.srate = 20;
    item.gstPer = 12.5;
    item.cstPer = 2;
    item.prate = 18;
    item.manufacturer = "Acme";
    item.pstPer = 4;
    EXPECT_EQ(ItemInsertStatement(item).Text(),
              "insert into tblitemMaster (ItemID,itemcode,ItemNAme,LedgerID,MalayalamEnglish ,"
              "Malayalam,CAtegoryID,unit, MRP,ROL,Rack,Description,Srate,GSTPER,CSTPER,Prate,"
              "RateInclusive,MAnufacturer,Discount,SratePer,MrpPer,PstPer, IntLocal,ScheduleNo,"
              "ProductType,PRoducttypeid,ActiveStatus,RateInclusivePurchase) values"
              "(42,'A1','Soap',0,'<None>','<None>',3,'Nos',25,10,'RACK','',20,12.5,2,18,0,'Acme',"
              "0,0,0,4,0,'','STOCK ITEM',0,1,0)");
}

TEST_F(ItemStage, WritesEveryColumnOfTheRow) {
    Run({{" A1 ", " Soap ", "Toiletries", " Acme ", "10", "18", "20", "25", "12.5", "2", "4", "yes",
          "YES", " Nos ", " Lux ", "10"}});
    EXPECT_EQ(Rows("select ItemID, ItemCode, ItemName, LedgerID, MalayalamEnglish, Malayalam, "
                   "CategoryID, Unit, MRP, ROL, Rack, Description, SRate, GSTPer, CSTPer, PRate, "
                   "RateInclusive, Manufacturer, Discount, SRatePer, MrpPer, PstPer, IntLocal, "
                   "ScheduleNo, ProductType, ProductTypeID, ActiveStatus, RateInclusivePurchase "
                   "from tblItemMaster"),
              "2|A1|Soap|0|<None>|<None>|1| Nos |25|10|RACK|Lux|20|12.5|2|18|1|Acme|0|0|0|4|0||"
              "STOCK ITEM|0|1|1\n");
    EXPECT_EQ(Rows("select ItemID, Qty, PRate, SRate, MRP from tblStock"), "2|10|18|20|25\n");
    EXPECT_EQ(Rows("select VchDate, VchType, RefID, QtyIn from tblStockHistory"),
              "2009-04-01|OpeningStock|2|10\n");
    EXPECT_TRUE(ops.Messages().empty());
    EXPECT_EQ(form.itemGrid.TopRow(), 1);
    EXPECT_EQ(companyConnection.TransactionDepth(), 0);
}

TEST_F(ItemStage, IdsStartTwoAboveTheHighestAndAdvanceEveryRow) {
    Exec("insert into tblItemMaster (ItemID, ItemCode) values (40, 'OLD')");
    Run({Item("N1", "Soap"), Item("N2", "Soap"), Item("N3", "Soap")});
    EXPECT_EQ(ItemIds(), "40|OLD\n42|N1\n43|N2\n44|N3\n");
}

TEST_F(ItemStage, RateInclusiveFlagsTakeOnlyYesInAnyCase) {
    auto row = [](const std::string& code, const std::string& sales, const std::string& purchase) {
        auto r = Item(code, "Soap");
        r[11] = sales;
        r[12] = purchase;
        return r;
    };
    Run({row("Y1", "yes", "Yes"), row("Y2", " YES", "Y"), row("Y3", "YES ", "")});
    EXPECT_EQ(Rows("select ItemCode, RateInclusive, RateInclusivePurchase from tblItemMaster "
                   "order by 1"),
              "Y1|1|1\nY2|0|0\nY3|0|0\n");
}

struct Quantity {
    const char* name;
    const char* qoh;
    const char* stock;    // tblStock rows, "" for none
    const char* history;  // QtyIn|QtyOut|PValueIn|PValueOut
};

// Printed by name, so that test names and failure messages stay readable.
void PrintTo(const Quantity& p, std::ostream* os) {
    *os << p.name;
}

class OpeningQuantity : public ItemStage, public ::testing::WithParamInterface<Quantity> {};

TEST_P(OpeningQuantity, PostsWhatTheCellReads) {
    Run({Item("Q1", "Soap", GetParam().qoh)});
    EXPECT_EQ(Rows("select Qty from tblStock"), GetParam().stock);
    EXPECT_EQ(Rows("select QtyIn, QtyOut, PValueIn, PValueOut from tblStockHistory"),
              GetParam().history);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, OpeningQuantity,
    ::testing::Values(Quantity{"Empty", "", "", ""}, Quantity{"Word", "abc", "", ""},
                      Quantity{"Zero", "0", "", ""},
                      Quantity{"DigitGrouping", "1,000", "1000\n", "1000|0|18000|0\n"},
                      Quantity{"NegativeLowersTheStock", "-5", "-5\n", "0|5|0|90\n"},
                      Quantity{"Fraction", "2.5", "2.5\n", "2.5|0|45|0\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ItemStage, UpdateModeReplacesExistingItemsUnderTheirOwnIds) {
    Exec("insert into tblCategories values (1, 'Soap')");
    Exec(
        "insert into tblItemMaster (ItemID, ItemCode, ItemName, Discount, MRP) values "
        "(5, 'E0', 'Old zero', 0, 99), (6, 'E5', 'Old five', 5, 99)");
    form.updateItemsBox.Value = 1;
    Run({Item("E0", "Soap", "7"), Item("NEW", "Soap", "3"), Item(" E5 ", "Soap", "9")});
    EXPECT_EQ(
        Rows("select ItemID, ItemCode, ItemName, Discount, MRP from tblItemMaster order by 1"),
        "5|E0|Name E0|0|25\n6|E5|Name  E5|0|25\n9|NEW|Name NEW|0|25\n")
        << "replaced whole: the old Discount is not carried over; ids 8 to 10 are used up";
    EXPECT_EQ(form.itemGrid.TextMatrix(1, item::Qoh), "0")
        << "the QOH cell takes the stored Discount";
    EXPECT_EQ(form.itemGrid.TextMatrix(3, item::Qoh), "5");
    EXPECT_EQ(Rows("select ItemID, Qty from tblStock order by 1"), "6|5\n9|3\n");
    EXPECT_EQ(form.itemGrid.BackColor(1, item::Code), (Rgb{0, 255, 0})) << "existing: green";
    EXPECT_EQ(form.itemGrid.BackColor(2, item::Code), (Rgb{255, 255, 0})) << "new: yellow";
    EXPECT_EQ(form.itemGrid.BackColor(3, item::Code), (Rgb{0, 255, 0}));
    EXPECT_FALSE(form.itemGrid.HasBackColor(1, item::Name));
}

TEST_F(ItemStage, WithoutUpdateModeNothingIsColoured) {
    Run({Item("A1", "Soap")});
    EXPECT_FALSE(form.itemGrid.HasBackColor(1, item::Code));
}

TEST_F(ItemStage, TwoRowsWithOneCodeLengthenTheSecondByTheCounter) {
    Run({Item("A1", "Soap", "1"), Item("A1", "Soap", "2")});
    EXPECT_EQ(ItemIds(), "2|A1\n3|A13\n");
    EXPECT_EQ(Rows("select ItemID, Qty from tblStock order by 1"), "2|1\n3|2\n");
    EXPECT_TRUE(ops.Messages().empty());
}

// Regression: a plain re-run after an interrupted run stored every item
// again under a lengthened code and posted its opening stock twice.
TEST_F(ItemStage, ACodeTheCompanyHeldBeforeTheRunIsLeftAsItIs) {
    Exec("insert into tblItemMaster (ItemID, ItemCode, ItemName) values (55, 'A1', 'NAME A1')");
    Exec(
        "insert into tblStockHistory (StockHisId, VchType, ItemID, QtyIN, QtyOut) values "
        "(1, 'OpeningStock', 55, 2, 0)");
    Run({Item("a1 ", "Soap", "2"), Item("B2", "Soap", "3")});
    EXPECT_EQ(ItemIds(), "55|A1\n58|B2\n") << "no copy; A1's turn of the counter passed";
    EXPECT_EQ(Rows("select ItemID, Qty from tblStock"), "58|3\n") << "no second opening stock";
    EXPECT_TRUE(ops.Messages().empty());
    ASSERT_EQ(tally.rows.size(), 2u);
    EXPECT_EQ(tally.rows[0].outcome, RunTally::Outcome::Skipped);
    EXPECT_NE(tally.rows[0].error.find("Already there"), std::string::npos);
    EXPECT_EQ(tally.items.skipped, 1);
    EXPECT_EQ(tally.items.written, 1);
}

TEST_F(ItemStage, UniqueKeyRetriesAreBoundedThenAsk) {
    Refuse("tblItemMaster", "1", "UNIQUE KEY refused by the test");
    ops.QueueAnswer(MsgAnswer::Yes);
    Run({Item("A1", "Soap", "4")});
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_NE(Texts()[0].find("Item row 2, A1"), std::string::npos) << Texts()[0];
    EXPECT_NE(Texts()[0].find("UNIQUE KEY refused by the test"), std::string::npos)
        << "the stages decide on UNIQUE KEY: it stays";
    EXPECT_NE(Texts()[0].find("Are you sure to Continue with next data"), std::string::npos);
    EXPECT_EQ(Rows("select count(*) from tblStock"), "0\n") << "no stock without its item";
}

TEST_F(ItemStage, YesGoesOnWithTheNextRowsButPostsNoOrphanStock) {
    Exec("insert into tblCategories values (1, 'Soap')");
    Items({Item("A1", "Soap", "1"), Item("A2", "Nowhere", "2"), Item("A3", "Soap", "3")});
    ops.QueueAnswer(MsgAnswer::Yes);
    RunItemStage(ctx);
    ASSERT_EQ(ops.Messages().size(), 1u);
    EXPECT_EQ(ops.Messages()[0].text,
              "Item row 3, A2: the category \"Nowhere\" is not in the company, so the item "
              "can't be filed under it.\r\nAre you sure to Continue with next data")
        << "the question names the row and carries the reason";
    EXPECT_EQ(ops.Messages()[0].icon, MsgIcon::Question);
    EXPECT_EQ(ItemIds(), "2|A1\n4|A3\n") << "the failed row still used up id 3";
    EXPECT_EQ(Rows("select ItemID, Qty from tblStock order by 1"), "2|1\n4|3\n");
}

TEST_F(ItemStage, NoShowsTheReasonAndEndsTheStage) {
    Exec("insert into tblCategories values (1, 'Soap')");
    Items({Item("A1", "Soap", "1"), Item("A2", "Nowhere", "2"), Item("A3", "Soap", "3")});
    ops.QueueAnswer(MsgAnswer::No);
    RunItemStage(ctx);
    ASSERT_EQ(ops.Messages().size(), 2u);
    EXPECT_EQ(ops.Messages()[1].icon, MsgIcon::Exclamation);
    EXPECT_NE(ops.Messages()[1].text.find("Item row 3, A2: the category \"Nowhere\" is not in"),
              std::string::npos)
        << ops.Messages()[1].text;
    EXPECT_EQ(ItemIds(), "2|A1\n");
    EXPECT_EQ(companyConnection.TransactionDepth(), 0) << "what was written stays committed";
}

TEST_F(ItemStage, AFailedReplacementKeepsTheOldItem) {
    Exec("insert into tblItemMaster (ItemID, ItemCode, ItemName) values (5, 'E1', 'Keep me')");
    form.updateItemsBox.Value = 1;
    Items({Item("E1", "Nowhere", "3")});
    ops.QueueAnswer(MsgAnswer::Yes);
    RunItemStage(ctx);
    EXPECT_EQ(Rows("select ItemID, ItemName from tblItemMaster"), "5|Keep me\n");
    EXPECT_EQ(Rows("select count(*) from tblStock"), "0\n");
}

TEST_F(ItemStage, ARefusedStockPostingIsReportedAndTheNextRowGoesOn) {
    Refuse("tblStockHistory", "new.ItemID = 2");
    Run({Item("A1", "Soap", "1"), Item("A2", "Soap", "2")});
    ASSERT_EQ(ops.Messages().size(), 1u);
    EXPECT_EQ(ops.Messages()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(Rows("select ItemID, Qty from tblStock"), "3|2\n");
    EXPECT_EQ(ItemIds(), "2|A1\n3|A2\n");
}

TEST_F(ItemStage, AnEmptyGridWritesNothing) {
    Run({});
    EXPECT_EQ(Rows("select count(*) from tblItemMaster"), "0\n");
    EXPECT_TRUE(ops.Messages().empty());
}

TEST_F(ItemStage, LetsTheWindowProcessEventsTwicePerRow) {
    Run({Item("A1", "Soap"), Item("A2", "Soap")});
    EXPECT_EQ(ops.DoEventsCount(), 4);
}

}  // namespace
}  // namespace ledgerlift
