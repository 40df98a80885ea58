// The check predicts a run exactly: the same workbook and company, checked
// and then migrated, give the same counts, totals and problems; the check
// itself changes nothing. The reconciliation after a run catches a database
// that does not hold what the run wrote.
#include <gtest/gtest.h>

#include "data/Connection.h"
#include "load/GridLayouts.h"
#include "migration/Postings.h"
#include "migration/Problems.h"
#include "migration/Reconciliation.h"
#include "tests/DemoCompanyForm.h"
#include "tests/MigrationFixture.h"
#include "tests/TestSupport.h"
#include "ui/ScriptedWindowOps.h"
#include "usecases/RunCheck.h"
#include "window/MainForm.h"

namespace ledgerlift {
namespace {

using Rows = std::vector<std::vector<std::string>>;

class Check : public test::DemoCompanyForm {
  protected:
    void Exec(const std::string& sql) {
        Connection c;
        c.Open(test::ConnectionStringFor(db));
        c.Execute(sql);
    }
    std::string Dump() {
        return test::QueryRows(db, "select * from tblItemMaster order by 1") +
               test::QueryRows(db, "select * from tblStock order by 1") +
               test::QueryRows(db, "select * from tblStockHistory order by 1") +
               test::QueryRows(db, "select * from tblLedger order by 1") +
               test::QueryRows(db, "select * from tblVoucher order by rowid") +
               test::QueryRows(db, "select * from tblCategories order by 1");
    }
    static std::vector<std::string> Item(const std::string& code, const std::string& category,
                                         const std::string& qoh, const std::string& rate = "18") {
        return {code, "Name " + code, category, "Acme", qoh, rate, "20", "25", "12.5", "2",
                "4",  "NO",           "NO",     "Nos",  "",  "10"};
    }
    static std::vector<std::string> Ledger(const std::string& name, const std::string& group,
                                           const std::string& balance, const std::string& drcr) {
        return {"AL", name, group, "1 Main St", "555", "TIN", balance, drcr, "North"};
    }
    // A workbook with every case that must be a warning or an error.
    void LoadEveryCase() {
        test::FillAsImported(form.itemGrid, kItemFormat, kItemCols,
                             {Item("A1", "Soap", "10"), Item("A1", "Soap", "2"),  // lengthened code
                              Item("B2", "Soap", "12abc"),                        // not a number
                              Item("C3", "", "3"),                                // empty category
                              Item("D4", "Oil", "abc"),                           // not a number
                              Item("E5", "Oil", "-5", "1,234,56"),  // broken groups: not a number
                              Item("HELD", "Oil", "7")});           // already in the company
        test::FillAsImported(form.ledgerGrid, kLedgerFormat, kLedgerCols,
                             {Ledger("Acme", "Sundry Debtors", "1,500.00", "Dr"),
                              Ledger("Beta", "Walk-in", "300", "Cr "),  // group not there; credit
                              Ledger("Gamma", "Sundry Debtors", "-250", "Cx"),  // no side: an error
                              Ledger("Held Co", "Customer", "99", "Dr"),  // already in the company
                              Ledger("Huge", "Customer", "1E+16", "Dr"),  // too large: an error
                              Ledger("Dot", "Customer", "40", "cr.")});
        form.workbookLoaded = true;
        // Already there, each with its opening.
        Exec(
            "insert into tblItemMaster (ItemID, ItemCode, ItemName) values (5, 'HELD', "
            "'Name HELD')");
        Exec(
            "insert into tblStockHistory (StockHisId, VchType, ItemID, QtyIN, QtyOut) values "
            "(1, 'OpeningStock', 5, 7, 0)");
        Exec("insert into tblLedger (LID, LName) values (3, 'Held Co')");
        Exec(
            "insert into tblVoucher (MainID, TrID, TrType, DrLID, CrLID, AmountD, AmountC) "
            "values (1, 1, 'Opening', 3, 0, 99, 0), (1, 1, 'Opening', 0, 3, 0, 99)");
    }
    void Choose() { form.companyList.SetListIndex(0); }
};

TEST_F(Check, PredictsExactlyWhatTheRunThenWrites) {
    LoadEveryCase();
    Choose();
    std::string before = Dump();
    form.OnCheck();
    ASSERT_TRUE(form.lastCheck.ran);
    CheckResult check = form.lastCheck;
    EXPECT_EQ(Dump(), before) << "a check writes nothing";
    EXPECT_EQ(ops.UnansweredQuestions(), 0u) << "a check asks nothing";

    ops.ClearMessages();
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    form.OnMigrate();
    ASSERT_EQ(form.tally.outcome, RunTally::RunOutcome::Completed);
    CheckResult run = CheckResultOf(form.tally);

    EXPECT_EQ(check.categoriesNew, run.categoriesNew);
    EXPECT_EQ(check.categoriesExisting, run.categoriesExisting);
    EXPECT_EQ(check.itemRows, 7);
    EXPECT_EQ(check.itemsNew, run.itemsNew);
    EXPECT_EQ(check.itemsExisting, 1);
    EXPECT_EQ(check.itemsExisting, run.itemsExisting);
    EXPECT_EQ(check.itemsFailing, run.itemsFailing);
    EXPECT_EQ(check.ledgerRows, 6);
    EXPECT_EQ(check.ledgersExisting, 1);
    EXPECT_EQ(check.ledgersFailing, 2) << "Gamma and Huge";
    EXPECT_EQ(check.ledgersNew, run.ledgersNew);
    // The totals equal what the company now holds.
    OpeningTotals held = ReadBackTotals(form.tally, form.companyConnection);
    EXPECT_EQ(check.totals.items, held.items);
    EXPECT_EQ(check.totals.stockLines, held.stockLines);
    EXPECT_DOUBLE_EQ(check.totals.quantity, held.quantity);
    EXPECT_DOUBLE_EQ(check.totals.stockValue, held.stockValue);
    EXPECT_EQ(check.totals.ledgers, held.ledgers);
    EXPECT_DOUBLE_EQ(check.totals.debit, held.debit);
    EXPECT_DOUBLE_EQ(check.totals.credit, held.credit);
    EXPECT_DOUBLE_EQ(check.totals.debit, 1500);
    EXPECT_DOUBLE_EQ(check.totals.credit, 300 + 40);
    // The same problems, row by row.
    std::vector<Problem> problems = ProblemsOf(form.tally);
    ASSERT_EQ(check.problems.size(), problems.size());
    for (std::size_t i = 0; i < problems.size(); ++i) {
        EXPECT_EQ(check.problems[i].text, problems[i].text);
    }
    EXPECT_EQ(form.tally.reconcileDifferences, 0);
}

TEST_F(Check, SaysEveryCaseThatMaySurpriseABookkeeper) {
    LoadEveryCase();
    Choose();
    form.OnCheck();
    auto has = [&](const std::string& sheet, int row, Problem::Severity severity,
                   const std::string& part) {
        for (const auto& p : form.lastCheck.problems) {
            if (p.sheet == sheet && p.row == row && p.severity == severity &&
                p.text.find(part) != std::string::npos) {
                return true;
            }
        }
        return false;
    };
    using S = Problem::Severity;
    EXPECT_TRUE(has("items", 3, S::Warning, ": row 2 already has A1."));
    EXPECT_TRUE(has("items", 4, S::Error, "column E (QOH): \"12abc\" is not a number."));
    EXPECT_TRUE(has("items", 5, S::Warning, "category cell is empty"));
    EXPECT_TRUE(has("items", 6, S::Error, "\"abc\" is not a number"));
    EXPECT_TRUE(has("items", 7, S::Error, "\"1,234,56\" is not a number"));
    EXPECT_TRUE(has("items", 8, S::Warning, "already in the company"));
    EXPECT_TRUE(has("ledgers", 3, S::Warning, "\"Walk-in\" is not in the company"));
    EXPECT_FALSE(has("ledgers", 2, S::Warning, "is not in the company"))
        << "Sundry Debtors is moved to Customer after the walk: no surprise";
    EXPECT_TRUE(has("ledgers", 4, S::Error, "column H (DrCr): \"Cx\" is neither Dr nor Cr."));
    EXPECT_TRUE(has("ledgers", 5, S::Warning, "already in the company"));
    EXPECT_TRUE(has("ledgers", 6, S::Error, "too large for a currency amount"));
    EXPECT_FALSE(has("ledgers", 3, S::Warning, "not a side")) << "\"Cr \" is a credit";
    EXPECT_FALSE(has("ledgers", 7, S::Warning, "not a side")) << "\"cr.\" is a credit";
    // The report holds the code actually stored.
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    form.OnMigrate();
    ASSERT_EQ(form.tally.rows.size(), 13u);
    EXPECT_EQ(form.tally.rows[1].key.rfind("A1", 0), 0u);
    EXPECT_NE(form.tally.rows[1].key, "A1");
}

TEST_F(Check, MarksTheRowsInTheGridsAndSaysHowMany) {
    LoadEveryCase();
    Choose();
    form.OnCheck();
    const Grid::RowMark* huge = form.ledgerGrid.FindRowMark(5);
    ASSERT_NE(huge, nullptr);
    EXPECT_EQ(huge->color, (Rgb{255, 199, 206})) << "an error";
    EXPECT_NE(huge->tip.find("too large"), std::string::npos);
    const Grid::RowMark* walkIn = form.ledgerGrid.FindRowMark(2);
    ASSERT_NE(walkIn, nullptr);
    EXPECT_EQ(walkIn->color, (Rgb{255, 235, 156})) << "a warning";
    const Grid::RowMark* acme = form.ledgerGrid.FindRowMark(1);
    ASSERT_NE(acme, nullptr) << "every row shows the outcome the run would give it";
    EXPECT_EQ(acme->color, (Rgb{226, 239, 218})) << "Acme has no problem: it would go in";
    EXPECT_TRUE(acme->wentIn);
    EXPECT_EQ(acme->tip.rfind("Would be written", 0), 0u) << acme->tip;
    ASSERT_FALSE(ops.Messages().empty());
    EXPECT_EQ(ops.Messages().back().caption, "Check Data");
    EXPECT_NE(ops.Messages().back().text.find("problems in 10 rows"), std::string::npos)
        << ops.Messages().back().text;
    EXPECT_NE(form.statusBox.Text.find("\r\nCheck: opening balances debit 1500, credit 340, "),
              std::string::npos)
        << form.statusBox.Text;
}

TEST_F(Check, InUpdateModeChangesNoCellThatTheRunReads) {
    Exec("insert into tblCategories values (1, 'Soap')");
    Exec("insert into tblItemMaster (ItemID, ItemCode, Discount) values (40, 'OLD', 4)");
    test::FillAsImported(form.itemGrid, kItemFormat, kItemCols, {Item("OLD", "Soap", "10")});
    test::FillAsImported(form.ledgerGrid, kLedgerFormat, kLedgerCols, {});
    form.workbookLoaded = true;
    form.updateItemsBox.Value = 1;
    Choose();
    form.OnCheck();
    EXPECT_EQ(form.itemGrid.TextMatrix(1, item::Qoh), "10") << "the run still reads the workbook's";
    EXPECT_FALSE(form.itemGrid.HasBackColor(1, item::Code));
    ASSERT_EQ(form.lastCheck.problems.size(), 1u);
    EXPECT_NE(form.lastCheck.problems[0].text.find("its stored Discount, 4, not the workbook's 10"),
              std::string::npos)
        << form.lastCheck.problems[0].text;
    EXPECT_DOUBLE_EQ(form.lastCheck.totals.quantity, 4);
}

// The reconciliation reads back what the run wrote: a row changed between the
// run and the read-back is a difference that counts against the run.
TEST_F(Check, TheReconciliationFlagsATamperedDatabase) {
    LoadEveryCase();
    Choose();
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    bool tampered = false;
    ops.SetDoEventsHook([&] {
        // Once a stock line is in: as another hand would change it.
        if (!tampered && form.tally.items.postings > 0) {
            tampered = true;
            form.companyConnection.Execute(
                "update tblStockHistory set PvalueIN = PvalueIN + 7 where "
                "StockHisId = (select max(StockHisId) from tblStockHistory)");
        }
    });
    form.OnMigrate();
    ASSERT_TRUE(tampered);
    EXPECT_NE(form.statusBox.Text.find("Reconciled: DIFFERENCE in opening stock value: the run "
                                       "wrote "),
              std::string::npos)
        << form.statusBox.Text;
    EXPECT_NE(form.statusBox.Text.find("(7 more)"), std::string::npos);
    EXPECT_EQ(form.tally.reconcileDifferences, 1);
    EXPECT_FALSE(form.tally.AllWritten()) << "a difference counts as a failure";
}

// A row the load marked (no item code and no name, but a quantity) is a
// failing row in the check and in the run alike: nothing of it is written,
// and it gives up its turn of the item ids, so that the ids of the rows
// after it do not depend on it.
TEST_F(Check, ARowWithoutKeysFailsAndWritesNothing) {
    Load("headings/no_keys.xls");
    Choose();
    form.OnCheck();
    ASSERT_TRUE(form.lastCheck.ran);
    EXPECT_EQ(form.lastCheck.itemsFailing, 1);
    ASSERT_FALSE(form.lastCheck.problems.empty());
    EXPECT_EQ(form.lastCheck.problems[0].row, 3);
    EXPECT_NE(form.lastCheck.problems[0].text.find("no item code or name"), std::string::npos);
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    form.OnMigrate();
    EXPECT_EQ(form.tally.items.written, 2);
    EXPECT_EQ(form.tally.items.failed, 1);
    EXPECT_EQ(test::QueryRows(db, "select ItemID, ItemCode from tblItemMaster order by 1"),
              "2|A1\n4|B2\n");
    EXPECT_EQ(test::QueryRows(db, "select count(*) from tblStockHistory"), "2\n");
}

}  // namespace
}  // namespace ledgerlift
