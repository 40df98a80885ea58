#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "load/GridLayouts.h"
#include "migration/Problems.h"
#include "tests/DemoCompanyForm.h"
#include "tests/MigrationFixture.h"
#include "tests/TestSupport.h"
#include "window/MainForm.h"

namespace ledgerlift {
namespace {

// One cell text of one column kind, and what the check predicts and the run
// then does with it: the value stored, the side posted, the problem's kind
// and whether it refuses the row.
struct CellCase {
    const char* name;  // also the row's item code or ledger name
    int col;           // the grid column the text goes in
    const char* text;
    const char* stored;  // items: the field in the database; ledgers: "Dr 1500", "Cr 0", ...
    const char* kind;    // the finding's kind, "" for none
    bool error;          // the row is refused: nothing of it is written
    const char* group = "Sundry Debtors";  // ledgers
    const char* drCr = "";                 // ledgers
};

// The database column a grid column of the item sheet is stored in.
std::string ItemField(int col) {
    switch (col) {
        case item::Qoh:
            return "(select Qty from tblStock s where s.ItemID = i.ItemID)";
        case item::PurchaseRate:
            return "PRate";
        case item::SalesVat:
            return "GSTPer";
        case item::RateInclusiveSales:
            return "RateInclusive";
        case item::Name:
            return "ItemName";
        default:
            return "ItemCode";
    }
}

const std::vector<CellCase> kItemCases = {
    {"Plain", item::Qoh, "10", "10", "", false},
    {"Grouped", item::Qoh, "1,250", "1250", "", false},
    {"IndianGroups", item::Qoh, "1,25,000.50", "125000.5", "", false},
    {"RupeeSign", item::Qoh, "\u20b9 1,500", "1500", "", false},
    {"RsCode", item::PurchaseRate, "Rs. 12.50", "12.5", "", false},
    {"Exponent", item::Qoh, "1.5E3", "1500", "", false},
    {"BlankIsZero", item::PurchaseRate, "  ", "0", "", false},
    {"Words", item::Qoh, "ten", "", "not-a-number", true},
    {"NumberWithUnits", item::Qoh, "12 pcs", "", "not-a-number", true},
    {"BrokenGroups", item::Qoh, "12,5", "", "not-a-number", true},
    {"DateTyped", item::PurchaseRate, "01/04/2024", "", "date-in-number", true},
    {"DateCell", item::PurchaseRate, "2024-04-01", "", "date-in-number", true},
    {"PercentOutsideTax", item::Qoh, "5%", "", "percent-in-number", true},
    {"TaxPercent", item::SalesVat, "12.5%", "12.5", "", false},
    {"TaxPlain", item::SalesVat, "12.5", "12.5", "", false},
    {"Yes", item::RateInclusiveSales, "yes", "1", "", false},
    {"No", item::RateInclusiveSales, "NO", "0", "", false},
    {"Y", item::RateInclusiveSales, "Y", "0", "not-yes-or-no", false},
    {"True", item::RateInclusiveSales, "TRUE", "0", "not-yes-or-no", false},
    {"NoName", item::Name, "", "", "no-name", true},
    {"TotalLine", item::Name, "Total:", "", "total-line", true},
};

const std::vector<CellCase> kLedgerCases = {
    {"DrCell", ledger::OpeningBalance, "1500", "Dr 1500", "", false, "Sundry Debtors", "Dr"},
    {"DCell", ledger::OpeningBalance, "1500", "Dr 1500", "", false, "Sundry Debtors", "D"},
    {"GroupSideAssets", ledger::OpeningBalance, "1500", "Dr 1500", "side-from-group", false},
    {"GroupSideLiabilities", ledger::OpeningBalance, "800", "Cr 800", "side-from-group", false,
     "Sundry Creditors"},
    {"SideInTheAmount", ledger::OpeningBalance, "1,500.00 Cr.", "Cr 1500", "side-from-amount",
     false},
    {"SideBeforeTheAmount", ledger::OpeningBalance, "Cr 1500", "Cr 1500", "side-from-amount",
     false},
    {"NegativeWithASide", ledger::OpeningBalance, "-250", "Dr 250", "sign-dropped", false,
     "Sundry Debtors", "Dr"},
    {"NegativeWithoutASide", ledger::OpeningBalance, "-250", "", "no-side", true},
    {"NotASide", ledger::OpeningBalance, "100", "", "not-a-side", true, "Sundry Debtors", "X"},
    {"SidesDisagree", ledger::OpeningBalance, "100 Cr", "", "sides-disagree", true,
     "Sundry Debtors", "Dr"},
    {"GroupWithoutUsualSide", ledger::OpeningBalance, "100", "", "no-side", true, "Sales Accounts"},
    {"GroupNotInTheCompany", ledger::OpeningBalance, "100", "", "no-side", true, "Walk-in"},
    {"ZeroIsNoVoucher", ledger::OpeningBalance, "0", "Cr 0", "", false, "Sundry Debtors", "Cr"},
    {"WordBalance", ledger::OpeningBalance, "abc", "", "not-a-number", true, "Sundry Debtors",
     "Dr"},
    {"TotalLedger", ledger::Name, "Grand Total", "", "total-line", true},
    {"Duplicate", ledger::Name, "DrCell", "", "duplicate-name", true, "Sundry Debtors", "Dr"},
};

class StrictValues : public test::DemoCompanyForm {
  protected:
    void Fill() {
        std::vector<std::vector<std::string>> items;
        for (const CellCase& c : kItemCases) {
            std::vector<std::string> row = {c.name, "Name", "Soap", "Acme", "1", "18",
                                            "20",   "25",   "5",    "2",    "4", "NO",
                                            "NO",   "Nos",  "",     "10"};
            row[static_cast<std::size_t>(c.col) - 1] = c.text;
            items.push_back(row);
        }
        std::vector<std::vector<std::string>> ledgers;
        for (const CellCase& c : kLedgerCases) {
            std::vector<std::string> row = {"AL", c.name, c.group, "", "", "", "0", c.drCr, ""};
            row[static_cast<std::size_t>(c.col) - 1] = c.text;
            ledgers.push_back(row);
        }
        test::FillAsImported(form.itemGrid, kItemFormat, kItemCols, items);
        test::FillAsImported(form.ledgerGrid, kLedgerFormat, kLedgerCols, ledgers);
        form.workbookLoaded = true;
        form.companyList.SetListIndex(0);
    }
    // The problems of a row of the check, by sheet and worksheet row.
    std::vector<Problem> ProblemsOf(const std::string& sheet, int row) const {
        std::vector<Problem> found;
        for (const Problem& p : form.lastCheck.problems) {
            if (p.sheet == sheet && p.row == row) {
                found.push_back(p);
            }
        }
        return found;
    }
    void ExpectFinding(const std::string& sheet, int row, const CellCase& c) {
        std::vector<Problem> found = ProblemsOf(sheet, row);
        if (*c.kind == '\0') {
            EXPECT_TRUE(found.empty()) << c.name << ": " << found[0].text;
            return;
        }
        ASSERT_FALSE(found.empty()) << c.name;
        EXPECT_EQ(found[0].kind, c.kind) << c.name << ": " << found[0].text;
        EXPECT_EQ(found[0].severity == Problem::Severity::Error, c.error) << c.name;
    }
    std::string Ledger(const std::string& name) const {
        std::string type = test::QueryRows(
            db,
            "select printf('%s %g', Type, OpBalance) from tblLedger where LName = '" + name + "'");
        return type.empty() ? "" : type.substr(0, type.size() - 1);
    }
};

// Every case is predicted by the check as the run then does it: the same
// problems, and what the check says would be written is what the database
// then holds.
TEST_F(StrictValues, EveryCellIsPredictedAndWrittenAsTheTableSays) {
    Fill();
    form.OnCheck();
    ASSERT_TRUE(form.lastCheck.ran);
    for (std::size_t i = 0; i < kItemCases.size(); ++i) {
        ExpectFinding("items", static_cast<int>(i) + 2, kItemCases[i]);
    }
    for (std::size_t i = 0; i < kLedgerCases.size(); ++i) {
        ExpectFinding("ledgers", static_cast<int>(i) + 2, kLedgerCases[i]);
    }
    CheckResult check = form.lastCheck;
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    form.OnMigrate();
    ASSERT_EQ(form.tally.outcome, RunTally::RunOutcome::Completed);
    EXPECT_EQ(ops.UnansweredQuestions(), 0u);
    for (const CellCase& c : kItemCases) {
        std::string stored =
            test::QueryRows(db, "select " + ItemField(c.col) +
                                    " from tblItemMaster i where ItemCode = '" + c.name + "'");
        EXPECT_EQ(stored, *c.stored || !c.error ? std::string(c.stored) + "\n" : "") << c.name;
    }
    for (const CellCase& c : kLedgerCases) {
        if (std::string(c.name) != "Duplicate") {
            EXPECT_EQ(Ledger(c.name == std::string("TotalLedger") ? "Grand Total" : c.name),
                      c.stored)
                << c.name;
        }
    }
    std::vector<Problem> run = ledgerlift::ProblemsOf(form.tally);
    ASSERT_EQ(check.problems.size(), run.size());
    for (std::size_t i = 0; i < run.size(); ++i) {
        EXPECT_EQ(check.problems[i].text, run[i].text);
        EXPECT_EQ(check.problems[i].kind, run[i].kind);
    }
    OpeningTotals held = ReadBackTotals(form.tally, form.companyConnection);
    EXPECT_DOUBLE_EQ(check.totals.debit, held.debit);
    EXPECT_DOUBLE_EQ(check.totals.credit, held.credit);
    EXPECT_DOUBLE_EQ(check.totals.stockValue, held.stockValue);
    EXPECT_EQ(form.tally.reconcileDifferences, 0);
}

// "Negative balances are credits": a negative balance without a side word
// is a credit, a positive one a debit, whatever the group.
TEST_F(StrictValues, NegativeBalancesAreCreditsWhenTheOperatorSaysSo) {
    test::FillAsImported(form.itemGrid, kItemFormat, kItemCols, {});
    test::FillAsImported(form.ledgerGrid, kLedgerFormat, kLedgerCols,
                         {{"", "Minus", "Sundry Debtors", "", "", "", "-250", "", ""},
                          {"", "Plus", "Sundry Creditors", "", "", "", "300", "", ""}});
    form.workbookLoaded = true;
    form.companyList.SetListIndex(0);
    form.negativeIsCreditBox.Value = 1;
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    form.OnMigrate();
    EXPECT_EQ(Ledger("Minus"), "Cr 250");
    EXPECT_EQ(Ledger("Plus"), "Dr 300");
    EXPECT_TRUE(form.tally.AllWritten());
}

TEST_F(StrictValues, TheCheckCountsItsProblemsByKind) {
    Fill();
    form.OnCheck();
    std::string status = form.statusBox.Text;
    EXPECT_NE(status.find("\r\nCheck: 16 errors: 4 numbers that are not numbers, 2 dates in "
                          "number columns, 1 percentage outside the tax columns, 1 row without "
                          "a name, 2 total lines, 3 balances without a side, 1 Dr/Cr cell that "
                          "names no side, 1 balance whose sides disagree, 1 ledger name given "
                          "twice\r\n"),
              std::string::npos)
        << status;
    EXPECT_NE(status.find("\r\nCheck: 8 warnings: 2 YES/NO cells that are neither, 2 sides "
                          "taken from the account group, 2 sides read from the amount, 1 "
                          "negative amount with a side, 1 account group not in the company"),
              std::string::npos);
}

// A tax typed as 12.5% is stored by the workbook as 0.125; it reads as what
// the cell shows, 12.5, in every format; a percentage outside the tax
// columns is refused.
TEST_F(StrictValues, PercentageCellsReadAsTheyShow) {
    for (const char* format : {"xls", "xlsx", "ods"}) {
        SCOPED_TRACE(format);
        Load(std::string("percent_cells.") + format);
        EXPECT_EQ(form.itemGrid.TextMatrix(1, item::SalesVat), "12.5%");
        form.companyList.SetListIndex(0);
        ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
        form.OnMigrate();
        EXPECT_EQ(test::QueryRows(db,
                                  "select GSTPer, CSTPer, PstPer from tblItemMaster where "
                                  "ItemCode = 'P1'"),
                  "12.5|2|4\n");
        ASSERT_EQ(form.tally.rows.size(), 2u);
        EXPECT_EQ(form.tally.rows[1].errorFinding.kind, "percent-in-number");
        EXPECT_EQ(test::QueryRows(db, "select count(*) from tblItemMaster"), "1\n");
        test::QueryRows(db, "delete from tblStockHistory");
        test::QueryRows(db, "delete from tblStock");
        test::QueryRows(db, "delete from tblItemMaster");
    }
}

}  // namespace
}  // namespace ledgerlift
