// The rows a run leaves to fix, written back as an .xlsx workbook: real
// workbooks loaded into the grids, the file read back part by part.
#include "export/FailedRowsWorkbook.h"
#include "migration/RowsToFix.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/AtomicFile.h"
#include "import/OpenWorkbook.h"
#include "import/xls/XlsReader.h"
#include "load/GridLayouts.h"
#include "load/LoadWorkbook.h"
#include "tests/FileSizeLimit.h"
#include "tests/TestSupport.h"
#include "tests/ZipPart.h"
#include "ui/ScriptedWindowOps.h"

namespace ledgerlift {
namespace {

namespace fs = std::filesystem;

// A cell of a written workbook as "n:<number>", "s:<text>" or "" when empty.
class WrittenBook {
  public:
    explicit WrittenBook(const std::string& path) {
        sheets_[0] = test::ZipPartText(path, "xl/worksheets/sheet1.xml");
        sheets_[1] = test::ZipPartText(path, "xl/worksheets/sheet2.xml");
        std::string shared = test::ZipPartText(path, "xl/sharedStrings.xml");
        for (std::size_t at = shared.find("<t"); at != std::string::npos;
             at = shared.find("<t", at + 1)) {
            if (shared[at + 2] != '>' && shared[at + 2] != ' ') {
                continue;  // <tbody> or the like
            }
            std::size_t open = shared.find('>', at) + 1;
            strings_.push_back(Unescape(shared.substr(open, shared.find("</t>", open) - open)));
        }
    }
    std::string Cell(int sheet, const std::string& ref) const {
        const std::string& xml = sheets_[sheet - 1];
        std::size_t at = xml.find("<c r=\"" + ref + "\"");
        if (at == std::string::npos) {
            return "";
        }
        std::size_t end = xml.find("</c>", at);
        std::string cell = xml.substr(at, end - at);
        std::size_t v = cell.find("<v>");
        if (v == std::string::npos) {
            return "";
        }
        std::string value = cell.substr(v + 3, cell.find("</v>") - v - 3);
        if (cell.find("t=\"s\"") != std::string::npos) {
            return "s:" + strings_.at(static_cast<std::size_t>(std::stoi(value)));
        }
        return "n:" + value;
    }
    // How many rows the sheet holds.
    int Rows(int sheet) const {
        int rows = 0;
        for (std::size_t at = sheets_[sheet - 1].find("<row "); at != std::string::npos;
             at = sheets_[sheet - 1].find("<row ", at + 1)) {
            ++rows;
        }
        return rows;
    }

  private:
    static std::string Unescape(std::string text) {
        for (auto [from, to] : {std::pair{"&amp;", "&"},
                                {"&lt;", "<"},
                                {"&gt;", ">"},
                                {"&quot;", "\""},
                                {"&apos;", "'"}}) {
            for (std::size_t at; (at = text.find(from)) != std::string::npos;) {
                text.replace(at, std::string(from).size(), to);
            }
        }
        return text;
    }
    std::string sheets_[2];
    std::vector<std::string> strings_;
};

class FailedRows : public ::testing::Test {
  protected:
    void Load(const std::string& fixture) {
        ops.QueueFile(test::FixturePath(fixture));
        XlsReader book;
        LoadWorkbook(form, ops, book);
        ASSERT_TRUE(form.workbookLoaded);
    }
    ScriptedWindowOps ops;
    FormControls form;
    test::TempFolder dir;
};

TEST(RowsToFix, AreTheRowsThatFailedOrHaveProblemsButNotThoseAlreadyThere) {
    using O = RunTally::Outcome;
    RunTally tally;
    auto row = [](const char* sheet, const char* sheetRow, O outcome, const char* error,
                  const char* step, std::vector<std::string> warnings = {}) {
        RunTally::Row r{sheet, sheetRow, "key", outcome, "", error, step};
        for (std::string& w : warnings) {
            r.warnings.push_back({std::move(w), "other", "", ""});
        }
        return r;
    };
    tally.rows = {
        row("items", "2", O::Written, "", ""),
        row("items", "3", O::Skipped, "Already there: ...", "", {"The item code is already in."}),
        row("items", "4", O::Failed, "Item row 4, A3: bad.", "insert the item"),
        row("items", "5", O::Partial, "The item was written, but ...", "post"),
        row("items", "6", O::Written, "", "", {"The category cell is empty."}),
        row("ledgers", "2", O::Updated, "", ""),
        row("ledgers", "3", O::Failed, "", "insert the ledger"),
        row("ledgers", "4", O::Skipped, "Not migrated: the ledger stage was stopped.", ""),
        row("ledgers", "5", O::Completed, "", ""),
        row("ledgers", "6", O::Differs, "Left as it is: ...", "", {"The company already has..."}),
    };
    // What needs fixing: failed, written in part, not reached, differing.
    // What went in (warnings or not), was completed or already there stays out.
    std::vector<RowToFix> rows = RowsToFix(tally);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].sheetRow, "4");
    EXPECT_EQ(rows[0].reason, "Item row 4, A3: bad.");
    EXPECT_EQ(rows[1].sheetRow, "5");
    EXPECT_EQ(rows[2].sheet, "ledgers");
    EXPECT_EQ(rows[2].reason, "Not written (failed, at the step \"insert the ledger\").");
    EXPECT_EQ(rows[3].reason, "Not migrated: the ledger stage was stopped.");
    EXPECT_EQ(rows[4].sheetRow, "6");
    EXPECT_EQ(rows[4].reason, "The company already has...");
}

