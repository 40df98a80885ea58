#include "migration/Postings.h"
#include "tests/MigrationFixture.h"

namespace ledgerlift {
namespace {

using StockPosting = test::MigrationTest;

StockLine Line(std::int32_t item, double qty, double prate = 18, double srate = 20,
               double mrp = 25) {
    StockLine line;
    line.ItemID = item;
    line.Qty = qty;
    line.PRate = prate;
    line.SRate = srate;
    line.MRP = mrp;
    return line;
}

TEST_F(StockPosting, TheWorkedExampleStatements) {
    StockLine line = Line(42, 10);
    EXPECT_EQ(StockUpdateStatement(10, line).Text(),
              "update tblstock set qty=qty+10 where Itemid=42 and Prate=18  and Mrp = 25");
    EXPECT_EQ(StockInsertStatement(7, 10, line).Text(),
              "insert into tblStock (StockId, ItemID,BAtch,  Qty,pRate,SRate,Mrp,BatchCode,"
              "batchID ) values ( 7,42,'7',10,18,20,25,'',0)");
    EXPECT_EQ(
        StockHistoryStatement(15, "OpeningStock", kStockIn, 42, "", line, Date{2009, 4, 1}).Text(),
        "insert into tblstockHistory(StockHisId,VchDate,  VchType ,RefId   ,AdnlRefID   "
        ",ItemID  ,QtyIN   ,QtyOut,BAtch  ,PvalueIN    ,PvalueOut   ,SValueIN    ,SValueOut,"
        "MrpValueIN,MrpValueOut,FreeQtyIn,FreeQtyOut,BatchCode) values( 15,#2009-04-01#,"
        "'OpeningStock',42,'',42,10,0,'',180,0,200,0,250,0,0,0,'')");
}

TEST_F(StockPosting, TheWorkedExampleInTheDatabase) {
    Exec("insert into tblStock (StockID, ItemID, Qty, PRate, MRP) values (6, 1, 1, 1, 1)");
    Exec("insert into tblStockHistory (StockHisID) values (14)");
    StockLine line = Line(42, 10);
    EXPECT_TRUE(PostStockEntry(companyConnection, "OpeningStock", kStockIn, 42, "", line,
                               Date{2009, 4, 1}, ops));
    EXPECT_EQ(Rows("select StockID, ItemID, Batch, Qty, PRate, SRate, MRP, BatchCode, BatchID "
                   "from tblStock where ItemID=42"),
              "7|42|7|10|18|20|25||0\n");
    EXPECT_EQ(
        Rows("select StockHisID, VchDate, VchType, RefID, AdnlRefID, ItemID, QtyIn, QtyOut, "
             "PValueIn, PValueOut, SValueIn, MrpValueIn from tblStockHistory where ItemID=42"),
        "15|2009-04-01|OpeningStock|42||42|10|0|180|0|200|250\n");
    EXPECT_EQ(line.ItemID, 0) << "the line's numbers are cleared after a posting";
    EXPECT_EQ(line.Qty, 0);
    EXPECT_TRUE(ops.Messages().empty());
}

TEST_F(StockPosting, EmptyTablesStartAtOne) {
    StockLine line = Line(5, 3);
    PostStockEntry(companyConnection, "OpeningStock", kStockIn, 5, "", line, Date{2009, 4, 1}, ops);
    EXPECT_EQ(Rows("select StockID, Batch from tblStock"), "1|1\n");
    EXPECT_EQ(Rows("select StockHisID from tblStockHistory"), "1\n");
}

TEST_F(StockPosting, SameRateAndMrpAddUpOtherMrpGetsItsOwnRow) {
    for (double mrp : {25.0, 25.0, 30.0}) {
        StockLine line = Line(42, 10, 18, 20, mrp);
        PostStockEntry(companyConnection, "OpeningStock", kStockIn, 42, "", line, Date{2009, 4, 1},
                       ops);
    }
    EXPECT_EQ(Rows("select StockID, Qty, MRP from tblStock order by 1"), "1|20|25\n2|10|30\n");
    EXPECT_EQ(Rows("select count(*) from tblStockHistory"), "3\n");
}

TEST_F(StockPosting, TwoMatchingRowsBothReceiveTheQuantity) {
    Exec("insert into tblStock (StockID, ItemID, Qty, PRate, MRP) values (1, 42, 1, 18, 25)");
    Exec("insert into tblStock (StockID, ItemID, Qty, PRate, MRP) values (2, 42, 2, 18, 25)");
    StockLine line = Line(42, 10);
    PostStockEntry(companyConnection, "OpeningStock", kStockIn, 42, "", line, Date{2009, 4, 1},
                   ops);
    EXPECT_EQ(Rows("select Qty from tblStock order by StockID"), "11\n12\n");
}

TEST_F(StockPosting, OutwardLowersTheStockAndRecordsTheOutSide) {
    StockLine line = Line(42, 5);
    PostStockEntry(companyConnection, "OpeningStock", kStockOut, 42, "", line, Date{2009, 4, 1},
                   ops);
    EXPECT_EQ(Rows("select Qty from tblStock"), "-5\n");
    EXPECT_EQ(Rows("select QtyIn, QtyOut, PValueIn, PValueOut, SValueOut, MrpValueOut "
                   "from tblStockHistory"),
              "0|5|0|90|100|125\n");
}

TEST_F(StockPosting, IsAllOrNothingAndReportsItsFailure) {
    Exec("insert into tblStock (StockID, ItemID, Qty, PRate, MRP) values (1, 42, 4, 18, 25)");
    Refuse("tblStockHistory", "1");
    StockLine line = Line(42, 10);
    EXPECT_FALSE(PostStockEntry(companyConnection, "OpeningStock", kStockIn, 42, "", line,
                                Date{2009, 4, 1}, ops));
    EXPECT_EQ(Rows("select Qty from tblStock"), "4\n") << "the stock row's change was undone";
    ASSERT_EQ(ops.Messages().size(), 1u);
    EXPECT_EQ(ops.Messages()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(line.Qty, 10) << "the line is not cleared after a failure";
    EXPECT_EQ(companyConnection.TransactionDepth(), 0);
}

TEST_F(StockPosting, NextIdReadsTheHighestPlusOneAndTakesACondition) {
    EXPECT_EQ(GetNextId(companyConnection, "tblLedger", "LID", "", ops), Value(1));
    Exec("insert into tblLedger (LID, LName) values (1, 'a'), (2, 'b'), (7, 'c')");
    EXPECT_EQ(GetNextId(companyConnection, "tblLedger", "LID", "", ops), Value(8));
    EXPECT_EQ(GetNextId(companyConnection, "tblLedger", "LID", "LID < 5", ops), Value(3));
    EXPECT_EQ(GetNextId(companyConnection, "tblLedger", "LID", "LID > 50", ops), Value(1));
    companyConnection.Close();
    EXPECT_TRUE(GetNextId(companyConnection, "tblLedger", "LID", "", ops).IsNull());
    ASSERT_EQ(ops.Messages().size(), 1u);
    EXPECT_EQ(ops.Messages()[0].icon, MsgIcon::Exclamation);
}

}  // namespace
}  // namespace ledgerlift
