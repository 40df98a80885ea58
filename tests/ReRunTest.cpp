// A second run of the same workbook over a company that holds part of it:
// each case first checks, then migrates, and the check must have said what
// the run then did. The company is changed between the runs as a killed run,
// an older version or a hand edit leaves it.

#include <gtest/gtest.h>

#include <string>

#include "load/GridLayouts.h"
#include "migration/RowsToFix.h"
#include "reports/CheckResult.h"
#include "tests/DemoCompanyForm.h"

namespace ledgerlift {
namespace {

using O = RunTally::Outcome;

struct ReRunCase {
    const char* name;
    // Grid edits before the first run ("items", grid row, column, text).
    std::vector<std::tuple<const char*, int, int, const char*>> first;
    // SQL run on the company between the runs.
    const char* between;
    // Grid edits before the second run.
    std::vector<std::tuple<const char*, int, int, const char*>> second;
    bool replace;
    // The row the case is about, and what the second run does with it.
    const char* sheet;
    int gridRow;
    O outcome;
    // A part of the row's warning, or "" for none.
    const char* warning;
    // Opening stock lines and quantity, and the ledger debit, posted by the
    // second run.
    int stockLines;
    double quantity;
    double debit;
};

void PrintTo(const ReRunCase& c, std::ostream* os) {
    *os << c.name;
}

class ReRun : public test::DemoCompanyForm, public ::testing::WithParamInterface<ReRunCase> {
  protected:
    void Edit(const std::vector<std::tuple<const char*, int, int, const char*>>& edits) {
        for (auto [sheet, row, col, text] : edits) {
            (std::string(sheet) == "items" ? form.itemGrid : form.ledgerGrid)
                .SetTextMatrix(row, col, text);
        }
    }
    // Each row's look-up of its ledger's vouchers or its item's stock lines
    // searches an index by that ledger or item. Once they read the whole
    // table for every row: 5,000 ledgers took 15 s to check, 65,000 hours.
    void ExpectIndexedLookups(const std::vector<std::string>& sent) {
        for (const std::string& sql : sent) {
            std::string index = sql.find("DrLID = ") != std::string::npos ? "ixVoucherLedger"
                                : sql.find("ItemID = ") != std::string::npos &&
                                        sql.find("tblStockHistory") != std::string::npos
                                    ? "ixStockHistoryItem"
                                    : "";
            if (!index.empty()) {
                std::string plan = test::QueryRows(db, "explain query plan " + sql);
                EXPECT_NE(plan.find(index), std::string::npos) << sql << "\n" << plan;
                EXPECT_EQ(plan.find("(TrType=?)"), std::string::npos)
                    << "every opening voucher read by its type\n"
                    << sql << "\n"
                    << plan;
            }
        }
    }
    const RunTally::Row* RowOf(const std::string& sheet, int gridRow) {
        for (const RunTally::Row& row : form.tally.rows) {
            if (row.sheet == sheet && row.sheetRow == std::to_string(gridRow + 1)) {
                return &row;
            }
        }
        return nullptr;
    }
};

TEST_P(ReRun, TheCheckSaysWhatTheSecondRunDoes) {
    const ReRunCase& c = GetParam();
    Load("two_rows.xls");
    form.companyList.SetListIndex(0);
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    Edit(c.first);
    form.OnMigrate();
    ASSERT_EQ(form.tally.outcome, RunTally::RunOutcome::Completed);
    if (*c.between) {
        test::Execute(db, c.between);
    }
    Load("two_rows.xls");
    Edit(c.first);
    Edit(c.second);
    form.replaceOpeningsBox.Value = c.replace ? 1 : 0;
    form.OnCheck();
    CheckResult check = form.lastCheck;
    ASSERT_TRUE(check.ran);

    std::vector<std::string> sent;
    form.companyConnection.SetTracer([&](const std::string& sql) { sent.push_back(sql); });
    form.OnMigrate();
    form.companyConnection.SetTracer(nullptr);
    ASSERT_EQ(form.tally.outcome, RunTally::RunOutcome::Completed);
    ExpectIndexedLookups(sent);
    const RunTally::Row* row = RowOf(c.sheet, c.gridRow);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(RunTally::OutcomeText(row->outcome), std::string(RunTally::OutcomeText(c.outcome)));
    std::string warnings;
    for (const Finding& w : row->warnings) {
        warnings += w.text + "\n";
    }
    EXPECT_NE(warnings.find(c.warning), std::string::npos) << warnings;
    EXPECT_EQ(form.tally.reconcileDifferences, 0);

    CheckResult run = CheckResultOf(form.tally);
    EXPECT_EQ(check.totals.stockLines, c.stockLines);
    EXPECT_EQ(run.totals.stockLines, c.stockLines);
    EXPECT_DOUBLE_EQ(check.totals.quantity, c.quantity);
    EXPECT_DOUBLE_EQ(run.totals.quantity, c.quantity);
    EXPECT_DOUBLE_EQ(check.totals.debit, c.debit);
    EXPECT_DOUBLE_EQ(run.totals.debit, c.debit);
    ASSERT_EQ(check.problems.size(), run.problems.size());
    for (std::size_t i = 0; i < run.problems.size(); ++i) {
        EXPECT_EQ(check.problems[i].text, run.problems[i].text);
    }
    std::vector<RowToFix> fix = RowsToFix(form.tally);
    ASSERT_EQ(check.rowsToFix.size(), fix.size());
    for (std::size_t i = 0; i < fix.size(); ++i) {
        EXPECT_EQ(check.rowsToFix[i].cause, fix[i].cause);
    }
    EXPECT_EQ(fix.size(), c.outcome == O::Differs ? 1u : 0u) << "a differing row needs attention";
}

const char* const kDropA1Stock =
    "delete from tblStockHistory where ItemID = (select ItemID from tblItemMaster where ItemCode "
    "= 'A1'); delete from tblStock where ItemID = (select ItemID from tblItemMaster where "
    "ItemCode = 'A1')";
const char* const kDropVoucher = "delete from tblVoucher where TrType = 'Opening'";

INSTANTIATE_TEST_SUITE_P(
    Cases, ReRun,
    ::testing::Values(
        ReRunCase{"StockMissingIsPostedNow",
                  {},
                  kDropA1Stock,
                  {},
                  false,
                  "items",
                  1,
                  O::Completed,
                  "",
                  1,
                  1,
                  0},
        ReRunCase{"VoucherMissingIsPostedNow",
                  {},
                  kDropVoucher,
                  {},
                  false,
                  "ledgers",
                  1,
                  O::Completed,
                  "",
                  0,
                  0,
                  100},
        // A company whose database lacks the look-ups' indexes (made by the
        // product, or before they were in the schema) gets them.
        ReRunCase{"LookupIndexesMissingAreMade",
                  {},
                  "drop index ixVoucherLedger; drop index ixStockHistoryItem",
                  {},
                  false,
                  "ledgers",
                  1,
                  O::Skipped,
                  "",
                  0,
                  0,
                  0},
        ReRunCase{"CompleteIsLeftAsItIs",
                  {},
                  "",
                  {},
                  false,
                  "items",
                  1,
                  O::Skipped,
                  "already in the company with its opening stock",
                  0,
                  0,
                  0},
        ReRunCase{"AnotherQuantityIsNamedAndLeft",
                  {},
                  "",
                  {{"items", 1, item::Qoh, "5"}},
                  false,
                  "items",
                  1,
                  O::Differs,
                  "The company already has an opening stock of 1 for A1; the workbook says 5",
                  0,
                  0,
                  0},
        ReRunCase{"AnotherBalanceIsNamedAndLeft",
                  {},
                  "",
                  {{"ledgers", 1, ledger::OpeningBalance, "640"}},
                  false,
                  "ledgers",
                  1,
                  O::Differs,
                  "the workbook says 640.00 Dr",
                  0,
                  0,
                  0},
        ReRunCase{"AnotherMasterUnderTheSameCodeIsNamedAndLeft",
                  {},
                  "update tblItemMaster set ItemName = 'Lux Soap' where ItemCode = 'A1'",
                  {},
                  false,
                  "items",
                  1,
                  O::Differs,
                  "A1 in the company is Lux Soap; the workbook says Soap",
                  0,
                  0,
                  0},
        ReRunCase{"ALengthenedDuplicateIsLeftWithAWarning",
                  {{"items", 2, item::Code, "A1"}},
                  "",
                  {},
                  false,
                  "items",
                  2,
                  O::Skipped,
                  "Row 2 already has A1, which is in the company; this row is left as it is.",
                  0,
                  0,
                  0},
        ReRunCase{"AnotherQuantityIsReplacedOnPurpose",
                  {},
                  "",
                  {{"items", 1, item::Qoh, "5"}},
                  true,
                  "items",
                  1,
                  O::Replaced,
                  "",
                  1,
                  5,
                  0},
        ReRunCase{"AnotherBalanceIsReplacedOnPurpose",
                  {},
                  "",
                  {{"ledgers", 1, ledger::OpeningBalance, "640"}},
                  true,
                  "ledgers",
                  1,
                  O::Replaced,
                  "",
                  0,
                  0,
                  640}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledgerlift
