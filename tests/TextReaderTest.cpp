#include <glib.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>

#include "import/OpenWorkbook.h"
#include "import/text/TextReader.h"
#include "import/xls/XlsReader.h"
#include "tests/PackageWriter.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// The cell texts of a sheet, row by row, each row without its empty cells at
// the end; every cell that holds something must be a text cell when asked.
Rows Cells(const WorkbookReader& book, int sheet, bool textOnly) {
    Rows rows;
    std::string text;
    const int lastRow = book.LastRow(sheet);
    const int lastColumn = book.LastColumn(sheet);
    for (int r = 1; r <= lastRow; ++r) {
        std::vector<std::string> row;
        for (int c = 1; c <= lastColumn; ++c) {
            book.ReadCellText(sheet, r, c, text);
            row.push_back(text);
            CellValue::Kind kind = book.Cell(sheet, r, c).kind;
            EXPECT_TRUE(!textOnly || kind == CellValue::Kind::Text ||
                        kind == CellValue::Kind::Empty)
                << "row " << r << ", column " << c << ": " << text;
        }
        while (!row.empty() && row.back().empty()) {
            row.pop_back();
        }
        rows.push_back(row);
    }
    return rows;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Encoded(const std::string& utf8, const char* encoding) {
    gsize written = 0;
    gchar* out = g_convert(utf8.data(), static_cast<gssize>(utf8.size()), encoding, "UTF-8",
                           nullptr, &written, nullptr);
    std::string bytes(out, written);
    g_free(out);
    return bytes;
}

const std::string kUtf8Mark = "\xEF\xBB\xBF";
const std::string kLeMark = "\xFF\xFE";
const std::string kBeMark = "\xFE\xFF";

// A text file, and either the rows and format it is read as, or what the
// sentence that refuses it says besides the file's path.
struct TextCase {
    const char* name;
    std::string bytes;
    Rows rows;
    TextFormat format;
    std::string refusal;
    TextOptions options;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << c.name;
}

TextCase Read(const char* name, std::string bytes, Rows rows, const char* encoding, bool mark,
              char delimiter, TextOptions options = {}) {
    TextFormat format{encoding, mark, delimiter, !options.encoding.empty(), options.delimiter != 0};
    return {name, std::move(bytes), std::move(rows), format, "", std::move(options)};
}

TextCase Refused(const char* name, std::string bytes, std::string says, TextOptions options = {}) {
    return {name, std::move(bytes), {}, {}, std::move(says), std::move(options)};
}

const Rows kTwoByTwo = {{"a", "b"}, {"1", "2"}};

// A file of `rows` rows, and its cells.
std::string ManyRows(int rows) {
    std::string text = "a,b\n";
    for (int i = 1; i < rows; ++i) {
        text += "x,1\n";
    }
    return text;
}

Rows ManyRowsCells(int rows) {
    Rows cells(static_cast<std::size_t>(rows), {"x", "1"});
    cells[0] = {"a", "b"};
    return cells;
}

const TextCase kTextCases[] = {
    // Encodings, with and without a byte-order mark.
    Read("Utf8", "a,b\n1,2\n", kTwoByTwo, "UTF-8", false, ','),
    Read("Utf8WithAMark", kUtf8Mark + "Name,City\r\nM\xC3\xBCller,K\xC3\xB6ln\r\n",
         {{"Name", "City"}, {"M\xC3\xBCller", "K\xC3\xB6ln"}}, "UTF-8", true, ','),
    Read("Utf16LittleEndianWithAMark",
         kLeMark + Encoded("Name\tCity\r\nM\xC3\xBCller\t\xE2\x82\xB9 5\r\n", "UTF-16LE"),
         {{"Name", "City"}, {"M\xC3\xBCller", "\xE2\x82\xB9 5"}}, "UTF-16LE", true, '\t'),
    Read("Utf16BigEndianWithAMark", kBeMark + Encoded("a;b\n1;2\n", "UTF-16BE"), kTwoByTwo,
         "UTF-16BE", true, ';'),
    Read("Utf16WithoutAMarkWhenGiven", Encoded("a,b\n1,2\n", "UTF-16LE"), kTwoByTwo, "UTF-16LE",
         false, ',', {"UTF-16LE", 0}),
    Read("Windows1252Names", "Name;City\nM\xFCller;K\xF6ln\n\x80 Shop;Paris\n",
         {{"Name", "City"}, {"M\xC3\xBCller", "K\xC3\xB6ln"}, {"\xE2\x82\xAC Shop", "Paris"}},
         "WINDOWS-1252", false, ';'),
    Read("GivenEncodingWithItsOwnMark", kUtf8Mark + "a,b\n1,2\n", kTwoByTwo, "UTF-8", true, ',',
         {"UTF-8", 0}),
    // Delimiters, and how one is chosen.
    Read("Semicolon", "a;b\n1;2,5\n", {{"a", "b"}, {"1", "2,5"}}, "UTF-8", false, ';'),
    Read("Tab", "Name\tAmount\nSmith, John\t1,500.00\n",
         {{"Name", "Amount"}, {"Smith, John", "1,500.00"}}, "UTF-8", false, '\t'),
    Read("Pipe", "a|b\n1|2\n", kTwoByTwo, "UTF-8", false, '|'),
    Read("TieGoesToComma", "a,b|c\n1,2|3\n", {{"a", "b|c"}, {"1", "2|3"}}, "UTF-8", false, ','),
    Read("TheDelimiterUnderWhichTheRowsFit", "a,b;c\n1,5,0;2\n", {{"a,b", "c"}, {"1,5,0", "2"}},
         "UTF-8", false, ';'),
    Read("GivenDelimiter", "a;b,c\n1;2,3\n", {{"a", "b,c"}, {"1", "2,3"}}, "UTF-8", false, ';',
         {"", ';'}),
    Read("OneColumn", "Name\nSoap\n\"Oil, raw\"\n", {{"Name"}, {"Soap"}, {"Oil, raw"}}, "UTF-8",
         false, ','),
    // Quotes and line ends.
    Read("Quotes", "a,b\n\"say \"\"hi\"\"\",\"x,y\"\n\"\",5\" pipe\n",
         {{"a", "b"}, {"say \"hi\"", "x,y"}, {"", "5\" pipe"}}, "UTF-8", false, ','),
    Read("LineBreaksInsideQuotes", "a,b\r\n\"one\r\ntwo\",\"x\ny\"\r\n3,4\r\n",
         {{"a", "b"}, {"one\r\ntwo", "x\ny"}, {"3", "4"}}, "UTF-8", false, ','),
    Read("LoneCarriageReturns", "a,b\r1,2\r", kTwoByTwo, "UTF-8", false, ','),
    Read("NoLineEndAtTheEnd", "a,b\n1,2", kTwoByTwo, "UTF-8", false, ','),
    Read("ABlankLineIsABlankRow", "a,b\n\n1,2\n", {{"a", "b"}, {}, {"1", "2"}}, "UTF-8", false,
         ','),
    // Every field is text, whatever it looks like.
    Read("FormulaSignsAndNumbersStayText", "a,b,c,d\n=1+1,+91 484,-5,@SUM(A1)\n0012,1e3,TRUE,\n",
         {{"a", "b", "c", "d"}, {"=1+1", "+91 484", "-5", "@SUM(A1)"}, {"0012", "1e3", "TRUE"}},
         "UTF-8", false, ','),
    // Ragged rows: only empty fields beyond the headings, or missing under
    // empty headings, fit.
    Read("EmptyFieldsBeyondTheHeadings", "a,b\n1,2,\n3,4,,\n", {{"a", "b"}, {"1", "2"}, {"3", "4"}},
         "UTF-8", false, ','),
    Read("MissingFieldsUnderEmptyHeadings", "a,b,,\n1,2\n", {{"a", "b"}, {"1", "2"}}, "UTF-8",
         false, ','),
    Refused("FewerFieldsThanHeadings", "a,b,c\n1,2,3\n\"x\ny\",2\n",
            "line 3 has 2 comma-separated fields where the heading line has 3"),
    Refused("MoreFieldsThanHeadings", "a,b\n1,2,3\n",
            "line 2 has 3 comma-separated fields where the heading line has 2, and one beyond them "
            "holds something"),
    // Empty files and a heading line alone: a sheet without data rows.
    Read("EmptyFile", "", {}, "UTF-8", false, ','),
    Read("MarkAlone", kUtf8Mark, {}, "UTF-8", true, ','),
    Read("HeadingLineAlone", "a,b\r\n", {{"a", "b"}}, "UTF-8", false, ','),
    // Bytes that do not decode are never replaced.
    Refused("UndecodableByte", "a,b\n1,2\n\x81x,3\n",
            "line 3 holds bytes (0x81 ...) that are not UTF-8 or Windows-1252 text"),
    Refused("Utf8AndOtherBytes", "a,b\nM\xC3\xBCller,1\nK\xF6ln,2\n",
            "it holds UTF-8 text (line 2) and bytes that are not UTF-8 (line 3, 0xF6), so its "
            "encoding cannot be told; save it again as UTF-8"),
    Refused("NotUtf8AfterItsMark", kUtf8Mark + "a\n\xFF\n",
            "line 2 holds bytes (0xFF ...) that are not UTF-8, which its byte-order mark says it "
            "is"),
    Refused("Utf16CutShort", kLeMark + Encoded("a\nb", "UTF-16LE") + "x",
            "its last line (2) ends in the middle of a character of UTF-16 (little-endian)"),
    Refused("ZeroByte", std::string("a,b\n1,2\n3,\0\n", 12), "line 3 holds a zero byte"),
    Refused("GivenEncodingAgainstTheMark", kUtf8Mark + "a,b\n",
            "it starts with the byte-order "
            "mark of UTF-8, which is not the encoding WINDOWS-1252 it was to be read in",
            {"WINDOWS-1252", 0}),
    Refused("UnknownEncoding", "a,b\n", "the encoding NO-SUCH-CODE is not one that can be read",
            {"NO-SUCH-CODE", 0}),
    // Quotes that go wrong, and the limits.
    Refused("QuoteLeftOpen", "a,b\n1,2\n\"open,3\n4,5\n",
            "the quoted field that starts on line 3 is not closed before the end of the file"),
    Refused("TextAfterAClosingQuote", "a;b\n\"x\"y;1\n",
            "on line 2, a quoted field is followed by other text before the next semicolon"),
    Refused("LineLongerThanAMegabyte", "a,b\n1,2\n" + std::string((1 << 20) + 1, 'x') + ",3\n",
            "the row that starts on line 3 is longer than 1 MB"),
    Refused("QuoteLeftOpenForAMegabyte", "a,b\n\"" + std::string(1 << 20, 'x') + "\n",
            "the row that starts on line 2 is longer than 1 MB"),
    Read("AllTheRowsAWorksheetHoldsAndBlankLinesAfter", ManyRows(65536) + "\n\n",
         ManyRowsCells(65536), "UTF-8", false, ','),
    Refused("MoreRowsThanAWorksheetHolds", ManyRows(65537),
            "it holds more than 65536 rows (line 65537), the most a worksheet holds"),
    Refused("MoreColumnsThanAWorksheetHolds", std::string(256, ',') + "x\n",
            "line 1 has a field in column 257, beyond the 256 columns a worksheet holds"),
    Refused("DelimiterThatCannotBeOne", "a,b\n", "cannot separate its fields", {"", '"'}),
};

class TextFiles : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextFiles, AreReadFieldByFieldAsTextOrRefusedNamingTheLine) {
    const TextCase& c = GetParam();
    test::TempFolder dir;
    std::string path = dir.File("book.csv");
    WriteBytes(path, c.bytes);
    TextReader reader(c.options);
    if (!c.refusal.empty()) {
        try {
            reader.Open(path);
            FAIL() << "opened";
        } catch (const WorkbookError& e) {
            std::string text = e.what();
            EXPECT_NE(text.find("The text file " + path + " cannot be loaded: "), std::string::npos)
                << text;
            EXPECT_NE(text.find(c.refusal), std::string::npos) << text;
            EXPECT_EQ(text.find('\n'), std::string::npos) << "one sentence: " << text;
        }
        EXPECT_EQ(reader.SheetCount(), 0);
        return;
    }
    reader.Open(path);
    ASSERT_EQ(reader.SheetCount(), 1);
    EXPECT_EQ(reader.SheetName(1), "book");
    TextFormat format = reader.TextFormatOf(1).value();
    EXPECT_EQ(format.encoding, c.format.encoding);
    EXPECT_EQ(format.byteOrderMark, c.format.byteOrderMark);
    EXPECT_EQ(format.delimiter, c.format.delimiter);
    EXPECT_EQ(format.encodingGiven, c.format.encodingGiven);
    EXPECT_EQ(format.delimiterGiven, c.format.delimiterGiven);
    EXPECT_EQ(Cells(reader, 1, true), c.rows);
}

