// Regressions for faults found by hostile testing of the stages: each test
// names the fault it guards.
#include <gtest/gtest.h>

#include "base/TextRules.h"
#include "migration/CategoryStage.h"
#include "migration/CommitBatch.h"
#include "migration/ItemStage.h"
#include "migration/LedgerStage.h"
#include "tests/DiskQuota.h"
#include "tests/MigrationFixture.h"
#include "tests/TestClock.h"

namespace ledgerlift {
namespace {

class Faults : public test::MigrationTest {
  protected:
    static std::vector<std::string> Ledger(const std::string& name, const std::string& balance,
                                           const std::string& drcr = "Dr") {
        return {"AL", name, "Sundry Debtors", "1 Main St", "555", "TIN", balance, drcr, "North"};
    }
    std::vector<std::string> ItemRows(int n, const char* category = "Soap") {
        std::vector<std::vector<std::string>> rows;
        for (int i = 1; i <= n; ++i) {
            std::string code = "C";  // (not "C" + a temporary: a false -Wrestrict at -O3)
            code += std::to_string(i);
            rows.push_back(Item(code, category, "2"));
        }
        Items(rows);
        return {};
    }
    RunTally::Outcome OutcomeOf(std::size_t row) const { return tally.rows.at(row).outcome; }
};

// Fault 1: a batch whose commit failed was rolled back, but its rows stayed
// counted as written (measured on a full 3 MB disk: 12,935 items reported
// written, 8,624 in the database).
TEST_F(Faults, RowsOfABatchWhoseCommitFailedAreFailedNotWritten) {
    test::DiskQuota disk(1 << 30);
    companyConnection.Reopen();  // on the disk that fills up
    companyConnection
        .UseFastCommits();  // a write-ahead journal: pages reach the disk at the commit
    Exec("insert into tblCategories values (1, 'Soap')");
    ItemRows(20);
    test::TestClock clock;
    ctx.batchTiming = clock.Timing();
    int rowsSeen = 0;
    ops.SetDoEventsHook([&] {
        ++rowsSeen;
        if (rowsSeen == 2 * 10 - 1) {  // row 10's first event pass: let its batch age
            clock.Advance(BatchTiming{}.span + std::chrono::milliseconds(30));
        }
        if (rowsSeen == 2 * 11 - 1) {  // row 11: rows 1 to 10 are committed; the disk is full
            disk.SetRemaining(0);
        }
    });
    RunItemStage(ctx);
    EXPECT_TRUE(disk.Exhausted());
    EXPECT_EQ(Rows("select count(*) from tblItemMaster"), "10\n");
    EXPECT_EQ(Rows("select count(*) from tblStock"), "10\n");
    EXPECT_EQ(tally.items.written, 10) << "only what the database holds";
    EXPECT_EQ(tally.items.failed, 10);
    EXPECT_EQ(tally.items.postings, 10);
    for (std::size_t r = 10; r < 20; ++r) {
        EXPECT_EQ(OutcomeOf(r), RunTally::Outcome::Failed);
        EXPECT_NE(tally.rows[r].error.find("is full"), std::string::npos) << tally.rows[r].error;
        EXPECT_EQ(tally.rows[r].id, "");
    }
    ASSERT_FALSE(ops.Messages().empty());
    EXPECT_NE(ops.Messages().back().text.find("is full"), std::string::npos);
    EXPECT_FALSE(companyConnection.TransactionLost().empty())
        << "nothing more is written in this run";
}

// Fault 2: an item whose record went in but whose opening stock did not was
// reported as failed although it is stored.
TEST_F(Faults, AnItemStoredWithoutItsOpeningStockIsReportedWrittenInPart) {
    Exec("insert into tblCategories values (1, 'Soap')");
    Refuse("tblStockHistory", "1", "no room for history");
    Items({Item("A1", "Soap", "5")});
    RunItemStage(ctx);
    EXPECT_EQ(Rows("select ItemCode from tblItemMaster"), "A1\n");
    ASSERT_EQ(tally.rows.size(), 1u);
    EXPECT_EQ(OutcomeOf(0), RunTally::Outcome::Partial);
    EXPECT_EQ(tally.rows[0].id, "2");
    EXPECT_EQ(tally.rows[0].step, "post the opening stock");
    EXPECT_NE(tally.rows[0].error.find("The item was written, but its opening stock was not "
                                       "posted: "),
              std::string::npos);
    EXPECT_NE(tally.rows[0].error.find("no room for history"), std::string::npos);
    EXPECT_EQ(tally.items.partial, 1);
    EXPECT_FALSE(tally.AllWritten());
}

TEST_F(Faults, ALedgerStoredWithoutItsVoucherIsReportedWrittenInPart) {
    Refuse("tblVoucher", "1", "no room for vouchers");
    Ledgers({Ledger("Acme", "100")});
    RunLedgerStage(ctx);
    EXPECT_EQ(Rows("select LName from tblLedger"), "Acme\n");
    EXPECT_EQ(OutcomeOf(0), RunTally::Outcome::Partial);
    EXPECT_NE(tally.rows[0].error.find("The ledger was written, but its opening balance was not "
                                       "posted: "),
              std::string::npos);
}

// Fault 4: the item counter wrapped to negative ids without a word.
TEST_F(Faults, ItemIdsBeyondTheLargestFailTheirRowsInsteadOfWrapping) {
    Exec("insert into tblCategories values (1, 'Soap')");
    Exec("insert into tblItemMaster (ItemID, ItemCode) values (2147483645, 'TOP')");
    ItemRows(3);
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    RunItemStage(ctx);
    EXPECT_EQ(Rows("select ItemID, ItemCode from tblItemMaster order by 1"),
              "2147483645|TOP\n2147483647|C1\n")
        << "the first new id is the highest plus 2; nothing negative";
    EXPECT_EQ(Rows("select count(*) from tblItemMaster where ItemID < 0"), "0\n");
    ASSERT_EQ(ops.Messages().size(), 2u);
    EXPECT_NE(ops.Messages()[0].text.find("Item row 3, C2: the next free ItemID, 2147483648, is "
                                          "beyond the largest id"),
              std::string::npos)
        << ops.Messages()[0].text;
    EXPECT_EQ(OutcomeOf(2), RunTally::Outcome::Failed);
}

TEST_F(Faults, AFailedReadOfTheHighestItemIdIsInTheQuestion) {
    // A view whose id column cannot be computed: the read of the highest id
    // fails while every other statement could still run.
    Exec("drop table tblItemMaster");
    Exec(
        "create view tblItemMaster as select abs(-9223372036854775807 - 1) as ItemID, "
        "'X' as ItemCode");
    ItemRows(1);
    ops.QueueAnswer(MsgAnswer::No);
    RunItemStage(ctx);
    ASSERT_GE(ops.Messages().size(), 2u);
    EXPECT_EQ(ops.Messages()[0].icon, MsgIcon::Exclamation) << "GetNextId's own report";
    const std::string& question = ops.Messages()[1].text;
    EXPECT_NE(
        question.find("Item sheet, before the first row: the highest ItemID could not be read"),
        std::string::npos)
        << question;
    EXPECT_NE(question.find("integer overflow"), std::string::npos) << question;
    EXPECT_NE(question.find("Are you sure to Continue with next data"), std::string::npos);
}

// Fault 5: a balance that rounds to 0.0000 as a currency posted a voucher of 0.
TEST_F(Faults, ABalanceThatRoundsToNothingPostsNoVoucher) {
    Ledgers({Ledger("Tiny", "1E-05"), Ledger("Small", "0.00005")});
    RunLedgerStage(ctx);
    EXPECT_EQ(Rows("select LName, OpBalance from tblLedger order by LID"),
              "Tiny|1E-5\nSmall|5E-5\n");
    EXPECT_EQ(Rows("select Particulars, AmountD, AmountC from tblVoucher order by rowid"), "")
        << "1E-05 and 5E-05 are 0.0000 as currency (ties to even)";
    EXPECT_TRUE(tally.AllWritten());
}

// Fault 6: a quantity times a rate that overflows failed with "no such
// column: inf".
TEST_F(Faults, AnOverflowingStockValueIsRefusedNamingTheCells) {
    Exec("insert into tblCategories values (1, 'Soap')");
    auto row = Item("BIG", "Soap", "1E+300");
    row[5] = "1E+300";  // purchase rate
    Items({row});
    ops.QueueAnswer(MsgAnswer::Yes);
    RunItemStage(ctx);
    ASSERT_EQ(ops.Messages().size(), 1u);
    const std::string& text = ops.Messages()[0].text;
    EXPECT_EQ(text.find("inf"), std::string::npos) << text;
    EXPECT_NE(text.find("Item row 2, BIG: 1E+300 (column E (QOH)) times 1E+300 (column F "
                        "(PURCHASE RATE)) is too large a number to store."),
              std::string::npos)
        << text;
    EXPECT_EQ(Rows("select count(*) from tblStock"), "0\n");
    EXPECT_EQ(OutcomeOf(0), RunTally::Outcome::Partial) << "the item itself is stored";
}

TEST_F(Faults, ANumberTooLargeToReadIsRefusedNamingTheCell) {
    Exec("insert into tblCategories values (1, 'Soap')");
    auto row = Item("HUGE", "Soap", "1");
    row[7] = "1E+999";  // MRP
    Items({row});
    RunItemStage(ctx);
    EXPECT_TRUE(ops.Messages().empty()) << "refused as it is read: nothing to ask";
    ASSERT_EQ(tally.rows.size(), 1u);
    EXPECT_EQ(tally.rows[0].error,
              "Item row 2, HUGE, column H (MRP): \"1E+999\" is too large a number to store.");
    EXPECT_EQ(tally.rows[0].errorFinding.kind, "too-large");
    EXPECT_EQ(Rows("select count(*) from tblItemMaster"), "0\n");
}

// Fault 7: a crash (segmentation fault) for balances just above the currency
// range, which passed the range check because the limit rounds up as a
// double.
struct Limit {
    const char* name;
    const char* balance;
    bool posted;
};
void PrintTo(const Limit& l, std::ostream* os) {
    *os << l.name;
}
class CurrencyLimit : public Faults, public ::testing::WithParamInterface<Limit> {};

TEST_P(CurrencyLimit, BalancesAroundTheLimitsNeverCrash) {
    Ledgers({Ledger("Edge", GetParam().balance)});
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    RunLedgerStage(ctx);
    EXPECT_EQ(Rows("select count(*) from tblVoucher"), GetParam().posted ? "2\n" : "0\n");
    if (!GetParam().posted) {
        EXPECT_NE(tally.rows[0].error.find("too large for a currency amount"), std::string::npos)
            << tally.rows[0].error;
    }
}

INSTANTIATE_TEST_SUITE_P(Walk, CurrencyLimit,
                         ::testing::Values(Limit{"LargestInside", "922337203685477.5", true},
                                           Limit{"JustAbove", "922337203685477.58", false},
                                           Limit{"Above", "922337203685477.6", false},
                                           Limit{"LargestNegativeInside", "-922337203685477.5",
                                                 true},
                                           Limit{"JustBelow", "-922337203685477.6", false},
                                           Limit{"FarAbove", "1E+19", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Fault 12: a NUL character in a cell failed the row with "unrecognized
// token", and a text cut at the NUL could be stored.
TEST_F(Faults, ANulInACellIsRefusedNamingTheRowAndColumn) {
    Exec("insert into tblCategories values (1, 'Soap')");
    auto row = Item("N1", "Soap", "1");
    row[1] = std::string("Soap\0Bar", 8);
    Items({row, Item("N2", "Soap", "1")});
    ops.QueueAnswer(MsgAnswer::Yes);
    RunItemStage(ctx);
    ASSERT_EQ(ops.Messages().size(), 1u);
    EXPECT_NE(ops.Messages()[0].text.find("Item row 2, N1, column B (ITEM NAME): the text holds a "
                                          "NUL character"),
              std::string::npos)
        << ops.Messages()[0].text;
    EXPECT_EQ(Rows("select ItemCode, ItemName from tblItemMaster order by 1"), "N2|Name N2\n")
        << "nothing cut is stored";
}

TEST_F(Faults, ANulInALedgerCellIsRefusedToo) {
    Ledgers({{"AL", std::string("Ac\0me", 5), "Sundry Debtors", "", "", "", "10", "Dr", ""}});
    ops.QueueAnswer(MsgAnswer::Yes);
    RunLedgerStage(ctx);
    EXPECT_EQ(Rows("select count(*) from tblLedger"), "0\n");
    ASSERT_FALSE(ops.Messages().empty());
    EXPECT_NE(ops.Messages()[0].text.find("Ledger row 2, Ac\\0me, column B (Ledger Name): the "
                                          "text holds a NUL"),
              std::string::npos)
        << ops.Messages()[0].text;
}

TEST_F(Faults, ACategoryWithANulIsRefusedNamingTheCell) {
    Items({Item("C1", std::string("So\0ap", 5))});
    ops.QueueAnswer(MsgAnswer::Yes);
    RunCategoryStage(ctx);
    EXPECT_EQ(Rows("select count(*) from tblCategories"), "0\n");
    ASSERT_FALSE(ops.Messages().empty());
    EXPECT_NE(ops.Messages()[0].text.find("Item row 2, C1, column C (CATEGORY)"), std::string::npos)
        << ops.Messages()[0].text;
}

}  // namespace
}  // namespace ledgerlift