TEST_F(FailedRows, HoldsOnlyThoseRowsInTheInputsColumnsWithTheirSourceRowAndReason) {
    Load("real_mixed.xls");
    std::string path = dir.File("failed.xlsx");
    int written = WriteFailedRowsWorkbook(
        path, form,
        {{"items", "3", "Item row 3, B2: the rate is wrong & too high.", "failed"},
         {"ledgers", "3", "The ledger was written, but its opening balance was not posted.",
          "written in part"}});
    EXPECT_EQ(written, 2);
    WrittenBook book(path);
    EXPECT_EQ(book.Rows(1), 2) << "the header row and one item row";
    EXPECT_EQ(book.Rows(2), 2);
    // Item columns A to P as loaded; Q and R beyond them.
    EXPECT_EQ(book.Cell(1, "A2"), "s:" + std::string(form.itemGrid.TextMatrix(2, item::Code)));
    EXPECT_EQ(book.Cell(1, "B2"), "s:Oil");
    EXPECT_EQ(book.Cell(1, "F2"),
              "n:" + std::string(form.itemGrid.TextMatrix(2, item::PurchaseRate)));
    EXPECT_EQ(book.Cell(1, "Q1"), "s:Source row");
    EXPECT_EQ(book.Cell(1, "R1"), "s:Reason");
    EXPECT_EQ(book.Cell(1, "Q2"), "n:3");
    EXPECT_EQ(book.Cell(1, "R2"), "s:Item row 3, B2: the rate is wrong & too high.");
    EXPECT_EQ(book.Cell(1, "A1"), "s:" + form.itemHeaderRow[1]) << "the workbook's own heading";
    // Ledger columns A to I; J and K beyond them.
    EXPECT_EQ(book.Cell(2, "B2"), "s:O'Brien & Sons");
    EXPECT_EQ(book.Cell(2, "J1"), "s:Source row");
    EXPECT_EQ(book.Cell(2, "J2"), "n:3");
    EXPECT_EQ(book.Cell(2, "K1"), "s:Reason");
    EXPECT_EQ(book.Cell(2, "G2"), "n:250");
    EXPECT_EQ(book.Cell(2, "L1"), "") << "nothing beyond the reason";
}

// Texts that look like numbers stay texts unless the import read them as
// numbers and the number reads back to the same text.
TEST_F(FailedRows, WritesNumbersOnlyWhereTheyReadBackToTheSameText) {
    Load("two_rows.xls");
    Grid& g = form.itemGrid;
    g.SetTextMatrix(1, item::Code, "00123");
    g.SetTextMatrix(1, item::Qoh, "1E5");
    g.SetTextMatrix(1, item::PurchaseRate, "12.50");
    g.SetTextMatrix(1, item::Mrp, "1234.5");
    std::string path = dir.File("f.xlsx");
    WriteFailedRowsWorkbook(path, form, {{"items", "2", "why", "failed"}});
    WrittenBook book(path);
    EXPECT_EQ(book.Cell(1, "A2"), "s:00123");
    EXPECT_EQ(book.Cell(1, "E2"), "s:1E5");
    EXPECT_EQ(book.Cell(1, "F2"), "s:12.50");
    EXPECT_EQ(book.Cell(1, "H2"), "n:1234.5");
}

// A cell that starts like a formula is written as a text cell, never as a
// formula that a spreadsheet program would run when the file is opened.
TEST_F(FailedRows, AFormulaInTheGridIsWrittenAsText) {
    Load("two_rows.xls");
    form.itemGrid.SetTextMatrix(1, item::Code, "=HYPERLINK(\"http://example.com\",\"x\")");
    form.itemGrid.SetTextMatrix(1, item::Name, "+1+1");
    std::string path = dir.File("f.xlsx");
    WriteFailedRowsWorkbook(path, form, {{"items", "2", "@SUM(A1:A2)", "failed"}});
    WrittenBook book(path);
    EXPECT_EQ(book.Cell(1, "A2"), "s:=HYPERLINK(\"http://example.com\",\"x\")");
    EXPECT_EQ(book.Cell(1, "B2"), "s:+1+1");
    EXPECT_EQ(book.Cell(1, "R2"), "s:@SUM(A1:A2)");
    EXPECT_EQ(test::ZipPartText(path, "xl/worksheets/sheet1.xml").find("<f>"), std::string::npos)
        << "no formula in the sheet";
}

