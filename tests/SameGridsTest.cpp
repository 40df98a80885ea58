#include <gtest/gtest.h>

#include <ostream>

#include "import/OpenWorkbook.h"
#include "load/LoadWorkbook.h"
#include "tests/TestSupport.h"
#include "ui/FormControls.h"
#include "ui/ScriptedWindowOps.h"

namespace ledgerlift {
namespace {

// What the load button leaves behind: every cell of both grids, the tab
// captions and the messages.
struct Loaded {
    std::vector<std::string> items, ledgers, messages;
    std::string itemCaption, ledgerCaption;
    bool loaded = false;
};

std::vector<std::string> Cells(const Grid& grid) {
    std::vector<std::string> cells;
    for (int r = 0; r < grid.Rows(); ++r) {
        for (int c = 0; c < grid.Cols(); ++c) {
            cells.push_back(std::to_string(r) + "," + std::to_string(c) + ": " +
                            std::string(grid.TextMatrix(r, c)));
        }
    }
    return cells;
}

Loaded Load(const std::string& path) {
    ScriptedWindowOps ops;
    FormControls form;
    ops.QueueFile(path);
    AnyWorkbookReader book;
    LoadWorkbook(form, ops, book);
    Loaded out{Cells(form.itemGrid),        Cells(form.ledgerGrid),      {},
               form.gridTabs.TabCaption[0], form.gridTabs.TabCaption[1], form.workbookLoaded};
    for (const auto& m : ops.Messages()) {
        out.messages.push_back(m.text);
    }
    return out;
}

// A workbook saved by one program as .xls, .xlsx and .ods.
struct Family {
    const char* name;
    const char* base;  // fixture path without its extension
};

void PrintTo(const Family& f, std::ostream* os) {
    *os << f.name;
}

class SameGrids : public ::testing::TestWithParam<Family> {};

TEST_P(SameGrids, WhicheverFormatTheWorkbookWasSavedIn) {
    std::string base = test::FixturePath(GetParam().base);
    Loaded xls = Load(base + ".xls");
    ASSERT_TRUE(xls.loaded) << (xls.messages.empty() ? "" : xls.messages[0]);
    ASSERT_GT(xls.items.size(), 17u * 2) << "rows were loaded";
    for (const char* ext : {".xlsx", ".ods"}) {
        Loaded other = Load(base + ext);
        EXPECT_TRUE(other.loaded) << ext;
        EXPECT_EQ(other.items, xls.items) << ext;
        EXPECT_EQ(other.ledgers, xls.ledgers) << ext;
        EXPECT_EQ(other.itemCaption, xls.itemCaption) << ext;
        EXPECT_EQ(other.ledgerCaption, xls.ledgerCaption) << ext;
        EXPECT_EQ(other.messages, xls.messages) << ext;
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, SameGrids,
                         ::testing::Values(Family{"LibreOfficeMixedCells", "real_mixed"},
                                           Family{"LibreOfficeTextRules", "text_rules"},
                                           Family{"LibreOfficeEmptyText", "empty_text"},
                                           Family{"LibreOfficeTwoRows", "two_rows"},
                                           Family{"LibreOfficeSample",
                                                  "../../resources/demo/sample"},
                                           Family{"GnumericMixedCells", "gnumeric_mixed"},
                                           Family{"GnumericTextRules", "gnumeric_text_rules"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Two programs, the same cells: what LibreOffice and gnumeric saved of one
// workbook loads alike.
TEST(SameGrids, WhicheverProgramSavedTheWorkbook) {
    for (const char* ext : {".xls", ".xlsx", ".ods"}) {
        Loaded libreOffice = Load(test::FixturePath(std::string("real_mixed") + ext));
        Loaded gnumeric = Load(test::FixturePath(std::string("gnumeric_mixed") + ext));
        EXPECT_EQ(gnumeric.items, libreOffice.items) << ext;
        EXPECT_EQ(gnumeric.ledgers, libreOffice.ledgers) << ext;
    }
}

TEST(SameGrids, TextRulesOfEachFormatAsTheSpreadsheetShowsThem) {
    Loaded ods = Load(test::FixturePath("text_rules.ods"));
    auto cell = [&](int row, int col) {
        std::string key = std::to_string(row) + "," + std::to_string(col) + ": ";
        return ods.items[static_cast<std::size_t>(row * 17 + col)].substr(key.size());
    };
    EXPECT_EQ(cell(1, 15), "first line\nsecond line");
    EXPECT_EQ(cell(5, 15), "visible") << "a note is not the cell's text";
    EXPECT_EQ(cell(6, 5), "10:30:00");
    EXPECT_EQ(cell(6, 6), "12.5%") << "a percentage as the cell shows it";
    EXPECT_EQ(cell(10, 10), "7") << "a value repeated across columns";
    EXPECT_EQ(cell(11, 3), "merged");
    EXPECT_EQ(cell(12, 5), "#VALUE!");
    EXPECT_EQ(cell(12, 6), "#DIV/0!");
    EXPECT_EQ(cell(13, 7), "TRUE");
    EXPECT_EQ(cell(14, 2), "  Ümlaut & \"quotes\" <tags>  ");
    EXPECT_EQ(cell(16, 6), "2024-02-29 23:59:59");
}

}  // namespace
}  // namespace ledgerlift
