#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <utility>

#include "import/OpenWorkbook.h"
#include "import/core/CellText.h"
#include "import/core/PartReader.h"
#include "import/core/SheetStore.h"
#include "import/ods/OdsContent.h"
#include "import/xlsx/XlsxSheet.h"
#include "tests/PackageWriter.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

constexpr std::uint64_t kCell = sizeof(StoredCell);

TEST(SheetStore, ACellTakesSixteenBytesAndARowOnlyTheColumnsItFills) {
    EXPECT_EQ(kCell, 16u);
    SheetStore store;
    constexpr std::uint32_t kRowCount = 5000;
    for (std::uint32_t row = 0; row < kRowCount; ++row) {
        for (std::uint32_t col = 0; col < 9; ++col) {
            store.Put(row, col, StoredCell::Number(row * 10.0 + col));
        }
    }
    EXPECT_EQ(CellText(store.Get(4321, 8)), "43218");
    EXPECT_EQ(store.Get(4321, 9).kind, CellValue::Kind::Empty);
    // Nine cells a row, no room for sixteen; a little is lost at the end of
    // each block of cells.
    EXPECT_GE(store.Bytes(), kRowCount * 9 * kCell);
    EXPECT_LT(store.Bytes(), kRowCount * 9 * kCell * 101 / 100);
}

TEST(SheetStore, ASharedStringIsKeptOnceForEveryCellThatShowsIt) {
    auto strings = std::make_shared<SharedStrings>();
    strings->Add("Sundry Debtors");
    strings->Add("Sundry Creditors");
    SheetStore store;
    store.UseSharedStrings(strings);
    for (std::uint32_t row = 0; row < 200; ++row) {
        store.Put(row, 0, StoredCell::Shared(row % 2));
    }
    EXPECT_EQ(store.Bytes(), 200 * kCell) << "the cells name the strings; no text is copied";
    EXPECT_EQ(CellText(store.Get(0, 0)), "Sundry Debtors");
    EXPECT_EQ(CellText(store.Get(199, 0)), "Sundry Creditors");
}

// Regression: a text cell of an .xls file that names a shared string beyond
// the table read as an empty text, not as an empty cell or a fault.
TEST(SheetStore, ASharedStringBeyondTheTableReadsAsAnEmptyText) {
    SheetStore store;
    store.Put(0, 0, StoredCell::Shared(0));  // no table at all
    auto strings = std::make_shared<SharedStrings>();
    strings->Add("only");
    SheetStore other;
    other.UseSharedStrings(strings);
    other.Put(0, 0, StoredCell::Shared(1));
    for (const SheetStore* s : {&store, &other}) {
        CellValue value = s->Get(0, 0);
        EXPECT_EQ(value.kind, CellValue::Kind::Text);
        EXPECT_EQ(value.text, "");
    }
}

TEST(SheetStore, ATextShownInManyPlacesIsKeptOnce) {
    SheetStore store;
    StoredCell category = store.Text("Category 001");
    for (std::uint32_t col = 0; col < 200; ++col) {
        store.Put(0, col, category);
    }
    EXPECT_EQ(store.Bytes(), 200 * kCell + 12);
    EXPECT_EQ(CellText(store.Get(0, 199)), "Category 001");
}

TEST(SheetStore, AMovedStoreLeavesAnEmptyOneThatCanBeFilledAgain) {
    SheetStore store;
    store.Put(3, 3, CellValue::Text("kept"));
    SheetStore moved = std::move(store);
    EXPECT_EQ(CellText(moved.Get(3, 3)), "kept");
    EXPECT_EQ(store.Bytes(), 0u);                             // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(store.Get(3, 3).kind, CellValue::Kind::Empty);  // NOLINT(bugprone-use-after-move)
    store.Put(3, 3, CellValue::Text("new"));                  // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(CellText(store.Get(3, 3)), "new");
    EXPECT_EQ(CellText(moved.Get(3, 3)), "kept") << "the two share nothing";
}

// Random writes, in any order, over a few rows, with repeated rows between
// them; every cell must read back as a plain map of the same writes says.
struct RandomWrites {
    const char* name;
    unsigned seed;
    int writes;
};

void PrintTo(const RandomWrites& w, std::ostream* os) {
    *os << w.name;
}

class SheetStoreWrites : public ::testing::TestWithParam<RandomWrites> {};