// A grid text as the failed-rows workbook gives it back to the load. Each
// row once came back otherwise: 20,000 "é" as 16,383 (cut at 32,767
// bytes), and a literal "_x0041_" as "A".
struct CellTextCase {
    const char* name;
    std::string text;
    std::string back;
    bool cut;  // and said so, naming the cell
};

class CellTexts : public FailedRows, public ::testing::WithParamInterface<CellTextCase> {};

std::string Repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

TEST_P(CellTexts, ReadBackAsWrittenOrCutByCharactersAndSaid) {
    Load("two_rows.xls");
    form.itemGrid.SetTextMatrix(1, item::Name, GetParam().text);
    std::string path = dir.File("f.xlsx");
    std::vector<std::string> cuts;
    WriteFailedRowsWorkbook(path, form, {{"items", "2", "why", "failed"}}, &cuts);
    AnyWorkbookReader book;
    book.Open(path);
    std::string back;
    book.ReadCellText(1, 2, item::Name, back);
    EXPECT_TRUE(back == GetParam().back) << back.size() << " bytes back";
    ASSERT_EQ(cuts.size(), GetParam().cut ? 1u : 0u);
    if (GetParam().cut) {
        EXPECT_NE(cuts[0].find("The text of the cell Items!B2 in " + path), std::string::npos)
            << cuts[0];
    }
}

INSTANTIATE_TEST_SUITE_P(
    FailedRows, CellTexts,
    ::testing::Values(CellTextCase{"TwoByteCharactersWithinTheLimit", Repeated("\xC3\xA9", 20000),
                                   Repeated("\xC3\xA9", 20000), false},
                      CellTextCase{"BeyondTheLimit", Repeated("\xC3\xA9", 40000),
                                   Repeated("\xC3\xA9", 32767), true},
                      CellTextCase{"ALiteralEscape", "Soap _x0041_ and _x005f_",
                                   "Soap _x0041_ and _x005f_", false},
                      CellTextCase{"ANul", std::string("Soap\0Bar", 8), "Soap", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FailedRows, UsesTheGridsColumnNamesWhenNoHeaderRowWasKept) {
    Load("two_rows.xls");
    form.itemHeaderRow.clear();
    std::string path = dir.File("f.xlsx");
    WriteFailedRowsWorkbook(path, form, {{"items", "3", "why", "failed"}});
    WrittenBook book(path);
    EXPECT_EQ(book.Cell(1, "A1"), "s:ITEM CODE");
    EXPECT_EQ(book.Cell(1, "P1"), "s:ROL");
}

TEST_F(FailedRows, ARowNoLongerInTheGridIsSaidAndNothingIsWritten) {
    Load("two_rows.xls");
    std::string path = dir.File("f.xlsx");
    try {
        WriteFailedRowsWorkbook(path, form, {{"items", "40", "why", "failed"}});
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("Worksheet row 40"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}

// A full disk while the workbook is written: an older file of that name
// stays as it was, nothing half written is left, and the sentence names the
// file.
TEST_F(FailedRows, AFullDiskLeavesTheOlderFileAsItWas) {
    Load("real_mixed.xls");
    std::string path = dir.File("failed.xlsx");
    std::ofstream(path) << "older";
    std::string error;
    try {
        test::FileSizeLimit full(2048);
        WriteFailedRowsWorkbook(path, form, {{"items", "2", "why", "failed"}});
    } catch (const FileError& e) {
        error = e.what();
    }
    EXPECT_NE(error.find("could not be written to " + path + " ("), std::string::npos) << error;
    EXPECT_NE(error.find("beyond the size"), std::string::npos) << error;
    std::ifstream in(path);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, "older");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST_F(FailedRows, RefusesADeviceAndAFolderThatIsAFile) {
    Load("real_mixed.xls");
    std::ofstream(dir.File("plain")) << "x";
    for (const std::string& path : {std::string("/dev/full"), dir.File("plain/f.xlsx")}) {
        try {
            WriteFailedRowsWorkbook(path, form, {{"items", "2", "why", "failed"}});
            ADD_FAILURE() << path;
        } catch (const FileError& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace ledgerlift
