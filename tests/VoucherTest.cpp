#include "base/TextRules.h"
#include "migration/Postings.h"
#include "tests/MigrationFixture.h"

namespace ledgerlift {
namespace {

using Vouchers = test::MigrationTest;

const char* const kColumns =
    "select MainID, TrID, TrType, TrDate, DrLID, CrLID, Particulars, Narration, AmountD, AmountC, "
    "USerNarration, SortOrder, Optional from tblVoucher order by rowid";

TEST_F(Vouchers, TheFirstVoucherIsOneOneAndTheNextCountsOn) {
    EXPECT_EQ(PostVoucher(companyConnection, "Opening", Date{2009, 4, 1}, 7, 0, "7",
                          "Opening Balance", 250.5, "", ops),
              1);
    EXPECT_EQ(PostVoucher(companyConnection, "Opening", Date{2009, 4, 1}, 0, 8, "8",
                          "Opening Balance", 100, "O'K", ops),
              2);
    EXPECT_EQ(Rows(kColumns),
              "1|1|Opening|2009-04-01|7|0|7|Opening Balance|250.5|0||0|0\n"
              "1|1|Opening|2009-04-01|0|7|7|Opening Balance|0|250.5||0|0\n"
              "2|2|Opening|2009-04-01|0|8|8|Opening Balance|100|0|O'K|0|0\n"
              "2|2|Opening|2009-04-01|8|0|8|Opening Balance|0|100|O'K|0|0\n");
    EXPECT_TRUE(ops.Messages().empty());
}

TEST_F(Vouchers, TrIdCountsPerTypeMainIdOverTheTable) {
    Exec("insert into tblVoucher (MainID, TrID, TrType) values (4, 9, 'Sales'), (4, 9, 'Sales')");
    EXPECT_EQ(PostVoucher(companyConnection, "Opening", Date{2009, 4, 1}, 3, 0, "3",
                          "Opening Balance", 1, "", ops),
              5);
    EXPECT_EQ(Rows("select MainID, TrID from tblVoucher where TrType='Opening'"), "5|1\n5|1\n");
}

TEST_F(Vouchers, AmountsKeepFourDecimals) {
    PostVoucher(companyConnection, "Opening", Date{2009, 4, 1}, 3, 0, "3", "Opening Balance",
                ToCurrency(1.23456), "", ops);
    EXPECT_EQ(Rows("select AmountD from tblVoucher where AmountD <> 0"), "1.2346\n");
}

TEST_F(Vouchers, AreAllOrNothingAndReportOnce) {
    Refuse("tblVoucher", "new.AmountC <> 0");
    EXPECT_EQ(PostVoucher(companyConnection, "Opening", Date{2009, 4, 1}, 7, 0, "7",
                          "Opening Balance", 5, "", ops),
              0);
    EXPECT_EQ(Rows("select count(*) from tblVoucher"), "0\n") << "never a one-sided voucher";
    ASSERT_EQ(ops.Messages().size(), 1u);
    EXPECT_EQ(ops.Messages()[0].icon, MsgIcon::None);
    EXPECT_EQ(companyConnection.TransactionDepth(), 0);
}

TEST_F(Vouchers, AClosedConnectionIsReportedOnce) {
    companyConnection.Close();
    EXPECT_EQ(PostVoucher(companyConnection, "Opening", Date{2009, 4, 1}, 7, 0, "7",
                          "Opening Balance", 5, "", ops),
              0);
    EXPECT_EQ(ops.Messages().size(), 1u);
}

}  // namespace
}  // namespace ledgerlift
