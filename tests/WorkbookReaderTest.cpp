#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include <ostream>

#include <fstream>

#include "import/OpenWorkbook.h"
#include "import/core/CellText.h"
#include "import/xls/BiffScanner.h"
#include "import/xls/XlsReader.h"
#include "tests/PackageWriter.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

std::string Text(const XlsReader& book, int sheet, int row, int col) {
    return CellText(book.Cell(sheet, row, col));
}

// A workbook saved by a spreadsheet program, with formulas whose results the
// program stored, dates, a number shown with thousands separators, booleans
// and error values.
class RealWorkbook : public ::testing::Test {
  protected:
    void SetUp() override { book.Open(test::FixturePath("real_mixed.xls")); }
    XlsReader book;
};

TEST_F(RealWorkbook, HasBothSheets) {
    EXPECT_EQ(book.SheetCount(), 2);
}

TEST_F(RealWorkbook, NumbersAreTheirShortestTextWithAPoint) {
    EXPECT_EQ(Text(book, 1, 2, 5), "10");
    EXPECT_EQ(Text(book, 1, 2, 9), "12.5");
    EXPECT_EQ(Text(book, 1, 3, 6), "1234.5") << "shown as 1,234.50 in the sheet";
    EXPECT_EQ(Text(book, 1, 3, 9), "0.1");
    EXPECT_EQ(Text(book, 1, 4, 5), "-5");
    EXPECT_EQ(Text(book, 2, 2, 7), "1500");
}

TEST_F(RealWorkbook, DatesAreIsoWithTimeOnlyWhenThereIsOne) {
    EXPECT_EQ(Text(book, 1, 3, 15), "2009-04-01");
    EXPECT_EQ(Text(book, 1, 4, 15), "2009-04-01 10:30:00");
}

TEST_F(RealWorkbook, FormulasGiveTheirStoredResults) {
    EXPECT_EQ(Text(book, 1, 3, 1), "B2") << "a text result";
    EXPECT_EQ(Text(book, 1, 3, 5), "30") << "a number result";
    EXPECT_EQ(Text(book, 1, 3, 8), "#DIV/0!");
    EXPECT_EQ(Text(book, 1, 3, 12), "TRUE") << "a boolean result";
    EXPECT_EQ(Text(book, 1, 3, 14), "#N/A");
    EXPECT_EQ(Text(book, 1, 3, 16), "2010-05-06") << "a result shown as a date";
    EXPECT_EQ(Text(book, 2, 3, 7), "250");
}

TEST_F(RealWorkbook, TextKeepsItsSpacesAndBooleansAreWords) {
    EXPECT_EQ(Text(book, 1, 2, 15), "  Lux  ");
    EXPECT_EQ(Text(book, 1, 4, 2), "  Rice  ");
    EXPECT_EQ(Text(book, 1, 3, 13), "1") << "this program stores a typed TRUE as the number 1";
    EXPECT_EQ(Text(book, 2, 3, 2), "O'Brien & Sons");
}

TEST_F(RealWorkbook, CellsOutsideTheSheetAreEmpty) {
    EXPECT_EQ(Text(book, 1, 400, 3), "");
    EXPECT_EQ(Text(book, 1, 2, 40), "");
    EXPECT_THROW(book.Cell(3, 1, 1), WorkbookError);
}

// Regression: the general reader saw no worksheet at all in a workbook with a
// text cell holding the empty text, so such a workbook could not be loaded.
TEST(OtherWorkbooks, AnEmptyTextCellAndUnicodeReadLikeAnyOther) {
    XlsReader book;
    book.Open(test::FixturePath("empty_text.xls"));
    ASSERT_EQ(book.SheetCount(), 2);
    EXPECT_EQ(Text(book, 1, 2, 2), "Empty text after me");
    EXPECT_EQ(Text(book, 1, 2, 4), "");
    EXPECT_EQ(Text(book, 1, 2, 6), "1.5");
    EXPECT_EQ(Text(book, 1, 3, 2), "Ümlaut & ünicode ✓");
    EXPECT_EQ(Text(book, 1, 3, 5), "12345.678");
    EXPECT_EQ(Text(book, 2, 2, 2), "Only ledger");
}

