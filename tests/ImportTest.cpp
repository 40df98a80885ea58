#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <ostream>

#include "import/OpenWorkbook.h"
#include "import/core/CellText.h"
#include "import/core/WorkbookReader.h"
#include "import/xls/XlsReader.h"
#include "load/GridLayouts.h"
#include "load/LoadWorkbook.h"
#include "load/SheetRows.h"
#include "tests/PackageWriter.h"
#include "tests/TestSupport.h"
#include "ui/FormControls.h"
#include "ui/ScriptedWindowOps.h"

namespace ledgerlift {
namespace {

using test::FixturePath;

class Import : public ::testing::Test {
  protected:
    void Load(const std::string& fixture) {
        ops.QueueFile(FixturePath(fixture));
        Click();
    }
    // The load button, reading with the .xls reader.
    void Click() {
        XlsReader book;
        LoadWorkbook(form, ops, book);
    }
    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const auto& m : ops.Messages()) {
            texts.push_back(m.text);
        }
        return texts;
    }
    ScriptedWindowOps ops;
    FormControls form;
};

TEST_F(Import, FillsBothGridsWithTheirLayouts) {
    Load("real_mixed.xls");
    ASSERT_EQ(MessageTexts(), std::vector<std::string>{"Completed Excel importing"});
    const auto& done = ops.Messages()[0];
    EXPECT_EQ(done.icon, MsgIcon::Information);
    EXPECT_EQ(done.caption, "Ledgerlift");
    EXPECT_EQ(ops.Filters()[0],
              "Workbooks|*.xls;*.xlsx;*.xlsm;*.ods|Excel 97-2003 Workbooks|*.xls|"
              "Excel Workbooks|*.xlsx;*.xlsm|OpenDocument Spreadsheets|*.ods|All Files|*.*");
    EXPECT_EQ(form.fileDialog.FileName, FixturePath("real_mixed.xls"));

    EXPECT_EQ(form.itemGrid.FormatString(), kItemFormat);
    EXPECT_EQ(form.itemGrid.Cols(), 17);
    EXPECT_EQ(form.itemGrid.ColWidth(0), 200) << "set after the format string, so it lasts";
    EXPECT_EQ(form.itemGrid.ColAlignment(item::Qoh), Grid::Align::Right);
    EXPECT_EQ(form.ledgerGrid.FormatString(), kLedgerFormat);
    EXPECT_EQ(form.ledgerGrid.Cols(), 10);
    EXPECT_NE(form.ledgerGrid.ColWidth(0), 200) << "the format string came last and sized it";

    // Rows 2 and 3 are read; row 4's column B holds only spaces, so the sheet
    // ends there although row 5 is filled.
    ASSERT_EQ(form.itemGrid.Rows(), 5);
    EXPECT_EQ(form.itemGrid.TextMatrix(1, 0), "2");
    EXPECT_EQ(form.itemGrid.TextMatrix(1, item::Code), "A1");
    EXPECT_EQ(form.itemGrid.TextMatrix(1, item::Description), "  Lux  ");
    EXPECT_EQ(form.itemGrid.TextMatrix(2, item::Code), "B2");
    EXPECT_EQ(form.itemGrid.TextMatrix(2, item::Qoh), "30");
    EXPECT_EQ(form.itemGrid.TextMatrix(2, item::PurchaseRate), "1234.5");
    EXPECT_EQ(form.itemGrid.TextMatrix(3, item::Name), "  Rice  ");
    for (int c = 0; c < 17; ++c) {
        EXPECT_EQ(form.itemGrid.TextMatrix(4, c), "") << "the appended empty row";
    }
    ASSERT_EQ(form.ledgerGrid.Rows(), 4);
    EXPECT_EQ(form.ledgerGrid.TextMatrix(2, ledger::Name), "O'Brien & Sons");
    EXPECT_EQ(form.ledgerGrid.TextMatrix(2, ledger::OpeningBalance), "250");

    EXPECT_EQ(form.gridTabs.TabCaption[0], "Items 3");
    EXPECT_EQ(form.gridTabs.TabCaption[1], "Ledgers 2");
    EXPECT_EQ(form.gridTabs.TabCaption[2], "Account Group");
    EXPECT_EQ(form.itemGrid.Row(), 1);
    EXPECT_EQ(form.itemGrid.Col(), 2);
    EXPECT_EQ(form.ledgerGrid.Row(), 1);
    EXPECT_EQ(form.ledgerGrid.Col(), 2);
    EXPECT_EQ(form.itemGrid.TopRow(), 4);
    EXPECT_EQ(form.groupGrid.TextMatrix(1, 0), "")
        << "the import never fills the account group grid";
    EXPECT_TRUE(form.workbookLoaded);
    EXPECT_TRUE(form.migrationFrame.Visible);
    EXPECT_TRUE(ops.Enabled());
    EXPECT_EQ(ops.DoEventsCount(), 5) << "one event pass per row read";
}

