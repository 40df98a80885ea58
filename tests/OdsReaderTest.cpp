#include <gtest/gtest.h>

#include <ostream>

#include "import/core/CellText.h"
#include "import/core/PartReader.h"
#include "import/ods/OdsContent.h"
#include "import/ods/OdsReader.h"
#include "tests/PackageWriter.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

// The sheets of a content part holding these tables.
std::vector<StoredSheet> Read(const std::string& tables) {
    std::string xml = test::OdsContentXml(tables);
    MemoryPart part(xml, "book.ods", "content.xml");
    return OdsContent::Read(part);
}

std::string Row(const std::string& cells, const std::string& attributes = "") {
    return "<table:table-row" + attributes + ">" + cells + "</table:table-row>";
}

std::string Table(const std::string& rows, const std::string& name = "Items") {
    return "<table:table table:name=\"" + name + "\">" + rows + "</table:table>";
}

// A cell's XML and the text it reads as.
struct OdsCell {
    const char* name;
    const char* xml;
    const char* text;
};

void PrintTo(const OdsCell& c, std::ostream* os) {
    *os << c.name;
}

class OdsCells : public ::testing::TestWithParam<OdsCell> {};

TEST_P(OdsCells, ReadByTheRulesOfTheXlsReader) {
    auto sheets = Read(Table(Row(GetParam().xml)));
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(CellText(sheets[0].cells.Get(0, 0)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, OdsCells,
    ::testing::Values(
        OdsCell{"Float", R"(<table:table-cell office:value-type="float" office:value="12.50">
                <text:p>12.5</text:p></table:table-cell>)",
                "12.5"},
        OdsCell{"PercentageAsItShows",
                R"(<table:table-cell office:value-type="percentage" office:value="0.125"/>)",
                "12.5%"},
        OdsCell{"CurrencyIsItsNumber", R"(<table:table-cell office:value-type="currency"
                office:currency="USD" office:value="1234.5"><text:p>$1,234.50</text:p>
                </table:table-cell>)",
                "1234.5"},
        OdsCell{"Date", R"(<table:table-cell office:value-type="date"
                office:date-value="2009-04-01"/>)",
                "2009-04-01"},
        OdsCell{"DateAndTime", R"(<table:table-cell office:value-type="date"
                office:date-value="2009-04-01T10:30:00"/>)",
                "2009-04-01 10:30:00"},
        OdsCell{"TimeOfDay", R"(<table:table-cell office:value-type="time"
                office:time-value="PT10H30M00S"/>)",
                "10:30:00"},
        OdsCell{"Boolean", R"(<table:table-cell office:value-type="boolean"
                office:boolean-value="true"/>)",
                "TRUE"},
        OdsCell{"StringValueAttribute", R"(<table:table-cell office:value-type="string"
                office:string-value="as stored"><text:p>as shown</text:p></table:table-cell>)",
                "as stored"},
        OdsCell{"ParagraphsJoinedByLineFeeds", R"(<table:table-cell office:value-type="string">
                <text:p>one</text:p><text:p>two</text:p></table:table-cell>)",
                "one\ntwo"},
        OdsCell{"SpacesTabAndLineBreak", R"(<table:table-cell office:value-type="string"><text:p
                ><text:s text:c="2"/>a<text:s/> b<text:tab/>c<text:line-break/>d</text:p>
                </table:table-cell>)",
                "  a  b\tc\nd"},
        OdsCell{"WhiteSpaceCollapses",
                "<table:table-cell office:value-type=\"string\"><text:p>"
                "  a \n\t b  </text:p></table:table-cell>",
                "a b "},
        OdsCell{"ATrailingBlankIsKept",
                "<table:table-cell office:value-type=\"string\"><text:p>SPX11 </text:p>"
                "</table:table-cell>",
                "SPX11 "},
        OdsCell{"ALeadingBlankIsDropped",
                "<table:table-cell office:value-type=\"string\"><text:p> SPX11</text:p>"
                "</table:table-cell>",
                "SPX11"},
        OdsCell{"BlanksOnlyReadAsNone",
                "<table:table-cell office:value-type=\"string\"><text:p>   </text:p>"
                "</table:table-cell>",
                ""},
        OdsCell{"ATrailingBlankBeforeANoteIsKept",
                "<table:table-cell office:value-type=\"string\"><text:p>a <office:annotation>"
                "<text:p>note</text:p></office:annotation></text:p></table:table-cell>",
                "a "},
        OdsCell{"ATrailingBlankInASpanIsKept",
                "<table:table-cell office:value-type=\"string\"><text:p>a<text:span> b </text:span>"
                "</text:p><text:p>c </text:p></table:table-cell>",
                "a b \nc "},
        OdsCell{"SpansAndLinks", R"(<table:table-cell office:value-type="string"><text:p>see
                <text:span>the</text:span> <text:a xlink:href="http://example.com/">site</text:a
                ></text:p></table:table-cell>)",
                "see the site"},
        OdsCell{"NotesAndDrawingsLeftOut", R"(<table:table-cell office:value-type="string">
                <office:annotation><dc:creator>me</dc:creator><text:p>note</text:p>
                </office:annotation><text:p>shown<text:note><text:note-body><text:p>foot</text:p>
                </text:note-body></text:note></text:p><draw:frame><draw:text-box><text:p>box
                </text:p></draw:text-box></draw:frame></table:table-cell>)",
                "shown"},
        OdsCell{"ErrorResultAsTheXlsReaderGivesIt", R"(<table:table-cell table:formula="of:=1/0"
                office:value-type="string" office:string-value="" calcext:value-type="error">
                <text:p>#DIV/0!</text:p></table:table-cell>)",
                "#DIV/0!"},
        OdsCell{"ErrorCodeAsItsErrorValue", R"x(<table:table-cell table:formula="of:=SQRT(-1)"
                office:value-type="float" office:value="0" calcext:value-type="error">
                <text:p>Err:502</text:p></table:table-cell>)x",
                "#VALUE!"},
        OdsCell{"FormulaCachedValue", R"(<table:table-cell table:formula="of:=1+1"
                office:value-type="float" office:value="2"><text:p>2</text:p>
                </table:table-cell>)",
                "2"},
        OdsCell{"FormulaWithoutValueIsEmpty", R"(<table:table-cell table:formula="of:=1+1"/>)", ""},
        OdsCell{"TextWithoutAValueType", R"(<table:table-cell><text:p>plain</text:p>
                </table:table-cell>)",
                "plain"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OdsContent, WorksheetsAreTheTablesInDocumentOrder) {
    auto sheets = Read(Table("", "First") + Table("", "Second"));
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].name, "First");
    EXPECT_EQ(sheets[1].name, "Second");
}