INSTANTIATE_TEST_SUITE_P(Files, TextFiles, ::testing::ValuesIn(kTextCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextFormatLine, SaysHowTheFileWasRead) {
    EXPECT_EQ(TextFormatLine({"UTF-8", true, ',', false, false}),
              "read as UTF-8 with a byte-order mark, comma-separated");
    EXPECT_EQ(TextFormatLine({"WINDOWS-1252", false, ';', false, false}),
              "read as Windows-1252, semicolon-separated");
    EXPECT_EQ(TextFormatLine({"UTF-16LE", true, '\t', false, false}),
              "read as UTF-16 (little-endian) with a byte-order mark, tab-separated");
    EXPECT_EQ(TextFormatLine({"ISO-8859-15", false, '|', true, true}),
              "read as ISO-8859-15 (as given), pipe-separated (as given)");
}

// The bundled sample's sheets saved as text, a file each, and how each is read.
struct SampleExport {
    const char* name;
    const char* ext;
    const char* encoding;
    char delimiter;
};

void PrintTo(const SampleExport& s, std::ostream* os) {
    *os << s.name;
}

class SampleExports : public ::testing::TestWithParam<SampleExport> {};

TEST_P(SampleExports, HoldTheCellTextsOfTheSampleWorkbook) {
    const SampleExport& e = GetParam();
    XlsReader xls;
    xls.Open(test::FixturePath("../../resources/demo/sample.xls"));
    std::string folder = test::FixturePath(std::string("text/") + e.name + "/");
    AnyWorkbookReader text;
    text.OpenFiles({folder + "Items" + e.ext, folder + "Ledgers" + e.ext});
    ASSERT_EQ(text.SheetCount(), 2);
    for (int sheet = 1; sheet <= 2; ++sheet) {
        EXPECT_EQ(text.SheetName(sheet), xls.SheetName(sheet));
        Rows cells = Cells(text, sheet, true);
        EXPECT_EQ(cells, Cells(xls, sheet, false));
        EXPECT_EQ(cells.size(), sheet == 1 ? 39u : 31u);
        TextFormat format = text.TextFormatOf(sheet).value();
        EXPECT_EQ(format.encoding, e.encoding);
        EXPECT_TRUE(format.byteOrderMark);
        EXPECT_EQ(format.delimiter, e.delimiter);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, SampleExports,
                         ::testing::Values(SampleExport{"sample_csv", ".csv", "UTF-8", ','},
                                           SampleExport{"sample_tsv", ".tsv", "UTF-16LE", '\t'}),
                         [](const auto& info) { return std::string(info.param.name); });

// Files given to the reader the program uses, and the worksheets they give
// or what the sentence that refuses them says.
struct FileSet {
    const char* name;
    // Each file's name and bytes; bytes "@NAME" are those of the fixture NAME.
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::string> sheets;
    std::string refusal;
    TextOptions options;
};

void PrintTo(const FileSet& s, std::ostream* os) {
    *os << s.name;
}

using Files = std::vector<std::pair<std::string, std::string>>;

FileSet Opens(const char* name, Files files, std::vector<std::string> sheets,
              TextOptions options = {}) {
    return {name, std::move(files), std::move(sheets), "", std::move(options)};
}

FileSet Refuses(const char* name, Files files, std::string says) {
    return {name, std::move(files), {}, std::move(says), {}};
}

const FileSet kFileSets[] = {
    // Told by content: text under a workbook's name is text, and a byte-order
    // mark alone a text file of no rows (an empty file tells nothing:
    // BadWorkbookTest).
    Opens("TextUnderAWorkbooksName", {{"book.xls", "ITEM CODE,ITEM NAME\nA1,Soap\n"}}, {"book"}),
    Opens("MarkAlone", {{"book", kUtf8Mark}}, {"book"}),
    Opens("Utf16WithoutAMarkWhenTheEncodingIsGiven",
          {{"items.txt", Encoded("a\tb\n1\t2\n", "UTF-16LE")}}, {"items"}, {"UTF-16LE", 0}),
    Opens("TextFilesInTheOrderGiven",
          {{"Ledgers.csv", "a,b\n"}, {"Items.tsv", kLeMark + Encoded("a\tb\n", "UTF-16LE")}},
          {"Ledgers", "Items"}),
    Refuses("WorkbookAmongTextFiles", {{"items.csv", "a,b\n"}, {"book.xlsx", "@two_rows.xlsx"}},
            "cannot be loaded together with other files: load a workbook alone, or text files "
            "(CSV, TSV) together."),
    Refuses("TwoWorkbooks", {{"one.xls", "@real_mixed.xls"}, {"two.ods", "@two_rows.ods"}},
            "cannot be loaded together with other files"),
    Refuses("TwoFilesOfOneWorksheetName", {{"a/items.csv", "a,b\n"}, {"b/Items.tsv", "a\tb\n"}},
            "would both be the worksheet \"Items\": rename one of them"),
    Refuses("BinaryAmongTextFiles",
            {{"items.csv", "a,b\n"}, {"picture.png", std::string("\x89PNG\r\n\x1A\n\0\0", 10)}},
            "is not an Excel workbook"),
};

class TextFileSets : public ::testing::TestWithParam<FileSet> {};

TEST_P(TextFileSets, OpenAsAWorksheetEachOrAreRefused) {
    const FileSet& set = GetParam();
    test::TempFolder dir;
    std::vector<std::string> paths;
    for (const auto& [name, bytes] : set.files) {
        paths.push_back(dir.File(name));
        WriteBytes(paths.back(), bytes.starts_with("@")
                                     ? test::ReadFileBytes(test::FixturePath(bytes.substr(1)))
                                     : bytes);
    }
    AnyWorkbookReader book(set.options);
    if (!set.refusal.empty()) {
        try {
            book.OpenFiles(paths);
            FAIL() << "opened";
        } catch (const WorkbookError& e) {
            EXPECT_NE(std::string(e.what()).find(set.refusal), std::string::npos) << e.what();
        }
        EXPECT_EQ(book.SheetCount(), 0);
        return;
    }
    book.OpenFiles(paths);
    ASSERT_EQ(book.SheetCount(), static_cast<int>(set.sheets.size()));
    for (int sheet = 1; sheet <= book.SheetCount(); ++sheet) {
        EXPECT_EQ(book.SheetName(sheet), set.sheets[static_cast<std::size_t>(sheet) - 1]);
        EXPECT_TRUE(book.TextFormatOf(sheet).has_value());
    }
}

INSTANTIATE_TEST_SUITE_P(Files, TextFileSets, ::testing::ValuesIn(kFileSets),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextFileSets, AWorkbookSheetWasReadFromNoText) {
    AnyWorkbookReader book;
    book.Open(test::FixturePath("two_rows.xlsx"));
    EXPECT_FALSE(book.TextFormatOf(1).has_value());
    EXPECT_THROW(book.TextFormatOf(3), WorkbookError);
}

}  // namespace
}  // namespace ledgerlift
