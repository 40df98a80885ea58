#include "base/TextRules.h"
#include "migration/Lookups.h"
#include "tests/MigrationFixture.h"

namespace ledgerlift {
namespace {

using Lookups = test::MigrationTest;

TEST_F(Lookups, TableValueGivesTheValueOrEmpty) {
    Exec(
        "insert into tblItemMaster (ItemID, ItemCode, Discount) values (1, 'A', 5), (2, 'B', "
        "NULL)");
    EXPECT_EQ(ValueToText(GetTableValue(companyConnection, "tblItemMaster", "Discount",
                                        " where ItemID=1", ops)),
              "5");
    EXPECT_TRUE(
        GetTableValue(companyConnection, "tblItemMaster", "Discount", " where ItemID=2", ops)
            .IsNull());
    EXPECT_TRUE(
        GetTableValue(companyConnection, "tblItemMaster", "Discount", " where ItemID=9", ops)
            .IsNull());
    EXPECT_EQ(ValueToText(GetTableValue(companyConnection, "tblItemMaster", "count(*)", "", ops)),
              "2");
    EXPECT_TRUE(ops.Messages().empty());
}

TEST_F(Lookups, ItemIdByCodeTrimsAndDoublesQuotes) {
    Exec("insert into tblItemMaster (ItemID, ItemCode) values (12, 'O''Neil')");
    EXPECT_EQ(GetItemIdByCode(companyConnection, "  O'Neil  ", ops), 12);
    EXPECT_EQ(GetItemIdByCode(companyConnection, "Nobody", ops), 0);
}

TEST_F(Lookups, AccountGroupFallsBackToSupplier) {
    EXPECT_EQ(GetAccountGroupId(companyConnection, "Customer", ops), Value(10));
    EXPECT_EQ(GetAccountGroupId(companyConnection, "Sundry Debtors", ops), Value(12));
    Exec("delete from tblAccountgroup where AccountGroup='Sundry Creditors'");
    EXPECT_EQ(GetAccountGroupId(companyConnection, "Sundry Creditors", ops), Value(11));
    Exec("insert into tblAccountgroup (AccountGroupID, AccountGroup) values (40, 'O''Hara')");
    EXPECT_EQ(GetAccountGroupId(companyConnection, "O'Hara", ops), Value(40));
}

TEST_F(Lookups, OnAClosedConnectionEachReportsAndGivesItsNeutralResult) {
    companyConnection.Close();
    EXPECT_TRUE(GetTableValue(companyConnection, "tblItemMaster", "Discount", "", ops).IsNull());
    EXPECT_EQ(GetItemIdByCode(companyConnection, "A", ops), 0);
    EXPECT_TRUE(GetAccountGroupId(companyConnection, "Customer", ops).IsNull());
    ASSERT_EQ(ops.Messages().size(), 3u);
    EXPECT_EQ(ops.Messages()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(ops.Messages()[1].icon, MsgIcon::None);
    EXPECT_EQ(ops.Messages()[2].icon, MsgIcon::Exclamation);
    for (const auto& m : ops.Messages()) {
        EXPECT_EQ(m.caption, "Ledgerlift");
    }
}

}  // namespace
}  // namespace ledgerlift