TEST(OdsContent, RepeatedColumnsAndCoveredCellsTakeTheirPositions) {
    auto sheets = Read(Table(Row(
        R"(<table:table-cell table:number-columns-repeated="3" office:value-type="float"
           office:value="7"/><table:table-cell table:number-columns-spanned="2"
           office:value-type="string"><text:p>merged</text:p></table:table-cell>
           <table:covered-table-cell/><table:table-cell office:value-type="float"
           office:value="9"/>)")));
    const SheetStore& cells = sheets[0].cells;
    EXPECT_EQ(CellText(cells.Get(0, 2)), "7");
    EXPECT_EQ(CellText(cells.Get(0, 3)), "merged");
    EXPECT_EQ(CellText(cells.Get(0, 4)), "");
    EXPECT_EQ(CellText(cells.Get(0, 5)), "9");
}

// LibreOffice ends a sheet with an empty row repeated to the last row, and
// repeats identical rows: neither is stored row by row.
TEST(OdsContent, RepeatedRowsAreSharedAndEmptyOnesCostNothing) {
    std::string cell = R"(<table:table-cell office:value-type="string"><text:p>same</text:p>
                          </table:table-cell>)";
    auto sheets = Read(Table(Row(cell, " table:number-rows-repeated=\"3\"") +
                             Row("<table:table-cell table:number-columns-repeated=\"16384\"/>",
                                 " table:number-rows-repeated=\"1048571\"") +
                             Row(cell)));
    const SheetStore& cells = sheets[0].cells;
    EXPECT_EQ(CellText(cells.Get(0, 0)), "same");
    EXPECT_EQ(CellText(cells.Get(2, 0)), "same");
    EXPECT_EQ(CellText(cells.Get(3, 0)), "");
    EXPECT_EQ(CellText(cells.Get(65535, 0)), "");
    EXPECT_LT(cells.Bytes(), 1024u) << "one stored row for the three, none for the million";
}

TEST(OdsContent, CountsFormulaCellsWithoutAValueWithTheirRepeats) {
    auto sheets = Read(Table(Row(R"(<table:table-cell table:formula="of:=1"
                                    table:number-columns-repeated="2"/>)",
                                 " table:number-rows-repeated=\"3\"")) +
                       Table(Row(R"(<table:table-cell table:formula="of:=1"
                                    office:value-type="float" office:value="1"/>)")));
    EXPECT_EQ(sheets[0].formulasWithoutResult, 6);
    EXPECT_EQ(sheets[1].formulasWithoutResult, 0);
}

TEST(OdsContent, ErrorTextsAreTheXlsReadersOwn) {
    EXPECT_EQ(OdsContent::ErrorText("#N/A"), "#N/A");
    EXPECT_EQ(OdsContent::ErrorText("#NAME?"), "#NAME?");
    EXPECT_EQ(OdsContent::ErrorText("Err:503"), "#NUM!");
    EXPECT_EQ(OdsContent::ErrorText("Err:532"), "#DIV/0!");
    EXPECT_EQ(OdsContent::ErrorText("Err:999"), "#N/A");
}

TEST(OdsReader, ReadsASpreadsheetSavedByLibreOffice) {
    OdsReader book;
    book.Open(test::FixturePath("real_mixed.ods"));
    EXPECT_EQ(book.SheetCount(), 2);
    EXPECT_EQ(CellText(book.Cell(1, 2, 15)), "  Lux  ");
    EXPECT_EQ(CellText(book.Cell(1, 3, 8)), "#DIV/0!");
    EXPECT_EQ(CellText(book.Cell(1, 4, 15)), "2009-04-01 10:30:00");
    EXPECT_EQ(CellText(book.Cell(2, 3, 2)), "O'Brien & Sons");
    EXPECT_EQ(book.FormulasWithoutResult(1), 0);
}

// Regression: a cell "SPX11 " saved by LibreOffice, its one trailing blank
// written as it is, read "SPX11".
TEST(OdsReader, KeepsATrailingBlankInsideTextP) {
    test::TempFolder dir;
    std::string path = dir.File("book.ods");
    test::WriteZip(path, test::OdsParts(Table(Row(
                             R"(<table:table-cell office:value-type="string"><text:p>SPX11 </text:p>
        </table:table-cell><table:table-cell office:value-type="string"><text:p><text:s
        text:c="2"/>Lux <text:s/></text:p></table:table-cell>)"))));
    OdsReader book;
    book.Open(path);
    EXPECT_EQ(CellText(book.Cell(1, 1, 1)), "SPX11 ");
    EXPECT_EQ(CellText(book.Cell(1, 1, 2)), "  Lux  ");
}

TEST(OdsReader, CountsFormulaCellsThatAProgramLeftUncalculated) {
    test::TempFolder dir;
    std::string path = dir.File("book.ods");
    test::WriteZip(path, test::OdsParts(Table(Row(R"(<table:table-cell office:value-type="string"
        ><text:p>A1</text:p></table:table-cell><table:table-cell table:formula="of:=1+1"/>)")) +
                                        Table("", "Ledgers")));
    OdsReader book;
    book.Open(path);
    EXPECT_EQ(book.FormulasWithoutResult(1), 1);
    EXPECT_EQ(book.FormulasWithoutResult(2), 0);
    EXPECT_EQ(CellText(book.Cell(1, 1, 2)), "");
}

}  // namespace
}  // namespace ledgerlift
