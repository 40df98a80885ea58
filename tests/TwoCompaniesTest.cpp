#include "migration/CategoryStage.h"
#include "migration/ItemStage.h"
#include "migration/LedgerStage.h"
#include "tests/MigrationFixture.h"

namespace ledgerlift {
namespace {

// Two companies open in one process, each stage given one of them: every
// row's item, its stock and its voucher land together in the company the
// stage was given, and nothing in the other. Guards against a lookup or a
// posting that reads a connection of its own instead of the one it is given
// (an item written into one company with its opening stock in another).
class TwoCompanies : public test::MigrationTest {
  protected:
    void SetUp() override {
        MigrationTest::SetUp();
        shopDb = product.AddCompany("SHOP", "C02", "SHOP");
        shop.Open(test::ConnectionStringFor(shopDb));
    }
    void TearDown() override {
        shop.Close();
        MigrationTest::TearDown();
    }
    void RunAll(StageContext& stage) {
        RunCategoryStage(stage);
        RunItemStage(stage);
        RunLedgerStage(stage);
    }
    static std::string Counts(const std::string& dbPath) {
        return test::QueryRows(
            dbPath,
            "select (select count(*) from tblItemMaster), (select count(*) from tblStock), "
            "(select count(*) from tblStockHistory), (select count(*) from tblLedger), "
            "(select count(*) from tblVoucher)");
    }

    std::string shopDb;
    Connection shop;
};

TEST_F(TwoCompanies, EachRowsItemStockAndVoucherLandInTheCompanyTheStageWasGiven) {
    Items({Item("A1", "Soaps", "10"), Item("A2", "Soaps", "5")});
    Ledgers({{"", "Eastern Retail", "Customer", "", "", "", "500", "Dr", ""}});
    // DEMO's stages run while SHOP's connection is open in the same process.
    RunAll(ctx);
    shop.Close();
    companyConnection.Close();
    EXPECT_EQ(Counts(db), "2|2|2|1|2\n");
    EXPECT_EQ(Counts(shopDb), "0|0|0|0|0\n") << "nothing of DEMO's run went into SHOP";

    // Then SHOP's, with DEMO's connection open again beside it.
    companyConnection.Open(test::ConnectionStringFor(db));
    shop.Open(test::ConnectionStringFor(shopDb));
    RunTally shopTally;
    Items({Item("B1", "Tools", "3")});
    Ledgers({});
    StageContext shopStage{form, ops, shopTally, shop};
    RunAll(shopStage);
    shop.Close();
    companyConnection.Close();
    EXPECT_EQ(Counts(shopDb), "1|1|1|0|0\n");
    EXPECT_EQ(Counts(db), "2|2|2|1|2\n") << "SHOP's run left DEMO as it was";
    EXPECT_EQ(
        test::QueryRows(shopDb,
                        "select i.ItemCode, s.Qty, h.QtyIn from tblItemMaster i join tblStock "
                        "s on s.ItemID = i.ItemID join tblStockHistory h on h.ItemID = "
                        "i.ItemID"),
        "B1|3|3\n");
}

}  // namespace
}  // namespace ledgerlift
