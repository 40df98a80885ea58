#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

#include "import/OpenWorkbook.h"
#include "import/core/CellText.h"
#include "import/core/PartReader.h"
#include "import/xlsx/XlsxParts.h"
#include "import/xlsx/XlsxReader.h"
#include "import/xlsx/XlsxSheet.h"
#include "tests/PackageWriter.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

// One cell of an .xlsx fixture and the text it reads as.
struct XlsxCell {
    const char* name;
    const char* fixture;
    int sheet, row, col;
    const char* text;
};

void PrintTo(const XlsxCell& c, std::ostream* os) {
    *os << c.name;
}

class XlsxCells : public ::testing::TestWithParam<XlsxCell> {};

TEST_P(XlsxCells, ReadAsTheSpreadsheetShowsThem) {
    XlsxReader book;
    book.Open(test::FixturePath(GetParam().fixture));
    EXPECT_EQ(CellText(book.Cell(GetParam().sheet, GetParam().row, GetParam().col)),
              GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, XlsxCells,
    ::testing::Values(
        // Chart sheets are no worksheets: worksheet 1 is the first worksheet.
        XlsxCell{"ChartSheetsLeftOutItems", "chart_sheets.xlsx", 1, 2, 2, "Soap"},
        XlsxCell{"ChartSheetsLeftOutLedgers", "chart_sheets.xlsx", 2, 2, 2, "Ledger One"},
        // The workbook's sheet order, not the parts' numbers.
        XlsxCell{"SheetOrderItems", "sheet_order.xlsx", 1, 3, 2, "Oil"},
        XlsxCell{"SheetOrderLedgers", "sheet_order.xlsx", 2, 2, 2, "Ledger One"},
        XlsxCell{"EscapedDateFormat", "number_formats.xlsx", 1, 2, 5, "2009-04-01"},
        XlsxCell{"LocaleTagDateTime", "number_formats.xlsx", 1, 2, 6, "2009-04-01 10:30:00"},
        XlsxCell{"DurationReadsAsATime", "number_formats.xlsx", 1, 2, 7, "10:30:00"},
        XlsxCell{"QuotedDaysIsANumber", "number_formats.xlsx", 1, 2, 8, "39904"},
        XlsxCell{"ColourIsANumber", "number_formats.xlsx", 1, 2, 9, "12.5"},
        XlsxCell{"AmPmTime", "number_formats.xlsx", 1, 2, 10, "18:00:00"},
        XlsxCell{"Scientific", "number_formats.xlsx", 1, 2, 11, "1234.5"},
        XlsxCell{"Date1904Serial", "date1904.xlsx", 1, 2, 5, "2013-04-02"},
        XlsxCell{"Date1904TimeStaysATime", "date1904.xlsx", 1, 2, 7, "10:30:00"},
        XlsxCell{"Date1904WrittenDate", "date1904.xlsx", 1, 2, 15, "2009-04-01 10:30:00"},
        XlsxCell{"RichTextRunsJoinedWithoutPhonetic", "xlsx_texts.xlsx", 1, 2, 15,
                 "plain bold end"},
        XlsxCell{"CellsWithoutReferencesFollowOn", "xlsx_texts.xlsx", 1, 3, 1, "R2"},
        XlsxCell{"InlineRunsWithoutPhonetic", "xlsx_texts.xlsx", 1, 3, 2, "Inline runs"},
        XlsxCell{"NumberAfterUnreferencedCells", "xlsx_texts.xlsx", 1, 3, 4, "5"},
        XlsxCell{"SkippedRowIsEmpty", "xlsx_texts.xlsx", 1, 4, 1, ""},
        XlsxCell{"FormulaTextResult", "xlsx_texts.xlsx", 1, 5, 1, "R4"},
        XlsxCell{"InlineStringKeepsSpaces", "xlsx_texts.xlsx", 1, 5, 2, " After a skipped row "},
        XlsxCell{"RowWithoutNumberFollowsOn", "xlsx_texts.xlsx", 1, 6, 2, "Row without a number"},
        XlsxCell{"EscapedCharacters", "xlsx_texts.xlsx", 1, 6, 15, "a\rb _x0041_"},
        XlsxCell{"BooleanTrue", "xlsx_kinds.xlsx", 1, 2, 5, "TRUE"},
        XlsxCell{"BooleanFalse", "xlsx_kinds.xlsx", 1, 2, 6, "FALSE"},
        XlsxCell{"ErrorValue", "xlsx_kinds.xlsx", 1, 2, 7, "#N/A"},
        XlsxCell{"IsoDateTime", "xlsx_kinds.xlsx", 1, 2, 8, "2009-04-01 10:30:00"},
        XlsxCell{"IsoDate", "xlsx_kinds.xlsx", 1, 2, 9, "2009-04-01"},
        XlsxCell{"UncalculatedFormulaIsEmpty", "uncalculated.xlsx", 1, 2, 5, ""},
        XlsxCell{"StrictNamespaces", "strict.xlsx", 1, 3, 8, "#DIV/0!"},
        XlsxCell{"StrictNamespacesLedgers", "strict.xlsx", 2, 3, 7, "250"},
        XlsxCell{"MacroEnabledWorkbook", "macro.xlsm", 1, 3, 2, "Oil"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(XlsxReader, CountsOnlyWorksheets) {
    XlsxReader book;
    book.Open(test::FixturePath("chart_sheets.xlsx"));
    EXPECT_EQ(book.SheetCount(), 2) << "two chart sheets and two worksheets";
}

TEST(XlsxReader, CountsFormulaCellsWithoutAStoredResultPerSheet) {
    XlsxReader book;
    book.Open(test::FixturePath("uncalculated.xlsx"));
    EXPECT_EQ(book.FormulasWithoutResult(1), 3);
    EXPECT_EQ(book.FormulasWithoutResult(2), 1);
    XlsxReader calculated;
    calculated.Open(test::FixturePath("real_mixed.xlsx"));
    EXPECT_EQ(calculated.FormulasWithoutResult(1), 0);
}

TEST(XlsxReader, IsChosenByContentWhateverTheName) {
    test::TempFolder dir;
    std::string path = dir.File("items.xls");  // an .xlsx under another name
    test::WriteZip(path, test::XlsxParts({"<row r=\"2\"><c r=\"B2\"><v>7</v></c></row>"}));
    EXPECT_EQ(DetectWorkbookFormat(path), WorkbookFormat::Xlsx);
    AnyWorkbookReader book;
    book.Open(path);
    EXPECT_EQ(CellText(book.Cell(1, 2, 2)), "7");
}

// Regression: a package whose entries were written with backslashes
// ("xl\worksheets\sheet1.xml"), as some programs do, was refused.
TEST(XlsxReader, ReadsAPackageWrittenWithBackslashPaths) {
    test::TempFolder dir;
    std::string path = dir.File("book.xlsx");
    test::Parts parts = test::XlsxParts({"<row r=\"2\"><c r=\"B2\"><v>7</v></c></row>"});
    for (auto& [name, bytes] : parts) {
        std::replace(name.begin(), name.end(), '/', '\\');
    }
    test::WriteZip(path, parts);
    AnyWorkbookReader book;
    book.Open(path);
    EXPECT_EQ(CellText(book.Cell(1, 2, 2)), "7");
}

// One worksheet part, read with given shared strings: cell B2's text.
std::string SheetCell(const std::string& sheetData, int row, int col,
                      const std::vector<std::string>& sharedStrings = {}) {
    std::string xml =
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<sheetData>" +
        sheetData + "</sheetData></worksheet>";
    MemoryPart part(xml);
    SheetStore cells;
    XlsxStyles styles;
    auto strings = std::make_shared<SharedStrings>();
    for (const auto& text : sharedStrings) {
        strings->Add(text);
    }
    XlsxSheetContext context{strings, &styles, false, nullptr};
    XlsxSheet::Read(part, context, cells);
    return CellText(
        cells.Get(static_cast<std::uint32_t>(row - 1), static_cast<std::uint32_t>(col - 1)));
}

TEST(XlsxSheet, ReadsEveryCellType) {
    EXPECT_EQ(SheetCell("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c></row>", 1, 1, {"a", "b"}),
              "b");
    EXPECT_EQ(SheetCell("<row r=\"1\"><c r=\"A1\" t=\"str\"><f>A2</f><v>x</v></c></row>", 1, 1),
              "x");
    EXPECT_EQ(SheetCell("<row r=\"1\"><c r=\"A1\" t=\"b\"><v>0</v></c></row>", 1, 1), "FALSE");
    EXPECT_EQ(SheetCell("<row r=\"1\"><c r=\"A1\" t=\"e\"><v>#REF!</v></c></row>", 1, 1), "#REF!");
    EXPECT_EQ(SheetCell("<row r=\"1\"><c r=\"A1\" t=\"d\"><v>2009-04-01</v></c></row>", 1, 1),
              "2009-04-01");
    EXPECT_EQ(SheetCell("<row r=\"1\"><c r=\"A1\"><v>1.50</v></c></row>", 1, 1), "1.5");
    EXPECT_EQ(SheetCell("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>in</t><r><t>line</t>"
                        "</r></is></c></row>",
                        1, 1),
              "inline");
    EXPECT_EQ(SheetCell("<row r=\"1\"><c r=\"A1\" s=\"3\"/></row>", 1, 1), "")
        << "a cell with a style only";
}

// Regression: a cell typed inline that also held a <v> showed both texts
// ("1.01." for "1.").
TEST(XlsxSheet, AnInlineStringBesideAValueReadsAsTheInlineTextAlone) {
    EXPECT_EQ(SheetCell("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><v>1.0</v><is><t>1.</t></is>"
                        "</c></row>",
                        1, 1),
              "1.");
    EXPECT_EQ(SheetCell("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>1.</t></is><v>1.0</v>"
                        "</c></row>",
                        1, 1),
              "1.");
    EXPECT_EQ(
        SheetCell("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><v>only a value</v></c></row>", 1, 1),
        "only a value");
}

// The workbook part's XML and the date system it says.
struct DateSystem {
    const char* name;
    const char* properties;
    bool date1904;
};

void PrintTo(const DateSystem& d, std::ostream* os) {
    *os << d.name;
}

class WorkbookDateSystems : public ::testing::TestWithParam<DateSystem> {};

TEST_P(WorkbookDateSystems, AreToldByTheWorkbooksOwnProperties) {
    std::string xml = std::string(
                          "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/"
                          "main\" xmlns:x15=\"http://schemas.microsoft.com/office/spreadsheetml/"
                          "2010/11/main\">") +
                      GetParam().properties + "<sheets/></workbook>";
    MemoryPart part(xml, "book.xlsx", "xl/workbook.xml");
    XlsxWorkbookPart workbook;
    workbook.Parse(part);
    EXPECT_EQ(workbook.date1904, GetParam().date1904);
}

INSTANTIATE_TEST_SUITE_P(
    Parts, WorkbookDateSystems,
    ::testing::Values(
        DateSystem{"Date1900ByDefault", "<workbookPr/>", false},
        DateSystem{"Date1904", "<workbookPr date1904=\"1\"/>", true},
        DateSystem{"Date1904InWords", "<workbookPr date1904=\"true\"/>", true},
        // Regression: the extension's workbookPr of current Excel reset the
        // date system, and every date read 4 years and a day early.
        DateSystem{"AnExtensionsWorkbookPrKeeps1904",
                   "<workbookPr date1904=\"1\"/><extLst><ext uri=\"{140A7094-0E35-4892-8432-"
                   "C4D2E57EDEB5}\"><x15:workbookPr chartTrackingRefBase=\"1\"/></ext></extLst>",
                   true},
        DateSystem{"AnExtensionsWorkbookPrSaysNothing",
                   "<workbookPr/><extLst><ext><x15:workbookPr date1904=\"1\"/></ext></extLst>",
                   false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(XlsxSheet, MissingReferencesFollowThePreviousCellAndRow) {
    std::string rows =
        "<row><c><v>1</v></c><c><v>2</v></c></row>"
        "<row r=\"4\"><c r=\"C4\"><v>3</v></c><c><v>4</v></c></row>"
        "<row><c r=\"B5\"><v>5</v></c></row>";
    EXPECT_EQ(SheetCell(rows, 1, 2), "2");
    EXPECT_EQ(SheetCell(rows, 4, 4), "4");
    EXPECT_EQ(SheetCell(rows, 5, 2), "5");
    EXPECT_EQ(SheetCell(rows, 2, 1), "") << "rows 2 and 3 were skipped";
}

TEST(XlsxSheet, RowsBelowTheWindowEndTheReadAndCostNothing) {
    std::string xml =
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<sheetData><row r=\"2\"><c r=\"B2\"><v>1</v></c></row>"
        "<row r=\"65537\"><c r=\"B65537\"><v>2</v></c></row>"
        "<row r=\"70000\"><c r=\"B70000\"><not-even-well-formed></row>";
    MemoryPart part(xml);
    SheetStore cells;
    XlsxSheetContext context;
    XlsxSheet::Read(part, context, cells);
    EXPECT_EQ(CellText(cells.Get(1, 1)), "1");
    EXPECT_EQ(CellText(cells.Get(65535, 1)), "");
}

// Shared strings that would take more than their bound, and how.
struct SharedStringsBomb {
    const char* name;
    std::string items;  // the <si> elements
};

void PrintTo(const SharedStringsBomb& b, std::ostream* os) {
    *os << b.name;
}

class SharedStringsBeyondTheirBound : public ::testing::TestWithParam<SharedStringsBomb> {};

// Regression: one 400 MB shared string, and 200 million empty ones, were
// held whole (the first until the memory ran out); they count against the
// bound of the texts a load holds. Here with a bound of 1 MB.
TEST_P(SharedStringsBeyondTheirBound, AreRefusedNamingThePart) {
    std::string xml = "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
                      GetParam().items + "</sst>";
    MemoryPart part(xml, "book.xlsx", "xl/sharedStrings.xml");
    try {
        ParseSharedStrings(part, 1 << 20);
        FAIL() << "no bound";
    } catch (const WorkbookError& e) {
        EXPECT_STREQ(
            e.what(),
            "The workbook book.xlsx is refused: its shared strings (xl/sharedStrings.xml) "
            "hold more than 1 MB of text, far beyond any real workbook. It is not loaded.");
    }
}

std::string Repeated(const std::string& text, std::size_t times) {
    std::string out;
    out.reserve(text.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Bombs, SharedStringsBeyondTheirBound,
    ::testing::Values(SharedStringsBomb{"OneHugeText",
                                        "<si><t>" + std::string(2 << 20, 'a') + "</t></si>"},
                      SharedStringsBomb{"ManyEmptyTexts", Repeated("<si/>", 200000)},
                      SharedStringsBomb{"ManyShortTexts", Repeated("<si><t>ab</t></si>", 120000)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SharedStrings, WithinTheirBoundAreRead) {
    std::string xml = "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
                      Repeated("<si/>", 1000) + "<si><t>last</t></si></sst>";
    MemoryPart part(xml, "book.xlsx", "xl/sharedStrings.xml");
    SharedStrings strings = ParseSharedStrings(part, 1 << 20);
    ASSERT_EQ(strings.Count(), 1001u);
    EXPECT_EQ(strings.At(1000), "last");
}

}  // namespace
}  // namespace ledgerlift