TEST_F(Import, WindowIsDisabledWhileASheetIsReadAndTheFrameHidden) {
    std::vector<std::string> seen;
    std::vector<std::string> captions;
    ops.SetDoEventsHook([&] {
        seen.push_back(std::string(ops.Enabled() ? "enabled" : "disabled") +
                       (form.workbookLoaded ? " loaded" : " not-loaded") +
                       (form.migrationFrame.Visible ? " shown" : " hidden"));
        captions.push_back(form.gridTabs.TabCaption[0]);
    });
    Load("two_rows.xls");
    EXPECT_EQ(captions[1], "Items 1") << "the caption follows each row, after its event pass";
    EXPECT_EQ(seen,
              (std::vector<std::string>{"disabled not-loaded hidden", "disabled not-loaded hidden",
                                        "disabled loaded hidden"}));
}

// A blank item name no longer ends the sheet: the row's code makes it a
// data row, and the rows below it are read too.
TEST_F(Import, ABlankNameInRowTwoEndsNothing) {
    Load("blank_b2.xls");
    EXPECT_EQ(form.itemGrid.Rows(), 3);
    EXPECT_EQ(form.itemGrid.TextMatrix(1, item::Code), "A1");
    EXPECT_EQ(form.gridTabs.TabCaption[0], "Items 1");
    EXPECT_EQ(form.gridTabs.TabCaption[1], "Ledgers 1");
    EXPECT_TRUE(form.workbookLoaded);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Completed Excel importing"});
}

TEST_F(Import, ReadsPastABlankNameToTheLastRowAndKeepsSpacesAndZero) {
    Load("blank_row10.xls");
    ASSERT_EQ(form.itemGrid.Rows(), 14)
        << "rows 2 to 13: twelve rows, the header and the empty row";
    EXPECT_EQ(form.gridTabs.TabCaption[0], "Items 12");
    EXPECT_EQ(form.itemGrid.TextMatrix(3, item::Name), "0") << "0 in column B is filled";
    EXPECT_EQ(form.itemGrid.TextMatrix(4, item::Name), "  padded  ");
    EXPECT_EQ(form.itemGrid.TextMatrix(9, item::Code), "I10") << "a blank name, but a code";
    EXPECT_EQ(form.itemGrid.TextMatrix(12, 0), "13");
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Completed Excel importing"});
}

// Regression: the item rows of a workbook that failed to load stayed in the
// grid under its "Items 3" caption, as if they were loaded.
TEST_F(Import, ASingleWorksheetClearsBothGridsAndBlocksMigration) {
    Load("real_mixed.xls");
    ops.ClearMessages();
    Load("headings/one_unrecognised_sheet.xls");
    EXPECT_EQ(form.itemGrid.Rows(), 1) << "the header alone: no stale rows";
    EXPECT_EQ(form.ledgerGrid.Rows(), 1);
    EXPECT_EQ(form.itemGrid.FormatString(), kItemFormat) << "the columns keep their captions";
    EXPECT_EQ(form.gridTabs.TabCaption[0], "Item            ") << "the tabs as at the start";
    EXPECT_EQ(form.gridTabs.TabCaption[1], "Ledger            ");
    EXPECT_FALSE(form.workbookLoaded);
    EXPECT_FALSE(form.migrationFrame.Visible);
    EXPECT_TRUE(ops.Enabled());
    ASSERT_EQ(ops.Messages().size(), 1u);
    EXPECT_EQ(ops.Messages()[0].icon, MsgIcon::Exclamation);
    EXPECT_NE(ops.Messages()[0].text.find("no worksheet 2"), std::string::npos);
    EXPECT_NE(ops.Messages()[0].text.find("one_unrecognised_sheet.xls"), std::string::npos);
}