struct BadFile {
    const char* name;
    std::string content;  // empty: the file is not made at all
    const char* reason;
};

// Printed by name, so that test names and failure messages stay readable.
void PrintTo(const BadFile& p, std::ostream* os) {
    *os << p.name;
}

class BadWorkbooks : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadWorkbooks, FailWithTheFileAndTheReason) {
    test::TempFolder dir;
    std::string path = dir.File("book.xls");
    if (!GetParam().content.empty()) {
        std::ofstream(path, std::ios::binary) << GetParam().content;
    }
    XlsReader book;
    try {
        book.Open(path);
        FAIL() << "opened";
    } catch (const WorkbookError& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find(GetParam().reason), std::string::npos) << e.what();
    }
}

std::string Truncated() {
    std::ifstream in(test::FixturePath("real_mixed.xls"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    return bytes.substr(0, 1200);
}

INSTANTIATE_TEST_SUITE_P(Files, BadWorkbooks,
                         ::testing::Values(BadFile{"Missing", "", "could not be found"},
                                           BadFile{"PlainText", "ITEM CODE,ITEM NAME\nA1,Soap\n",
                                                   "not an Excel"},
                                           BadFile{"Damaged", Truncated(), "xls"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CellText, FollowsOneRuleForEveryKind) {
    EXPECT_EQ(CellText(CellValue::Empty()), "");
    EXPECT_EQ(CellText(CellValue::Number(1234.5)), "1234.5");
    EXPECT_EQ(CellText(CellValue::Number(12)), "12");
    EXPECT_EQ(CellText(CellValue::DateSerial(39904)), "2009-04-01");
    EXPECT_EQ(CellText(CellValue::DateSerial(39904.4375)), "2009-04-01 10:30:00");
    EXPECT_EQ(CellText(CellValue::DateSerial(0.5)), "12:00:00");
    EXPECT_EQ(CellText(CellValue::DateSerial(1)), "1900-01-01");
    EXPECT_EQ(CellText(CellValue::DateSerial(61)), "1900-03-01");
    EXPECT_EQ(CellText(CellValue::Boolean(false)), "FALSE");
    EXPECT_EQ(CellText(CellValue::Error("#N/A")), "#N/A");
}

// Regression (found by fuzzing the whole reader): a damaged file's infinite
// number made the cell text throw.
TEST(CellText, AnInfiniteOrMissingNumberReadsAsTheNumberError) {
    for (double v :
         {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_EQ(CellText(CellValue::Number(v)), "#NUM!");
        EXPECT_EQ(CellText(CellValue::DateSerial(v)), "#NUM!");
    }
}

// A workbook stream made by hand: BOF, then the records given, then EOF.
std::string Stream(std::initializer_list<std::pair<int, std::string>> records) {
    auto record = [](int type, const std::string& data) {
        std::string r;
        r += static_cast<char>(type & 0xff);
        r += static_cast<char>(type >> 8);
        r += static_cast<char>(data.size() & 0xff);
        r += static_cast<char>(data.size() >> 8);
        return r + data;
    };
    std::string s = record(0x0809, std::string("\x00\x06\x05\x00", 4) + std::string(12, '\0'));
    for (const auto& [type, data] : records) {
        s += record(type, data);
    }
    return s + record(0x000A, "");
}

TEST(BiffScanner, NoticesAPasswordProtectedWorkbook) {
    BiffScanner scan;
    scan.Scan(Stream({{0x002F, std::string(6, '\x01')}}));
    EXPECT_TRUE(scan.Encrypted());
}

// A BOUNDSHEET record: offset, visibility, sheet type, name (compressed).
std::string BoundSheet(std::uint8_t type, const std::string& name) {
    std::string r(4, '\0');
    r += '\0';
    r += static_cast<char>(type);
    r += static_cast<char>(name.size());
    r += '\0';
    return r + name;
}

// Chart and macro sheets are no worksheets: worksheet 1 and 2 count the
// worksheets alone, in .xls as in .xlsx.
TEST(BiffScanner, LeavesOutChartAndMacroSheets) {
    BiffScanner scan;
    scan.Scan(Stream({{0x0085, BoundSheet(2, "Chart1")},
                      {0x0085, BoundSheet(0, "Items")},
                      {0x0085, BoundSheet(1, "Macro1")},
                      {0x0085, BoundSheet(0, "Ledgers")}}));
    ASSERT_EQ(scan.Sheets().size(), 2u);
    EXPECT_EQ(scan.Sheets()[0].name, "Items");
    EXPECT_EQ(scan.Sheets()[1].name, "Ledgers");
}

using Records = std::vector<std::pair<int, std::string>>;

std::string Record(int type, const std::string& data) {
    std::string r;
    r += static_cast<char>(type & 0xff);
    r += static_cast<char>(type >> 8);
    r += static_cast<char>(data.size() & 0xff);
    r += static_cast<char>(data.size() >> 8);
    return r + data;
}

std::string U16Bytes(int v) {
    return {static_cast<char>(v & 0xff), static_cast<char>((v >> 8) & 0xff)};
}

std::string F64Bytes(double v) {
    std::string bytes(8, '\0');
    std::memcpy(bytes.data(), &v, 8);
    return bytes;
}

// A cell record's row, column and format record (0-based).
std::string CellHead(int row, int col) {
    return U16Bytes(row) + U16Bytes(col) + U16Bytes(0);
}

// A workbook stream of this BIFF version (5 or 8): the globals with these
// records and one worksheet named "Items" holding the cell records given.
std::string OneSheetStream(int biff, const Records& globals, const Records& cells) {
    auto bof = [biff](int type) {
        std::string data = U16Bytes(biff == 8 ? 0x0600 : 0x0500) + U16Bytes(type);
        return Record(0x0809, data + std::string(biff == 8 ? 12 : 4, '\0'));
    };
    std::string head = bof(0x0005);
    for (const auto& [type, data] : globals) {
        head += Record(type, data);
    }
    std::string name = biff == 8 ? std::string("\x05\x00Items", 7) : std::string("\x05Items");
    std::size_t sheetAt = head.size() + 4 + 6 + name.size() + 4;  // after BOUNDSHEET and EOF
    std::string offset(4, '\0');
    for (int i = 0; i < 4; ++i) {
        offset[static_cast<std::size_t>(i)] = static_cast<char>((sheetAt >> (8 * i)) & 0xff);
    }
    std::string stream = head + Record(0x0085, offset + std::string(2, '\0') + name) +
                         Record(0x000A, "") + bof(0x0010);
    for (const auto& [type, data] : cells) {
        stream += Record(type, data);
    }
    return stream + Record(0x000A, "");
}

std::string ScannedText(const std::string& stream, std::uint32_t row, std::uint32_t col) {
    BiffScanner scan;
    scan.Scan(stream);
    if (scan.Sheets().size() != 1) {
        return "(no sheet)";
    }
    return CellText(scan.Sheets()[0].cells.Get(row, col));
}

// Regression: a FORMULA record of Excel 4.0 in a later workbook was skipped,
// so its row read blank and ended the sheet.
TEST(BiffScanner, ReadsTheCachedResultOfAnExcel4FormulaRecord) {
    std::string formula = std::string(2, '\0') + std::string(4, '\0') + U16Bytes(0);
    std::string textResult = std::string("\x00\x00\x00\x00\x00\x00\xff\xff", 8);
    for (int biff : {5, 8}) {
        std::string label =
            biff == 8 ? std::string("\x03\x00\x00Oil", 6) : std::string("\x03\x00Oil", 5);
        std::string stream = OneSheetStream(biff, {},
                                            {{0x0406, CellHead(1, 1) + F64Bytes(42.5) + formula},
                                             {0x0406, CellHead(2, 1) + textResult + formula},
                                             {0x0207, label},
                                             {0x0203, CellHead(3, 1) + F64Bytes(7)}});
        EXPECT_EQ(ScannedText(stream, 1, 1), "42.5") << "BIFF" << biff;
        EXPECT_EQ(ScannedText(stream, 2, 1), "Oil") << "BIFF" << biff;
        EXPECT_EQ(ScannedText(stream, 3, 1), "7") << "BIFF" << biff;
    }
}

// Regression (as for .xlsx): the shared strings of an .xls workbook count
// against the bound of the texts a load holds. Here with a bound of 64 KB.
TEST(BiffScanner, RefusesSharedStringsBeyondTheirBound) {
    auto sst = [](int count) {
        std::string data = std::string(4, '\0') + U16Bytes(count) + U16Bytes(0);
        for (int i = 0; i < count; ++i) {
            data += std::string("\x00\x00\x00", 3);  // an empty text
        }
        return data;
    };
    BiffScanner within(64 << 10);
    within.Scan(OneSheetStream(8, {{0x00FC, sst(1000)}}, {}));
    EXPECT_FALSE(within.SharedStringsTooLarge());
    EXPECT_EQ(within.Sheets().size(), 1u);
    std::string many = sst(10000);  // in CONTINUE records of 8224 bytes at most
    Records records{{0x00FC, many.substr(0, 8224)}};
    for (std::size_t at = 8224; at < many.size(); at += 8224) {
        records.push_back({0x003C, many.substr(at, 8224)});
    }
    BiffScanner beyond(64 << 10);
    beyond.Scan(OneSheetStream(8, records, {}));
    EXPECT_TRUE(beyond.SharedStringsTooLarge());
    EXPECT_TRUE(beyond.Sheets().empty());
}

// What the sheets of an .xls workbook take is bounded as for the other
// formats: a number in column IV takes a row 256 cells wide, and several
// sheet records can name the same cells. Here with a bound of 256 KB.
TEST(BiffScanner, RefusesSheetsBeyondTheMemoryBound) {
    auto sheet = [](int rows) {
        Records cells;
        for (int r = 0; r < rows; ++r) {
            cells.push_back({0x0203, CellHead(r, 255) + F64Bytes(1)});
        }
        return cells;
    };
    BiffScanner within(1 << 20, 256 << 10);
    within.Scan(OneSheetStream(8, {}, sheet(50)));
    EXPECT_EQ(within.SheetsTooLarge(), 0u);
    EXPECT_EQ(within.Sheets().size(), 1u);
    BiffScanner beyond(1 << 20, 256 << 10);
    beyond.Scan(OneSheetStream(8, {}, sheet(100)));
    EXPECT_GT(beyond.SheetsTooLarge(), 256u << 10);
    EXPECT_TRUE(beyond.Sheets().empty());
}

// A text of an Excel 5/95 workbook, in the code page it declares.
struct CodePageText {
    const char* name;
    int codePage;  // 0: no CODEPAGE record
    std::string bytes;
    const char* text;
};

void PrintTo(const CodePageText& c, std::ostream* os) {
    *os << c.name;
}

class Biff5Texts : public ::testing::TestWithParam<CodePageText> {};

// Regression: Excel 5/95 text was read as Latin-1 whatever code page the
// workbook declared: "Men’s shirt – blue" read "Men\u0092s shirt \u0096 blue",
// and Greek and Cyrillic texts were garbled.
TEST_P(Biff5Texts, AreReadInTheDeclaredCodePage) {
    Records globals;
    if (GetParam().codePage != 0) {
        globals.push_back({0x0042, U16Bytes(GetParam().codePage)});
    }
    const std::string& bytes = GetParam().bytes;
    std::string label = CellHead(1, 1) + U16Bytes(static_cast<int>(bytes.size())) + bytes;
    std::string stream = OneSheetStream(5, globals, {{0x0204, label}});
    EXPECT_EQ(ScannedText(stream, 1, 1), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, Biff5Texts,
    ::testing::Values(CodePageText{"Western", 1252, "Men\x92s shirt \x96 blue",
                                   "Men’s shirt – blue"},
                      CodePageText{"WesternWhenNoneIsDeclared", 0, "\x80 5", "€ 5"},
                      CodePageText{"Greek", 1253, "\xc1\xe8\xe7\xed\xdc", "Αθηνά"},
                      CodePageText{"Cyrillic", 1251, "\xcc\xee\xf1\xea\xe2\xe0", "Москва"},
                      CodePageText{"CentralEuropean", 1250, "\x8a\x9e\xe8", "Šžč"},
                      CodePageText{"MacintoshRoman", 32768, "Caf\x8e", "Café"},
                      CodePageText{"ShiftJis", 932, "\x93\xfa\x96\x7b", "日本"},
                      CodePageText{"ANoCharacterByteIsMarked", 1252,
                                   "a\x81"
                                   "b",
                                   "a\xEF\xBF\xBD"
                                   "b"},
                      CodePageText{"AnUnknownCodePageReadsAsWestern", 4242, "\x80", "€"}),
    [](const auto& info) { return std::string(info.param.name); });

class WorkbookStreamNames : public ::testing::TestWithParam<const char*> {};

// Regression: a workbook stream named in capitals was refused as no Excel
// workbook.
TEST_P(WorkbookStreamNames, CompareWithoutCase) {
    test::TempFolder dir;
    std::string path = dir.File("book.xls");
    test::WriteCompoundFile(
        path, {{GetParam(), XlsReader::ReadWorkbookStream(test::FixturePath("real_mixed.xls"))}});
    EXPECT_EQ(DetectWorkbookFormat(path), WorkbookFormat::Xls);
    AnyWorkbookReader book;
    book.Open(path);
    EXPECT_EQ(CellText(book.Cell(1, 2, 15)), "  Lux  ");
}

INSTANTIATE_TEST_SUITE_P(Names, WorkbookStreamNames,
                         ::testing::Values("WORKBOOK", "BOOK", "workbook", "Book"));

// Regression: a NUL in a sheet's name cut short every sentence that named
// the sheet. Control characters in a name are shown as escapes.
TEST(OtherWorkbooks, ASheetNameHoldingControlsIsShownEscaped) {
    std::string stream = XlsReader::ReadWorkbookStream(test::FixturePath("real_mixed.xls"));
    std::size_t at = stream.find("Items");
    ASSERT_NE(at, std::string::npos);
    stream.replace(at, 5, std::string("It\0\x1Bs", 5));
    test::TempFolder dir;
    std::string path = dir.File("book.xls");
    test::WriteCompoundFile(path, {{"Workbook", stream}});
    AnyWorkbookReader book;
    book.Open(path);
    EXPECT_EQ(book.SheetName(1), "It\\x00\\x1Bs");
}

// Every cut and many damaged bytes of a real workbook stream: the scan must
// end and stay inside the data (the sanitizer build checks the latter).
TEST(BiffScanner, SurvivesEveryTruncationAndDamagedBytes) {
    std::string stream = XlsReader::ReadWorkbookStream(test::FixturePath("real_mixed.xls"));
    BiffScanner whole;
    whole.Scan(stream);
    ASSERT_EQ(whole.Sheets().size(), 2u);
    for (std::size_t n = 0; n < stream.size(); n += 7) {
        BiffScanner scan;
        scan.Scan(std::string_view(stream).substr(0, n));
    }
    std::uint32_t seed = 12345;
    for (int round = 0; round < 2000; ++round) {
        std::string damaged = stream;
        for (int k = 0; k < 4; ++k) {
            seed = seed * 1103515245u + 12345u;
            damaged[seed % damaged.size()] = static_cast<char>(seed >> 24);
        }
        BiffScanner scan;
        scan.Scan(damaged);
    }
    SUCCEED();
}

}  // namespace
}  // namespace ledgerlift
