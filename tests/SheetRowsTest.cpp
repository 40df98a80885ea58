#include <gtest/gtest.h>

#include <ostream>

#include "import/OpenWorkbook.h"
#include "load/LoadWorkbook.h"
#include "load/SheetRows.h"
#include "tests/PackageWriter.h"
#include "tests/TestSupport.h"
#include "ui/ScriptedWindowOps.h"

namespace ledgerlift {
namespace {

// Rows 1 to `last` of an .xlsx sheet with a number in column B, but none in
// row `blank` (0: no such row).
std::string XlsxRows(int last, int blank) {
    std::string rows;
    rows.reserve(static_cast<std::size_t>(last) * 48);
    for (int r = 1; r <= last; ++r) {
        std::string n = std::to_string(r);
        rows += "<row r=\"" + n + "\"><c r=\"A" + n + "\"><v>1</v></c>";
        if (r != blank) {
            rows += "<c r=\"B" + n + "\" t=\"inlineStr\"><is><t>x</t></is></c>";
        }
        rows += "</row>";
    }
    return rows;
}

std::string OdsRow(const std::string& columnB, const std::string& repeated) {
    return "<table:table-row table:number-rows-repeated=\"" + repeated +
           "\"><table:table-cell/><table:table-cell office:value-type=\"string\"><text:p>" +
           columnB + "</text:p></table:table-cell></table:table-row>";
}

std::string OdsTable(const std::string& rows) {
    return "<table:table table:name=\"Items\">" + rows + "</table:table>";
}

// A workbook whose first sheet goes on below row 65000, and how many of its
// rows below row 65000 the stop rule would read.
struct LongSheet {
    const char* name;
    const char* file;
    test::Parts parts;
    int below;
};

void PrintTo(const LongSheet& s, std::ostream* os) {
    *os << s.name;
}

class RowsBelowRow65000 : public ::testing::TestWithParam<LongSheet> {};

// Regression: 150,001 rows per sheet said 536 rows below row 65000 were not
// read, 85,001 being right, and an .ods sheet that repeats a row 10^9 times
// said 536 too: only the rows that the reader holds were counted.
TEST_P(RowsBelowRow65000, AreCountedWhereTheReaderHoldsThemOrNot) {
    test::TempFolder dir;
    std::string path = dir.File(GetParam().file);
    test::WriteZip(path, GetParam().parts);
    AnyWorkbookReader book;
    book.Open(path);
    SheetPlan items;
    items.sheet = 1;
    items.columns = ColumnsByPosition({}, SheetKind::Items);
    EXPECT_EQ(RowsBelowLimit(book, items), GetParam().below);
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, RowsBelowRow65000,
    ::testing::Values(
        LongSheet{"XlsxRowByRow", "rows.xlsx", test::XlsxParts({XlsxRows(150001, 0)}), 85001},
        LongSheet{"XlsxUpToABlankRow", "rows.xlsx", test::XlsxParts({XlsxRows(80000, 70000)}),
                  4999},
        // Row 65500 holds column A alone: a row that holds something is read
        // past, so it counts.
        LongSheet{"XlsxEndingInTheWindow", "rows.xlsx", test::XlsxParts({XlsxRows(66000, 65500)}),
                  1000},
        LongSheet{"OdsRepeatedRows", "rows.ods",
                  test::OdsParts(OdsTable(OdsRow("Code", "1") + OdsRow("x", "1000000000"))),
                  999935001},
        LongSheet{"OdsRepeatsUpToABlankRow", "rows.ods",
                  test::OdsParts(OdsTable(OdsRow("Code", "1") + OdsRow("x", "70000") +
                                          OdsRow(" ", "1") + OdsRow("x", "50000"))),
                  5001},
        LongSheet{
            "OdsRowsRepeatedBelowTheWindow", "rows.ods",
            test::OdsParts(OdsTable(OdsRow("x", "65536") + OdsRow("y", "3") + OdsRow("z", "1000"))),
            1539}),
    [](const auto& info) { return std::string(info.param.name); });

// Regression: headings in row 12, below the rows searched for them, were
// loaded as an item ("ITEM CODE" in category "CATEGORY") and a ledger, and
// the run then said all was migrated. A row of texts that name their own
// fields is never data, and the load says where it stood.
TEST(HeadingRowsBelowTheSearch, AreNeverData) {
    auto cell = [](const std::string& ref, const std::string& text) {
        return "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
    };
    std::string items = "<row r=\"1\">" + cell("A1", "Opening stock") + "</row><row r=\"12\">" +
                        cell("A12", "ITEM CODE") + cell("B12", "ITEM NAME") +
                        cell("C12", "CATEGORY") + "</row><row r=\"13\">" + cell("A13", "A1") +
                        cell("B13", "Soap") + cell("C13", "Toiletries") + "</row>";
    // Row 14 holds words of the fields' names, yet no name: it is data.
    std::string ledgers = "<row r=\"12\">" + cell("A12", "Ledger Alias Name") +
                          cell("B12", "Ledger Name") + "</row><row r=\"13\">" + cell("A13", "AC") +
                          cell("B13", "Acme Traders") + "</row><row r=\"14\">" +
                          cell("B14", "Ledger number 1") + cell("D14", "1 Long Street") + "</row>";
    test::TempFolder dir;
    std::string path = dir.File("low.xlsx");
    test::WriteZip(path, test::XlsxParts({items, ledgers}));
    FormControls form;
    ScriptedWindowOps ops;
    ops.QueueFile(path);
    AnyWorkbookReader book;
    LoadWorkbook(form, ops, book);
    ASSERT_TRUE(form.workbookLoaded);
    EXPECT_EQ(form.itemGrid.Rows(), 3) << "the item row and the empty row only";
    EXPECT_EQ(std::string(form.itemGrid.TextMatrix(1, 1)), "A1");
    EXPECT_EQ(form.ledgerGrid.Rows(), 4) << "the two ledger rows and the empty row only";
    ASSERT_FALSE(form.loadWarnings.empty());
    EXPECT_EQ(
        form.loadWarnings[0].rfind("Worksheet row 12 of worksheet 1 (Sheet1) holds headings", 0),
        0u)
        << form.loadWarnings[0];
    EXPECT_NE(form.loadLines[0].find("1 row of headings skipped: worksheet row 12"),
              std::string::npos)
        << form.loadLines[0];
}

}  // namespace
}  // namespace ledgerlift