TEST_F(Import, ASecondImportWithFewerRowsLeavesNothingOfTheFirst) {
    Load("real_mixed.xls");
    Load("two_rows.xls");
    ASSERT_EQ(form.itemGrid.Rows(), 4);
    EXPECT_EQ(form.itemGrid.TextMatrix(2, item::Name), "Oil");
    EXPECT_EQ(form.itemGrid.TextMatrix(3, item::Name), "");
    ASSERT_EQ(form.ledgerGrid.Rows(), 3);
    EXPECT_EQ(form.gridTabs.TabCaption[0], "Items 2");
}

TEST_F(Import, CancellingAlwaysTakesTheErrorPathAndClearsTheGrids) {
    Load("two_rows.xls");
    ops.ClearMessages();
    ops.QueueFile(std::nullopt);
    std::vector<int> rowsWhenTold;
    ops.SetObserver([&](const auto&) { rowsWhenTold.push_back(form.itemGrid.Rows()); });
    Click();
    ASSERT_EQ(ops.Messages().size(), 1u);
    EXPECT_EQ(ops.Messages()[0].text, "No workbook was chosen, so nothing was loaded.");
    EXPECT_EQ(ops.Messages()[0].icon, MsgIcon::Exclamation);
    EXPECT_FALSE(form.workbookLoaded);
    EXPECT_FALSE(form.migrationFrame.Visible);
    EXPECT_EQ(rowsWhenTold, std::vector<int>{1})
        << "the rows that can no longer be migrated are gone before the message shows";
    EXPECT_EQ(form.ledgerGrid.Rows(), 1);
    EXPECT_EQ(form.gridTabs.TabCaption[0], "Item            ");
}

TEST_F(Import, ADamagedFileClearsTheRowsOfTheWorkbookBefore) {
    Load("real_mixed.xls");
    form.itemGrid.SetRowMark(1, Rgb{255, 199, 206}, "failed");
    test::TempFolder dir;
    std::string path = dir.File("broken.xls");
    std::ofstream(path) << "not a workbook";
    ops.QueueFile(path);
    Click();
    EXPECT_EQ(form.itemGrid.Rows(), 1);
    EXPECT_EQ(form.ledgerGrid.Rows(), 1);
    EXPECT_EQ(form.itemGrid.RowMarkCount(), 0u) << "no outcome of an earlier run is left";
    EXPECT_EQ(form.gridTabs.TabCaption[1], "Ledger            ");
}

TEST_F(Import, ReportsItsProgressPerRowWithTheRowsOfEachSheet) {
    Load("real_mixed.xls");
    using Report = ScriptedWindowOps::ProgressReport;
    EXPECT_EQ(ops.ProgressReports(),
              (std::vector<Report>{{"Loading worksheet 1 (items)", 0, 3},
                                   {"Loading worksheet 1 (items)", 1, 3},
                                   {"Loading worksheet 1 (items)", 2, 3},
                                   {"Loading worksheet 1 (items)", 3, 3},
                                   {"Loading worksheet 2 (ledgers)", 0, 2},
                                   {"Loading worksheet 2 (ledgers)", 1, 2},
                                   {"Loading worksheet 2 (ledgers)", 2, 2}}));
}

TEST_F(Import, ADamagedFileGivesOneMessageAndLeavesTheWindowUsable) {
    test::TempFolder dir;
    std::string path = dir.File("broken.xls");
    std::ofstream(path) << "not a workbook";
    ops.QueueFile(path);
    Click();
    ASSERT_EQ(ops.Messages().size(), 1u);
    EXPECT_NE(ops.Messages()[0].text.find(path), std::string::npos);
    EXPECT_TRUE(ops.Enabled());
    EXPECT_FALSE(form.workbookLoaded);
}

