#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "import/OpenWorkbook.h"
#include "load/ColumnMap.h"
#include "load/FieldCatalog.h"
#include "load/GridLayouts.h"
#include "load/HeadingWords.h"
#include "load/LoadWorkbook.h"
#include "tests/TestSupport.h"
#include "ui/FormControls.h"
#include "ui/ScriptedWindowOps.h"

namespace ledgerlift {
namespace {

// Every name a field goes by claims that field, on its own sheet.
struct FieldName {
    SheetKind kind;
    int gridCol;
    std::string name;
};

void PrintTo(const FieldName& f, std::ostream* os) {
    *os << KindWord(f.kind) << " " << f.name;
}

std::vector<FieldName> AllFieldNames() {
    std::vector<FieldName> names;
    for (SheetKind kind : {SheetKind::Items, SheetKind::Ledgers}) {
        for (const FieldInfo& field : Fields(kind)) {
            names.push_back({kind, field.gridCol, field.caption});
            for (const char* name : field.names) {
                names.push_back({kind, field.gridCol, name});
            }
        }
    }
    return names;
}

class FieldNames : public ::testing::TestWithParam<FieldName> {};

TEST_P(FieldNames, ClaimTheirField) {
    std::optional<HeadingClaim> claim = ClaimOf(GetParam().name, GetParam().kind);
    ASSERT_TRUE(claim.has_value()) << "claims nothing";
    EXPECT_EQ(claim->gridCol, GetParam().gridCol)
        << "claims "
        << Fields(GetParam().kind)[static_cast<std::size_t>(claim->gridCol) - 1].caption;
}

INSTANTIATE_TEST_SUITE_P(Catalog, FieldNames, ::testing::ValuesIn(AllFieldNames()),
                         [](const auto& info) {
                             std::string name = std::string(KindWord(info.param.kind)) + "_" +
                                                info.param.name + "_" + std::to_string(info.index);
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

// Headings as bookkeepers write them, and the field each claims (0: none).
struct Heading {
    const char* name;
    SheetKind kind;
    const char* heading;
    int gridCol;
};

void PrintTo(const Heading& h, std::ostream* os) {
    *os << h.name;
}

class Headings : public ::testing::TestWithParam<Heading> {};

TEST_P(Headings, ClaimTheFieldTheirWordsName) {
    std::optional<HeadingClaim> claim = ClaimOf(GetParam().heading, GetParam().kind);
    EXPECT_EQ(claim ? claim->gridCol : 0, GetParam().gridCol) << GetParam().heading;
}

INSTANTIATE_TEST_SUITE_P(
    Words, Headings,
    ::testing::Values(
        Heading{"WholesaleRate", SheetKind::Items, "Wholesale Rate", item::Wholesale},
        Heading{"RateInclTaxSales", SheetKind::Items, "Rate Incl. Tax (Sales)",
                item::RateInclusiveSales},
        Heading{"RateInclTaxPurchase", SheetKind::Items, "Rate Incl. Tax (Purchase)",
                item::RateInclusivePurchase},
        Heading{"CaseAndBlanks", SheetKind::Items, "  item   CODE ", item::Code},
        Heading{"CurrencyInBrackets", SheetKind::Items, "Purchase Rate (Rs)", item::PurchaseRate},
        Heading{"CurrencySignAtTheEnd", SheetKind::Ledgers, "Opening Balance \u20b9",
                ledger::OpeningBalance},
        Heading{"PercentAtTheEnd", SheetKind::Items, "Tax %", item::SalesVat},
        Heading{"UnitInBrackets", SheetKind::Items, "Qty (Nos)", item::Qoh},
        Heading{"Abbreviations", SheetKind::Ledgers, "Op. Bal.", ledger::OpeningBalance},
        Heading{"WordsWrittenTogether", SheetKind::Ledgers, "AccountGroup", ledger::AccountGroup},
        Heading{"SlashBetweenSides", SheetKind::Ledgers, "Dr/Cr", ledger::DrCr},
        Heading{"MoreWordsWin", SheetKind::Ledgers, "Ledger Alias Name", ledger::AliasName},
        Heading{"BalanceTypeIsTheSide", SheetKind::Ledgers, "Balance Type", ledger::DrCr},
        Heading{"SmallWordsDoNotCount", SheetKind::Items, "Rate Inclusive of the Tax (Sales)",
                item::RateInclusiveSales},
        Heading{"RateAlone", SheetKind::Items, "Rate", 0},
        Heading{"PriceAlone", SheetKind::Items, "Price (Rs)", 0},
        Heading{"AmountOnTheItemSheet", SheetKind::Items, "Amount", 0},
        Heading{"AmountOnTheLedgerSheet", SheetKind::Ledgers, "Amount", ledger::OpeningBalance},
        Heading{"UnitPriceIsNoUnit", SheetKind::Items, "Unit Price", 0},
        Heading{"TwoFieldsAlike", SheetKind::Ledgers, "Opening Balance Dr/Cr", 0},
        Heading{"AnotherScript", SheetKind::Items, "\u0935\u0938\u094d\u0924\u0941", 0},
        Heading{"Empty", SheetKind::Items, "   ", 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A workbook of tests/fixtures/headings loaded as the load button loads it,
// in each format, and what it must give.
struct GridCell {
    char grid;  // 'i' items, 'l' ledgers
    int row;
    int col;
    const char* text;
};

struct LoadCase {
    const char* name;
    std::vector<std::string> itemCodes;  // grid column 1, row by row
    std::vector<std::string> ledgerNames;
    std::vector<GridCell> cells;
    std::vector<std::string> lines;     // the load's lines, in full
    std::vector<std::string> warnings;  // the load's sheet-wide warnings
    const char* refusal = "";           // a load that fails: part of its sentence
};

void PrintTo(const LoadCase& c, std::ostream* os) {
    *os << c.name;
}

class LoadCases : public ::testing::TestWithParam<std::tuple<LoadCase, const char*>> {
  protected:
    std::vector<std::string> GridColumn(const Grid& grid, int col) {
        std::vector<std::string> texts;
        for (int r = 1; r <= grid.Rows() - 2; ++r) {
            texts.emplace_back(grid.TextMatrix(r, col));
        }
        return texts;
    }
    std::vector<std::string> Messages() {
        std::vector<std::string> texts;
        for (const auto& m : ops.Messages()) {
            texts.push_back(m.text);
        }
        return texts;
    }

    FormControls form;
    ScriptedWindowOps ops;
};

TEST_P(LoadCases, FillTheGridsAndSayWhatWasRead) {
    const auto& [c, format] = GetParam();
    std::string path = test::FixturePath(std::string("headings/") + c.name + "." + format);
    ops.QueueFile(path);
    AnyWorkbookReader book;
    LoadWorkbook(form, ops, book);
    if (*c.refusal) {
        EXPECT_FALSE(form.workbookLoaded);
        ASSERT_EQ(ops.Messages().size(), 1u);
        EXPECT_NE(ops.Messages()[0].text.find(c.refusal), std::string::npos)
            << ops.Messages()[0].text;
        EXPECT_NE(ops.Messages()[0].text.find(path), std::string::npos);
        return;
    }
    ASSERT_TRUE(form.workbookLoaded) << ::testing::PrintToString(Messages());
    EXPECT_EQ(GridColumn(form.itemGrid, item::Code), c.itemCodes);
    EXPECT_EQ(GridColumn(form.ledgerGrid, ledger::Name), c.ledgerNames);
    for (const GridCell& cell : c.cells) {
        const Grid& grid = cell.grid == 'i' ? form.itemGrid : form.ledgerGrid;
        EXPECT_EQ(grid.TextMatrix(cell.row, cell.col), cell.text)
            << cell.grid << " row " << cell.row << " column " << cell.col;
    }
    EXPECT_EQ(form.loadLines, c.lines);
    EXPECT_EQ(form.loadWarnings, c.warnings);
}

const std::vector<std::string> kItems = {"A1", "B2", "C3"};
const std::vector<std::string> kLedgers = {"Acme Traders", "O'Brien & Sons"};
const std::string kDescribedItems =
    "Worksheet 1 (Items) read as items, headings in row 1: columns A to P as described; 3 rows "
    "read.";
const std::string kDescribedLedgers =
    "Worksheet 2 (Ledgers) read as ledgers, headings in row 1: columns A to I as described; 2 "
    "rows read.";
// The cells of the first item and ledger rows that every layout must fill alike.
const std::vector<GridCell> kFirstRows = {{'i', 1, item::Name, "Soap"},
                                          {'i', 1, item::Category, "Toiletries"},
                                          {'i', 1, item::Manufacturer, "Acme"},
                                          {'i', 1, item::Qoh, "10"},
                                          {'i', 1, item::PurchaseRate, "18"},
                                          {'i', 1, item::Wholesale, "20"},
                                          {'i', 1, item::Mrp, "25"},
                                          {'i', 1, item::SalesVat, "12.5"},
                                          {'l', 1, ledger::AliasName, "AC"},
                                          {'l', 1, ledger::AccountGroup, "Sundry Debtors"},
                                          {'l', 1, ledger::OpeningBalance, "1500"},
                                          {'l', 1, ledger::DrCr, "Dr"}};

const std::string kShuffledItems =
    "Worksheet 1 (Stock) read as items, headings in row 1: ITEM CODE from B (Code), ITEM NAME "
    "from A (Item), CATEGORY from D (Group), MANUFACTURE from E (Make), QOH from C (Qty), "
    "PURCHASE RATE from F (Purchase Price), WHOLESALE from G (Wholesale Rate), MRP from H, "
    "SALES VAT from I (Tax %), CST from J, PURCHASE VAT from K (Purchase Tax), RATE INCLUSIVE "
    "OF TAX SALES from L (Rate Incl. Tax (Sales)), RATE INCLUSIVE OF TAX PURCHASE from M (Rate "
    "Incl. Tax (Purchase)), UNIT from N, Description from O, ROL from P; 3 rows read.";
const std::string kShuffledLedgers =
    "Worksheet 2 (Parties) read as ledgers, headings in row 1: Ledger Alias Name from E (Alias), "
    "Ledger Name from A (Name), AccountGroup from D (Under), Address from F, Phone from G, TIN "
    "from H (GSTIN), OpeningBalance from C (Opening Balance), DrCr from B (Dr/Cr), Area from I; "
    "2 rows read.";

std::vector<LoadCase> Cases() {
    const std::vector<std::string> none;
    return {
        {"described", kItems, kLedgers, kFirstRows, {kDescribedItems, kDescribedLedgers}, {}},
        {"own_headings", kItems, kLedgers, kFirstRows, {kDescribedItems, kDescribedLedgers}, {}},
        {"shuffled", kItems, kLedgers, kFirstRows, {kShuffledItems, kShuffledLedgers}, {}},
        // HSN codes in a column before CATEGORY: every field still finds its
        // own column, and the code column claims ITEM CODE in vain.
        {"extra_column",
         kItems,
         kLedgers,
         kFirstRows,
         {"Worksheet 1 (Items) read as items, headings in row 1: ITEM CODE from A, ITEM NAME "
          "from B, CATEGORY from D, MANUFACTURE from E, QOH from F, PURCHASE RATE from G, "
          "WHOLESALE from H, MRP from I, SALES VAT from J, CST from K, PURCHASE VAT from L, RATE "
          "INCLUSIVE OF TAX SALES from M, RATE INCLUSIVE OF TAX PURCHASE from N, UNIT from O, "
          "Description from P, ROL from Q; not used: C (HSN Code); 3 rows read.",
          kDescribedLedgers},
         {}},
        {"missing_optional",
         kItems,
         kLedgers,
         {{'i', 1, item::Mrp, ""},
          {'i', 1, item::Description, ""},
          {'i', 1, item::Rol, "5"},
          {'i', 1, item::SalesVat, "12.5"}},
         {"Worksheet 1 (Items) read as items, headings in row 1: ITEM CODE from A, ITEM NAME "
          "from B, CATEGORY from C, MANUFACTURE from D, QOH from E, PURCHASE RATE from F, "
          "WHOLESALE from G, SALES VAT from H, CST from I, PURCHASE VAT from J, RATE INCLUSIVE OF "
          "TAX SALES from K, RATE INCLUSIVE OF TAX PURCHASE from L, UNIT from M, ROL from N; not "
          "in the workbook: MRP, Description; 3 rows read.",
          kDescribedLedgers},
         {}},
        {"missing_required",
         {},
         {},
         {},
         {},
         {},
         "in worksheet 1 (Items), read as items, no column holds ITEM NAME."},
        {"doubled",
         {},
         {},
         {},
         {},
         {},
         "in worksheet 1 (Items), read as items, columns C (Qty) and E (Quantity) both hold QOH."},
        {"ambiguous_rate",
         kItems,
         kLedgers,
         {{'i', 1, item::Qoh, "10"}, {'i', 1, item::PurchaseRate, ""}},
         {"Worksheet 1 (Items) read as items, headings in row 1: ITEM CODE from B (Code), ITEM "
          "NAME from A (Item), CATEGORY from E (Group), QOH from C (Qty); not in the workbook: "
          "MANUFACTURE, PURCHASE RATE, WHOLESALE, MRP, SALES VAT, CST, PURCHASE VAT, RATE "
          "INCLUSIVE OF TAX SALES, RATE INCLUSIVE OF TAX PURCHASE, UNIT, Description, ROL; not "
          "used: D (Rate); 3 rows read.",
          kDescribedLedgers},
         {}},
        {"swapped",
         kItems,
         kLedgers,
         kFirstRows,
         {"Worksheet 2 (Items) read as items, headings in row 1: columns A to P as described; 3 "
          "rows read.",
          "Worksheet 1 (Ledgers) read as ledgers, headings in row 1: columns A to I as described; "
          "2 rows read."},
         {}},
        {"cover_first",
         kItems,
         kLedgers,
         kFirstRows,
         {"Worksheet 2 (Items) read as items, headings in row 1: columns A to P as described; 3 "
          "rows read.",
          "Worksheet 3 (Ledgers) read as ledgers, headings in row 1: columns A to I as described; "
          "2 rows read.",
          "Worksheet 1 (Read Me) was not read: nothing in its headings or its name says it holds "
          "items or ledgers."},
         {}},
        {"customers_suppliers",
         kItems,
         kLedgers,
         {{'l', 1, 0, "2"}, {'l', 2, 0, "2"}, {'l', 2, ledger::DrCr, "Cr"}},
         {kDescribedItems,
          "Worksheet 2 (Customers) read as ledgers, headings in row 1: columns A to I as "
          "described; 1 row read.",
          "Worksheet 3 (Suppliers) read as ledgers, headings in row 1: columns A to I as "
          "described; 1 row read."},
         {}},
        {"items_only", kItems, none, {}, {kDescribedItems}, {}},
        {"title_line",
         kItems,
         kLedgers,
         {{'i', 1, 0, "4"}, {'i', 3, 0, "6"}},
         {"Worksheet 1 (Items) read as items, headings in row 3 (rows above them skipped): "
          "columns A to P as described; 3 rows read.",
          kDescribedLedgers},
         {}},
        // Row 1 is the heading row even when it holds data: it is never read
        // as a row, and the load says the headings were not recognised.
        {"no_heading_row",
         {"B2", "C3"},
         {"O'Brien & Sons"},
         {{'i', 1, 0, "2"}},
         {"Worksheet 1 (Sheet1) read as items (by its place in the workbook), headings in row 1: "
          "columns A to P by position; 2 rows read.",
          "Worksheet 2 (Sheet2) read as ledgers (by its place in the workbook), headings in row "
          "1: columns A to I by position; 1 row read."},
         {"The headings in row 1 of worksheet 1 (Sheet1) are not item headings; columns A to P "
          "are read as ITEM CODE to ROL.",
          "The headings in row 1 of worksheet 2 (Sheet2) are not ledger headings; columns A to I "
          "are read as Ledger Alias Name to Area."}},
        {"units",
         kItems,
         kLedgers,
         {{'i', 1, item::Qoh, "10"},
          {'i', 1, item::Wholesale, "20"},
          {'i', 1, item::Mrp, "25"},
          {'l', 1, ledger::OpeningBalance, "1500"},
          {'l', 1, ledger::DrCr, "Dr"}},
         {"Worksheet 1 (Items) read as items, headings in row 1: ITEM CODE from B, ITEM NAME "
          "from A, CATEGORY from C, MANUFACTURE from D (Make), QOH from E (Qty (Nos)), PURCHASE "
          "RATE from F (Purchase Rate (Rs)), WHOLESALE from G (Selling Price Rs.), MRP from H "
          "(MRP \u20b9), SALES VAT from I (Sales VAT %); not in the workbook: CST, PURCHASE VAT, "
          "RATE INCLUSIVE OF TAX SALES, RATE INCLUSIVE OF TAX PURCHASE, UNIT, Description, ROL; 3 "
          "rows read.",
          "Worksheet 2 (Ledgers) read as ledgers, headings in row 1: Ledger Alias Name from B "
          "(Alias), Ledger Name from A (Party Name), AccountGroup from C (Account Group), "
          "OpeningBalance from D (Opening Balance \u20b9), DrCr from E (Balance Type); not in the "
          "workbook: Address, Phone, TIN, Area; 2 rows read."},
         {}},
        {"blank_rows",
         kItems,
         kLedgers,
         {{'i', 2, 0, "4"}, {'i', 3, 0, "6"}},
         {"Worksheet 1 (Items) read as items, headings in row 1: columns A to P as described; 3 "
          "rows read, 2 blank rows skipped: worksheet rows 3, 5.",
          "Worksheet 2 (Ledgers) read as ledgers, headings in row 1: columns A to I as described; "
          "2 rows read, 1 blank row skipped: worksheet row 3."},
         {}},
        {"no_keys",
         {"A1", "", "B2"},
         kLedgers,
         {{'i', 2, item::Category, "Kitchen"}, {'i', 2, item::Qoh, "12"}},
         {"Worksheet 1 (Items) read as items, headings in row 1: columns A to P as described; 3 "
          "rows read (1 without item code or name, marked, never written).",
          kDescribedLedgers},
         {}},
        // A serial-number column filled below the data reads no further rows.
        {"serial_below",
         kItems,
         kLedgers,
         kFirstRows,
         {"Worksheet 1 (Items) read as items, headings in row 1: ITEM CODE from B, ITEM NAME "
          "from C, CATEGORY from D, MANUFACTURE from E, QOH from F, PURCHASE RATE from G, "
          "WHOLESALE from H, MRP from I, SALES VAT from J, CST from K, PURCHASE VAT from L, RATE "
          "INCLUSIVE OF TAX SALES from M, RATE INCLUSIVE OF TAX PURCHASE from N, UNIT from O, "
          "Description from P, ROL from Q; not used: A (Sl No); 3 rows read.",
          kDescribedLedgers},
         {}},
    };
}

// The row without keys is loaded, marked with its sentence, and never
// written; the rows around it are not marked.
TEST(LoadMarks, ARowWithoutKeysCarriesItsSentence) {
    FormControls form;
    ScriptedWindowOps ops;
    ops.QueueFile(test::FixturePath("headings/no_keys.xlsx"));
    AnyWorkbookReader book;
    LoadWorkbook(form, ops, book);
    EXPECT_EQ(form.itemGrid.origin.RowError(1), "");
    EXPECT_EQ(form.itemGrid.origin.RowError(2),
              "Item row 3: no item code or name; the row is not migrated.");
    EXPECT_EQ(form.itemGrid.origin.RowError(3), "");
}

INSTANTIATE_TEST_SUITE_P(Workbooks, LoadCases,
                         ::testing::Combine(::testing::ValuesIn(Cases()),
                                            ::testing::Values("xls", "xlsx", "ods")),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::get<1>(info.param);
                         });

}  // namespace
}  // namespace ledgerlift
