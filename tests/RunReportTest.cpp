// The run report as a spreadsheet program reads it: its cells, what a dry run
// says, and the file on a disk that fills up.
#include "reports/RunReport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "load/GridLayouts.h"
#include "tests/DemoCompanyForm.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

using Cells = std::vector<std::vector<std::string>>;

// The cells of a CSV text, as a spreadsheet program splits them: quoted
// fields with their quotes doubled, lines ended by CR LF.
Cells ReadCsv(const std::string& text) {
    Cells rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        std::string& cell = rows.back().back();
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            rows.emplace_back(1);
            ++i;
        } else {
            cell += c;
        }
    }
    rows.pop_back();  // after the last line end
    return rows;
}

// A spreadsheet program runs a cell that starts so as a formula.
bool RunsAsFormula(const std::string& cell) {
    return !cell.empty() && std::string("=+-@\t\r").find(cell.front()) != std::string::npos;
}

struct Injected {
    const char* name;
    const char* text;
};
void PrintTo(const Injected& i, std::ostream* os) {
    *os << i.name;
}

class ReportCells : public ::testing::TestWithParam<Injected> {};

// A code, a name or an error that came from a workbook ran as a formula when
// the report was opened in a spreadsheet program.
TEST_P(ReportCells, AFormulaInTheWorkbookIsNeverRunWhenTheReportIsOpened) {
    const std::string text = GetParam().text;
    RunTally tally;
    tally.Record(tally.items, {"items", "2", text, RunTally::Outcome::Written, "17", "", ""});
    tally.Record(tally.ledgers,
                 {"ledgers", "3", text, RunTally::Outcome::Failed, "", text, text, {text}});
    Cells cells = ReadCsv(RunReportText(tally));
    ASSERT_EQ(cells.size(), 3u);
    for (std::size_t r = 1; r < cells.size(); ++r) {
        ASSERT_EQ(cells[r].size(), 8u);
        for (const std::string& cell : cells[r]) {
            EXPECT_FALSE(RunsAsFormula(cell)) << cell;
        }
    }
    EXPECT_EQ(cells[1][2], "'" + text) << "the text itself follows the apostrophe";
    EXPECT_EQ(cells[2][5], "'" + text);
    EXPECT_EQ(cells[1][1], "2") << "the worksheet row stays a number";
    EXPECT_EQ(cells[1][4], "17") << "the id stays a number";
}

INSTANTIATE_TEST_SUITE_P(
    RunReport, ReportCells,
    ::testing::Values(Injected{"Equals", "=HYPERLINK(\"http://example.com/x\",\"Click\")"},
                      Injected{"Plus", "+1+1"}, Injected{"Minus", "-2+3"},
                      Injected{"At", "@SUM(A1:A2)"}, Injected{"Tab", "\t=1+1"},
                      Injected{"CarriageReturn", "\r=1+1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RunReport, PlainTextIsWrittenAsItIs) {
    RunTally tally;
    tally.Record(tally.items,
                 {"items", "2", "O'Brien, A1", RunTally::Outcome::Written, "5", "", ""});
    EXPECT_EQ(RunReportText(tally),
              "sheet,row,code or name,outcome,id,error,step,problems\r\n"
              "items,2,\"O'Brien, A1\",written,5,,,\r\n");
}

// Regression: a row the stopped run never came to was "skipped" in the
// report and the summary but "not reached" in the sheet line below them.
TEST(RunReport, ARowTheRunNeverCameToIsNotReachedInEveryPlace) {
    RunTally tally;
    tally.Record(tally.items, {"items", "2", "A1", RunTally::Outcome::Skipped, "", "", ""});
    tally.Record(tally.items, {"items", "3", "A2", RunTally::Outcome::Skipped, "",
                               "Not migrated: the item stage was stopped by the operator.", ""});
    EXPECT_EQ(ReadCsv(RunReportText(tally))[2][3], "not reached");
    EXPECT_EQ(ReadCsv(RunReportText(tally, true))[2][3], "not reached");
    EXPECT_EQ(ReadCsv(RunReportText(tally))[1][3], "skipped") << "already there";
    EXPECT_EQ(tally.SummaryLines()[1],
              "Summary: items 0 written, 0 updated, 1 skipped, 0 failed, 1 not reached, 0 stock "
              "postings");
    EXPECT_EQ(tally.SheetLines()[0],
              "Summary: item sheet, 0 of 2 rows went in, 2 did not (1 already there, 1 not "
              "reached)");
}

class ReportOfARun : public test::DemoCompanyForm {};

// The same through a real run: an item code that is a formula in the grid.
TEST_F(ReportOfARun, AnItemCodeThatIsAFormulaStaysTextInTheReport) {
    Load("two_rows.xls");
    form.itemGrid.SetTextMatrix(1, item::Code, "=1+1");
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    form.OnMigrate();
    ASSERT_EQ(form.tally.outcome, RunTally::RunOutcome::Completed);
    Cells cells = ReadCsv(RunReportText(form.tally));
    ASSERT_GE(cells.size(), 2u);
    EXPECT_EQ(cells[1][2], "'=1+1");
    EXPECT_EQ(test::QueryRows(db, "select ItemCode from tblItemMaster order by ItemID limit 1"),
              "=1+1\n")
        << "the company keeps the code as it was";
}

}  // namespace
}  // namespace ledgerlift