// A workbook written by a program that does not calculate: its formula
// cells hold no result and read as empty, and the operator is told so, one
// message per sheet, after the load.
TEST_F(Import, FormulaCellsWithoutAResultAreNamedPerSheet) {
    ops.QueueFile(FixturePath("uncalculated.xlsx"));
    AnyWorkbookReader book;
    LoadWorkbook(form, ops, book);
    EXPECT_TRUE(form.workbookLoaded);
    ASSERT_EQ(MessageTexts().size(), 3u);
    EXPECT_EQ(MessageTexts()[0], "Completed Excel importing");
    EXPECT_EQ(MessageTexts()[1],
              "In worksheet 1 (items) of " + FixturePath("uncalculated.xlsx") +
                  ", 3 formula cells have no calculated result stored in the file, so they were "
                  "loaded as empty. Open the workbook in a spreadsheet program, save it there and "
                  "load it again.");
    EXPECT_EQ(ops.Messages()[1].icon, MsgIcon::Exclamation);
    EXPECT_NE(MessageTexts()[2].find("worksheet 2 (ledgers)"), std::string::npos);
    EXPECT_NE(MessageTexts()[2].find("1 formula cell has"), std::string::npos);
    EXPECT_EQ(form.itemGrid.TextMatrix(1, item::Qoh), "") << "the formula cell E2";
}

TEST_F(Import, EveryFormatLoadsThroughTheReaderChosenByContent) {
    for (const char* fixture : {"two_rows.xls", "two_rows.xlsx", "two_rows.ods"}) {
        ops.QueueFile(FixturePath(fixture));
        AnyWorkbookReader book;
        LoadWorkbook(form, ops, book);
        EXPECT_TRUE(form.workbookLoaded) << fixture;
        EXPECT_EQ(form.itemGrid.TextMatrix(2, item::Name), "Oil") << fixture;
        EXPECT_EQ(form.ledgerGrid.TextMatrix(1, ledger::OpeningBalance), "100") << fixture;
    }
}

// What the load asks of a workbook, in order: "cell 1", "release 1", ... (a
// run of cell reads of one sheet recorded once), around a real reader.
class RecordingBook : public WorkbookReader {
  public:
    void Open(const std::string& path) override {
        calls.push_back("open");
        book_.Open(path);
    }
    int SheetCount() const override { return book_.SheetCount(); }
    CellValue Cell(int sheet, int row, int col) const override {
        std::string call = "cell " + std::to_string(sheet);
        if (calls.empty() || calls.back() != call) {
            calls.push_back(call);
        }
        return book_.Cell(sheet, row, col);
    }
    int FormulasWithoutResult(int sheet) const override {
        calls.push_back("formulas " + std::to_string(sheet));
        return book_.FormulasWithoutResult(sheet);
    }
    void ReleaseSheet(int sheet) override {
        calls.push_back("release " + std::to_string(sheet));
        book_.ReleaseSheet(sheet);
    }
    void Close() override {
        calls.push_back("close");
        book_.Close();
    }
    mutable std::vector<std::string> calls;

  private:
    AnyWorkbookReader book_;
};

TEST_F(Import, LetsGoOfEachSheetOnceItIsInItsGrid) {
    for (const char* fixture : {"uncalculated.xlsx", "two_rows.xls", "two_rows.ods"}) {
        ops.QueueFile(FixturePath(fixture));
        RecordingBook book;
        LoadWorkbook(form, ops, book);
        EXPECT_TRUE(form.workbookLoaded) << fixture;
        // The headings of every sheet are read first, to find which sheet is
        // which; then each sheet's rows, and the sheet is let go at once.
        EXPECT_EQ(book.calls, (std::vector<std::string>{"open", "cell 1", "cell 2", "cell 1",
                                                        "release 1", "cell 2", "release 2",
                                                        "formulas 1", "formulas 2", "close"}))
            << fixture;
    }
}

struct ReleasedSheet {
    const char* name;
    const char* fixture;
};

void PrintTo(const ReleasedSheet& p, std::ostream* os) {
    *os << p.name;
}

class ReleasedSheets : public ::testing::TestWithParam<ReleasedSheet> {};