TEST_P(SheetStoreWrites, ReadBackAsAPlainMapOfThemSays) {
    std::mt19937 random(GetParam().seed);
    auto pick = [&](int n) { return static_cast<std::uint32_t>(random() % n); };
    auto strings = std::make_shared<SharedStrings>();
    for (const char* s : {"a", "bb", "a text longer than fifteen characters", "", "Nos"}) {
        strings->Add(s);
    }
    SheetStore store;
    store.UseSharedStrings(strings);
    using Row = std::map<std::uint32_t, CellValue>;
    std::map<std::uint32_t, Row> model;

    for (int i = 0; i < GetParam().writes; ++i) {
        std::uint32_t row = pick(40);
        if (pick(20) == 0) {
            std::uint64_t times = pick(6);
            store.RepeatRow(row, times);
            auto source = model.find(row);
            if (source != model.end() && times > 0) {
                Row copy = source->second;
                for (std::uint32_t r = row + 1; r <= row + times; ++r) {
                    model[r] = copy;
                }
            }
            continue;
        }
        // Mostly the columns a sheet has, now and then one far right or
        // beyond the window.
        std::uint32_t col = pick(10) == 0 ? pick(300) : pick(16);
        CellValue value;
        StoredCell cell = StoredCell::Empty();
        switch (pick(7)) {
            case 0:
                value = CellValue::Number(pick(100000) / 8.0);
                cell = StoredCell::Number(value.number);
                break;
            case 1:
                value = CellValue::DateSerial(40000 + pick(1000));
                cell = StoredCell::DateSerial(value.number);
                break;
            case 2:
                value = CellValue::Boolean(pick(2) == 1);
                cell = StoredCell::Boolean(value.number != 0);
                break;
            case 3: {
                std::uint32_t index = pick(7);  // 5 and 6 lie beyond the table
                value = CellValue::Text(index < strings->Count() ? std::string(strings->At(index))
                                                                 : std::string());
                cell = StoredCell::Shared(index);
                break;
            }
            case 4:
                value = CellValue::Text(std::string(pick(40), static_cast<char>('a' + pick(26))));
                cell = store.Text(value.text);
                break;
            case 5:
                value = CellValue::Error("#N/A");
                cell = store.Error(value.text);
                break;
            default:
                break;  // an empty cell put there
        }
        bool inside = store.Put(row, col, cell);
        EXPECT_EQ(inside, col < SheetStore::kCols);
        if (inside) {
            model[row][col] = value;
        }
    }
    for (std::uint32_t row = 0; row < 50; ++row) {
        for (std::uint32_t col = 0; col < 260; ++col) {
            CellValue want;
            if (auto r = model.find(row); r != model.end()) {
                if (auto c = r->second.find(col); c != r->second.end()) {
                    want = c->second;
                }
            }
            CellValue got = store.Get(row, col);
            ASSERT_EQ(got.kind, want.kind) << "row " << row << ", column " << col;
            ASSERT_EQ(got.text, want.text) << "row " << row << ", column " << col;
            ASSERT_EQ(got.number, want.number) << "row " << row << ", column " << col;
            std::optional<std::string_view> view = store.TextView(row, col);
            bool textual =
                want.kind == CellValue::Kind::Text || want.kind == CellValue::Kind::Error;
            ASSERT_EQ(view.has_value(), textual) << "row " << row << ", column " << col;
            if (textual) {
                ASSERT_EQ(*view, want.text) << "row " << row << ", column " << col;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, SheetStoreWrites,
                         ::testing::Values(RandomWrites{"FewWrites", 1, 60},
                                           RandomWrites{"ManyWrites", 2, 3000},
                                           RandomWrites{"ManyMoreWrites", 3, 20000},
                                           RandomWrites{"AnotherOrder", 4, 3000}),
                         [](const auto& info) { return std::string(info.param.name); });

// The import reads each cell's text into the same string, row after row:
// whatever that string held before, it must end up as CellText of the cell.
struct Workbook {
    const char* name;
    const char* fixture;
};

void PrintTo(const Workbook& w, std::ostream* os) {
    *os << w.name;
}

class CellTexts : public ::testing::TestWithParam<Workbook> {};

TEST_P(CellTexts, ReadIntoAReusedStringAreTheCellTextsOfTheCells) {
    AnyWorkbookReader book;
    book.Open(test::FixturePath(GetParam().fixture));
    std::string reused = "a text longer than most cells, left from the cell before";
    int texts = 0;
    for (int sheet = 1; sheet <= book.SheetCount(); ++sheet) {
        for (int row = 0; row <= 40; ++row) {
            for (int col = 0; col <= 20; ++col) {
                std::string want = CellText(book.Cell(sheet, row, col));
                book.ReadCellText(sheet, row, col, reused);
                ASSERT_EQ(reused, want)
                    << "sheet " << sheet << ", row " << row << ", column " << col;
                texts += !want.empty();
            }
        }
    }
    EXPECT_GT(texts, 10) << "the workbook has cells to compare";
    EXPECT_THROW(book.ReadCellText(book.SheetCount() + 1, 1, 1, reused), WorkbookError);
    book.ReleaseSheet(1);
    EXPECT_THROW(book.ReadCellText(1, 2, 2, reused), WorkbookError) << "as Cell throws";
}

INSTANTIATE_TEST_SUITE_P(Fixtures, CellTexts,
                         ::testing::Values(Workbook{"RealXls", "real_mixed.xls"},
                                           Workbook{"RealXlsx", "real_mixed.xlsx"},
                                           Workbook{"RealOds", "real_mixed.ods"},
                                           Workbook{"TextRulesXls", "text_rules.xls"},
                                           Workbook{"TextRulesXlsx", "text_rules.xlsx"},
                                           Workbook{"TextRulesOds", "text_rules.ods"},
                                           Workbook{"XlsxKinds", "xlsx_kinds.xlsx"},
                                           Workbook{"EmptyTextXls", "empty_text.xls"},
                                           Workbook{"GnumericOds", "gnumeric_mixed.ods"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SheetStore, SharedStringsOfAnXlsxSheetAreNamedNotCopied) {
    std::string rows;
    for (int r = 1; r <= 100; ++r) {
        rows += "<row r=\"" + std::to_string(r) + "\"><c t=\"s\"><v>" + std::to_string(r % 2) +
                "</v></c></row>";
    }
    std::string xml =
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<sheetData>" +
        rows + "</sheetData></worksheet>";
    auto strings = std::make_shared<SharedStrings>();
    strings->Add("Sundry Debtors");
    strings->Add("Sundry Creditors");
    XlsxStyles styles;
    XlsxSheetContext context{strings, &styles, false, nullptr};
    SheetStore cells;
    MemoryPart part(xml);
    XlsxSheet::Read(part, context, cells);
    EXPECT_EQ(CellText(cells.Get(99, 0)), "Sundry Debtors");
    EXPECT_EQ(CellText(cells.Get(0, 0)), "Sundry Creditors");
    EXPECT_EQ(cells.Bytes(), 100 * kCell);
}

TEST(SheetStore, AnOdsTextRepeatedOverColumnsIsKeptOnce) {
    std::string table =
        R"(<table:table table:name="Items"><table:table-row><table:table-cell
           table:number-columns-repeated="200" office:value-type="string"><text:p>Category
           001</text:p></table:table-cell></table:table-row></table:table>)";
    std::string xml = test::OdsContentXml(table);
    MemoryPart part(xml, "book.ods", "content.xml");
    std::vector<StoredSheet> sheets = OdsContent::Read(part);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(CellText(sheets[0].cells.Get(0, 0)), "Category 001");
    EXPECT_EQ(CellText(sheets[0].cells.Get(0, 199)), "Category 001");
    EXPECT_EQ(sheets[0].cells.Bytes(), 200 * kCell + 12);
}

// Below the window only the run of rows with something in column B is kept,
// from the first row below it down.
TEST(SheetStore, KeepsTheRunOfFilledRowsBelowTheWindow) {
    SheetStore store;
    EXPECT_EQ(store.FilledEndBelow(), SheetStore::kRows);
    store.FilledBelow(SheetStore::kRows, 10);
    store.FilledBelow(SheetStore::kRows + 10, 5);
    EXPECT_EQ(store.FilledEndBelow(), SheetStore::kRows + 15);
    store.FilledBelow(SheetStore::kRows + 16, 100);  // after a blank row: no part of the run
    EXPECT_EQ(store.FilledEndBelow(), SheetStore::kRows + 15);
    store.FilledBelow(5, 100);  // inside the window: Put's business
    EXPECT_EQ(store.FilledEndBelow(), SheetStore::kRows + 15);
}

TEST(SheetStore, ARowRepeatedPastTheWindowFillsTheRunBelowIt) {
    SheetStore filled;
    filled.Put(65000, 1, CellValue::Text("x"));
    filled.RepeatRow(65000, 1000000000);
    EXPECT_EQ(filled.FilledEndBelow(), 65000u + 1000000000u + 1u);
    SheetStore blank;
    blank.Put(65000, 0, CellValue::Text("x"));
    blank.Put(65000, 1, CellValue::Text("   "));
    blank.RepeatRow(65000, 1000000000);
    EXPECT_EQ(blank.FilledEndBelow(), SheetStore::kRows) << "column B holds spaces only";
}

}  // namespace
}  // namespace ledgerlift
