#include "migration/ItemStage.h"
#include "migration/LedgerStage.h"
#include "tests/MigrationFixture.h"

namespace ledgerlift {
namespace {

using Tally = test::MigrationTest;

std::string Outcomes(const RunTally& tally) {
    std::string out;
    for (const auto& row : tally.rows) {
        out += row.sheet + "," + row.sheetRow + "," + row.key + "," +
               RunTally::OutcomeText(row.outcome) + "," + row.id + "\n";
    }
    return out;
}

TEST_F(Tally, ItemRowsAreWrittenUpdatedFailedOrNeverReached) {
    Exec("insert into tblCategories values (1, 'Soap')");
    Exec("insert into tblItemMaster (ItemID, ItemCode, Discount) values (9, 'OLD', 2)");
    form.updateItemsBox.Value = 1;
    Items({Item("NEW", "Soap", "1"), Item("OLD", "Soap"), Item("BAD", "Nowhere", "1"),
           Item("NEXT", "Soap", "1")});
    ops.QueueAnswer(MsgAnswer::No);
    RunItemStage(ctx);
    EXPECT_EQ(Outcomes(tally),
              "items,2,NEW,written,11\nitems,3,OLD,updated,9\nitems,4,BAD,failed,\n"
              "items,5,NEXT,skipped,\n");
    EXPECT_EQ(tally.items.postings, 2) << "NEW's quantity and OLD's stored Discount";
    EXPECT_EQ(tally.rows[3].error, "Not migrated: the item stage was stopped.");
    EXPECT_EQ(tally.rows[2].error,
              "Item row 4, BAD: the category \"Nowhere\" is not in the company, so the item "
              "can't be filed under it.");
    EXPECT_FALSE(tally.AllWritten());
}

TEST_F(Tally, ALedgerThatIsAlreadyThereIsSkippedWithItsReason) {
    Exec("insert into tblLedger (LID, LName) values (1, 'Acme')");
    Exec(
        "insert into tblVoucher (MainID, TrID, TrType, DrLID, CrLID, AmountD, AmountC) values "
        "(1, 1, 'Opening', 1, 0, 10, 0), (1, 1, 'Opening', 0, 1, 0, 10)");
    Ledgers({{"A", "Acme", "Sundry Debtors", "", "", "", "10", "Dr", ""},
             {"B", "Beta", "Sundry Debtors", "", "", "", "20", "Dr", ""}});
    RunLedgerStage(ctx);
    EXPECT_EQ(Outcomes(tally), "ledgers,2,Acme,skipped,\nledgers,3,Beta,written,3\n");
    // Regression: the reason spoke the database's language ("would repeat a
    // value of tblLedger.LName ... (UNIQUE KEY)").
    EXPECT_EQ(tally.rows[0].error,
              "Already there: a ledger named Acme is already in the company with its opening "
              "balance; it was left as it is.");
    EXPECT_EQ(tally.ledgers.postings, 1);
    EXPECT_EQ(tally.SummaryLines()[2],
              "Summary: ledgers 1 written, 1 skipped, 0 failed, 1 vouchers posted");
}

TEST_F(Tally, EachSheetSaysHowManyRowsWentInAndWhyTheOthersDidNot) {
    RunTally t;
    auto row = [](const char* sheet, RunTally::Outcome outcome, const char* error = "") {
        return RunTally::Row{sheet, "2", "K", outcome, "", error, ""};
    };
    using O = RunTally::Outcome;
    for (auto r : {row("items", O::Written), row("items", O::Updated), row("items", O::Partial),
                   row("items", O::Skipped, "Already there: ..."), row("items", O::Failed),
                   row("items", O::Skipped, "Not migrated: the item stage was stopped.")}) {
        t.Record(t.items, r);
    }
    t.Record(t.ledgers, row("ledgers", O::Written));
    EXPECT_EQ(t.SheetLines(),
              (std::vector<std::string>{
                  "Summary: item sheet, 2 of 6 rows went in, 4 did not (1 written without their "
                  "opening stock, 1 already there, 1 failed, 1 not reached)",
                  "Summary: ledger sheet, 1 of 1 rows went in"}));
    EXPECT_EQ(RunTally{}.SheetLines(),
              (std::vector<std::string>{"Summary: item sheet, no rows",
                                        "Summary: ledger sheet, no rows"}));
}

}  // namespace
}  // namespace ledgerlift