TEST_P(ReleasedSheets, ReadNoMoreWhileTheOtherSheetReadsOn) {
    std::string path = FixturePath(GetParam().fixture);
    AnyWorkbookReader book;
    book.Open(path);
    std::string itemName = CellText(book.Cell(1, 3, 2));
    std::string ledger = CellText(book.Cell(2, 2, 2));
    int formulas = book.FormulasWithoutResult(1);
    book.ReleaseSheet(1);
    try {
        (void)book.Cell(1, 3, 2);
        FAIL() << "a released sheet was read";
    } catch (const WorkbookError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Worksheet 1 of " + path +
                      " was already copied and is no longer held in memory; load the workbook "
                      "again to read it.");
    }
    EXPECT_EQ(CellText(book.Cell(2, 2, 2)), ledger);
    EXPECT_EQ(book.FormulasWithoutResult(1), formulas) << "still known after the release";
    EXPECT_THROW(book.ReleaseSheet(3), WorkbookError) << "there is no worksheet 3";
    book.Close();
    book.Open(path);
    EXPECT_EQ(CellText(book.Cell(1, 3, 2)), itemName) << "a new open reads it all again";
}

INSTANTIATE_TEST_SUITE_P(Formats, ReleasedSheets,
                         ::testing::Values(ReleasedSheet{"Xls", "two_rows.xls"},
                                           ReleasedSheet{"Xlsx", "two_rows.xlsx"},
                                           ReleasedSheet{"Ods", "two_rows.ods"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A workbook whose item sheet goes on below row 65000.
class EndlessSheet : public WorkbookReader {
  public:
    void Open(const std::string&) override {}
    int SheetCount() const override { return 2; }
    CellValue Cell(int sheet, int row, int col) const override {
        if (sheet == 2 && row > 3) {
            return CellValue::Empty();
        }
        return col == 2 ? CellValue::Text("Row " + std::to_string(row)) : CellValue::Number(col);
    }
    void Close() override {}
};

TEST_F(Import, RowsBelow65000AreNotReadButTheOperatorIsTold) {
    ops.QueueFile("/any/book.xls");
    EndlessSheet book;
    LoadWorkbook(form, ops, book);
    EXPECT_EQ(form.itemGrid.Rows(), 65001) << "64999 rows, the header and the empty row";
    EXPECT_EQ(form.itemGrid.TextMatrix(64999, 0), "65000");
    EXPECT_EQ(form.gridTabs.TabCaption[0], "Items 64999");
    ASSERT_FALSE(ops.ProgressReports().empty());
    EXPECT_EQ(ops.ProgressReports().front().total, 64999)
        << "the progress counts the rows that are read";
    // Its first row holds no headings: the columns are read by position,
    // with a warning per sheet, and then the rows left out are told.
    ASSERT_EQ(ops.Messages().size(), 4u);
    EXPECT_EQ(ops.Messages()[0].text, "Completed Excel importing");
    EXPECT_NE(ops.Messages()[1].text.find("are not item headings"), std::string::npos);
    const auto& notRead = ops.Messages().back();
    EXPECT_NE(notRead.text.find("worksheet 1 (items)"), std::string::npos);
    EXPECT_NE(notRead.text.find("65000"), std::string::npos);
    EXPECT_EQ(notRead.icon, MsgIcon::Exclamation);
}

// Regression: a 27 KB .ods workbook showing one 16 MB text in 16 columns of
// 65,000 rows took 3.8 GB and died; the texts the load would hold are
// bounded, and the workbook is refused naming the sheet and the row.
TEST_F(Import, ALongTextShownInEveryCellIsRefusedNotHeld) {
    std::string huge = R"(<table:table-cell table:number-columns-repeated="16"
        office:value-type="string"><text:p>x<text:s text:c="16000000"/></text:p>
        </table:table-cell>)";
    std::string tables =
        "<table:table table:name=\"Items\"><table:table-row><table:table-cell "
        "office:value-type=\"string\"><text:p>SLNO</text:p></table:table-cell>"
        "</table:table-row><table:table-row table:number-rows-repeated=\"65000\">" +
        huge + "</table:table-row></table:table><table:table table:name=\"Ledgers\"/>";
    test::TempFolder dir;
    std::string path = dir.File("bomb.ods");
    test::WriteZip(path, test::OdsParts(tables));
    ops.QueueFile(path);
    AnyWorkbookReader book;
    LoadWorkbook(form, ops, book);
    EXPECT_FALSE(form.workbookLoaded);
    ASSERT_EQ(ops.Messages().size(), 1u);
    EXPECT_EQ(ops.Messages()[0].text,
              "The workbook " + path +
                  " is refused: worksheet 1 (items) holds more than 256 MB of text by row 3, far "
                  "beyond any real workbook. It is not loaded.");
}

}  // namespace
}  // namespace ledgerlift
