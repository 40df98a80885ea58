// The columns command, and the sheets and columns chosen on the command line
// (--columns, --items-sheet, --ledgers-sheet) of preview, check and migrate.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <string>

#include "base/Utf8Text.h"
#include "tests/PackageWriter.h"
#include "tests/ProgramRun.h"

namespace ledgerlift {
namespace {

std::string Headings(const std::string& name) {
    return test::FixturePath("headings/" + name);
}

class ColumnsCommand : public CommandLine {
  protected:
    std::string Write(const std::string& name, const std::string& text) {
        std::string path = scratch.File(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    // The mapping of a workbook as JSON, kept in a file to give back.
    std::string MappingFile(const std::string& workbook) {
        Result r = Run("columns " + workbook + " --format json");
        EXPECT_EQ(r.status, 0) << r.err;
        return Write("columns.json", r.out);
    }
    // The columns file as a row gives it: its JSON text, or "%BIG" (just over
    // 1 MB of "["), "%PIPE" (a named pipe nothing writes to) or "%PIPELINK" (a
    // link to one).
    std::string ColumnsFileOf(const std::string& json) {
        if (json == "%BIG") {
            return Write("refused.json", std::string((std::size_t{1} << 20) + 1, '['));
        }
        if (json == "%PIPE" || json == "%PIPELINK") {
            std::string pipe = scratch.File("refused.pipe");
            ::mkfifo(pipe.c_str(), 0600);
            std::string link = scratch.File("refused.json");
            return json == "%PIPE" || ::symlink(pipe.c_str(), link.c_str()) != 0 ? pipe : link;
        }
        return Write("refused.json", json);
    }
};

TEST_F(ColumnsCommand, SaysPerFieldItsColumnHeadingAndHowItWasFound) {
    Result r = Run("columns " + Headings("shuffled.xlsx"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Worksheet 1 (Stock): items (its headings say so), headings in row 1\n"),
              std::string::npos)
        << r.out;
    for (const char* line : {"  ITEM CODE                       B   Code                        "
                             "common name\n",
                             "  ITEM NAME                       A   Item                        "
                             "common name\n",
                             "  QOH                             C   Qty                         "
                             "common name\n",
                             "  OpeningBalance                  C   Opening Balance             "
                             "caption\n"}) {
        EXPECT_NE(r.out.find(line), std::string::npos) << line << "\nin\n" << r.out;
    }
}

TEST_F(ColumnsCommand, TheDescribedLayoutSaysSoAndLeavesNoFieldOut) {
    Result r = Run("columns " + Headings("described.xls") + " --format json");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("{\"field\": \"ROL\", \"column\": \"P\", \"heading\": \"ROL\", "
                         "\"found_by\": \"described layout\", \"required\": false}"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("\"not in the workbook\""), std::string::npos) << r.out;
}

TEST_F(ColumnsCommand, ACoverSheetIsListedAsNotRead) {
    Result r = Run("columns " + Headings("cover_first.xlsx") + " --format json");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("{\"sheet\": 1, \"name\": \"Read Me\", \"role\": \"none\"}"),
              std::string::npos)
        << r.out;
}

// Printed, given back unedited: the very same grids, whatever the layout.
class RoundTrip : public ColumnsCommand, public ::testing::WithParamInterface<const char*> {
  protected:
    // A fixture, or for "%HalfCharacter" a workbook named with a byte that is
    // no UTF-8, whose CATEGORY heading is cut at 256 bytes inside an "é"
    // (once printed as invalid UTF-8 that --columns then refused), and
    // whose QOH heading starts with a terminal's escape (once printed raw).
    std::string WorkbookOf(const std::string& param) {
        if (param != "%HalfCharacter") {
            return Headings(param);
        }
        auto cell = [](const std::string& ref, const std::string& text) {
            return "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
        };
        std::string category = "Category ";
        for (int i = 0; i < 200; ++i) {
            category += "\xC3\xA9";
        }
        std::string items = "<row r=\"1\">" + cell("A1", "ITEM CODE") + cell("B1", "ITEM NAME") +
                            cell("C1", category) + cell("E1", "_x001B_[31mQty") +
                            "</row><row r=\"2\">" + cell("A2", "I1") + cell("B2", "Item one") +
                            cell("C2", "Tools") + "</row>";
        std::string ledgers = "<row r=\"1\">" + cell("A1", "Ledger Alias Name") +
                              cell("B1", "Ledger Name") + "</row><row r=\"2\">" + cell("A2", "L1") +
                              cell("B2", "Ledger one") + "</row>";
        std::string path = scratch.File("half\xFF.xlsx");
        test::WriteZip(path, test::XlsxParts({items, ledgers}));
        return path;
    }
};

TEST_P(RoundTrip, GivesTheSameGrids) {
    std::string workbook = WorkbookOf(GetParam());
    Result found = Run("preview " + workbook + " --format json");
    ASSERT_EQ(found.status, 0) << found.err;
    EXPECT_TRUE(IsValidUtf8(found.out)) << found.out;
    EXPECT_EQ((found.out + found.err).find('\x1B'), std::string::npos) << "no escape is passed on";
    std::string file = MappingFile(workbook);
    Result chosen = Run("preview " + workbook + " --format json --columns " + file);
    ASSERT_EQ(chosen.status, 0) << chosen.err;
    EXPECT_EQ(chosen.out, found.out);
    EXPECT_NE(chosen.err.find("(chosen)"), std::string::npos) << chosen.err;
}

INSTANTIATE_TEST_SUITE_P(Layouts, RoundTrip,
                         ::testing::Values("described.xlsx", "own_headings.ods", "shuffled.xls",
                                           "extra_column.xlsx", "missing_optional.xlsx",
                                           "swapped.xlsx", "cover_first.xlsx",
                                           "customers_suppliers.xlsx", "title_line.xlsx",
                                           "no_heading_row.xlsx", "units.xlsx", "blank_rows.xlsx",
                                           "%HalfCharacter"),
                         [](const auto& info) {
                             std::string name = info.param;
                             return std::regex_replace(name, std::regex("[^A-Za-z0-9]"), "_");
                         });

// Two columns claim QOH: the load refuses the workbook; the columns command
// prints it with the problem, and the edited file reads it.
TEST_F(ColumnsCommand, AnEditedFileReadsAWorkbookTheLoadRefuses) {
    std::string workbook = Headings("doubled.xlsx");
    Result refused = Run("preview " + workbook);
    EXPECT_EQ(refused.status, 2);
    Result printed = Run("columns " + workbook + " --format json");
    EXPECT_EQ(printed.status, 1) << printed.err;
    EXPECT_NE(printed.out.find("both hold QOH"), std::string::npos) << printed.out;
    std::string json = std::regex_replace(
        printed.out, std::regex("\\{\"field\": \"QOH\", \"column\": \"\", \"heading\": \"\""),
        "{\"field\": \"QOH\", \"column\": \"\", \"heading\": \"Qty\"");
    json = std::regex_replace(
        json, std::regex("\\{\"field\": \"PURCHASE RATE\", \"column\": \"\", \"heading\": \"\""),
        "{\"field\": \"PURCHASE RATE\", \"column\": \"\", \"heading\": \"quantity\"");
    std::string file = Write("edited.json", json);
    Result chosen = Run("preview " + workbook + " --sheet items --columns " + file);
    ASSERT_EQ(chosen.status, 0) << chosen.err;
    std::istringstream lines(chosen.out);
    std::string header, soap;
    std::getline(lines, header);
    std::getline(lines, soap);
    EXPECT_EQ(soap, "2\tA1\tSoap\tToiletries\t\t10\t18" + std::string(10, '\t')) << chosen.out;
}

TEST_F(ColumnsCommand, TheLetterIsUsedWhenTheHeadingIsEmpty) {
    std::string json = R"({"sheets": [
        {"name": "Items", "role": "items", "fields": [
            {"field": "ITEM CODE", "column": "B", "heading": ""},
            {"field": "item name", "column": "A"},
            {"field": "QOH", "column": "e", "heading": null}]},
        {"sheet": 2, "role": "none"}]})";
    Result r =
        Run("preview " + Headings("described.xlsx") + " --columns " + Write("letters.json", json));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("2\tSoap\tA1\t\t\t10\t"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("Acme Traders"), std::string::npos) << r.out;
}

// A sheet chosen by its name or its place, for one kind: that sheet and no
// other of the kind.
struct SheetOption {
    const char* name;
    const char* option;
    const char* ledgerShown;
    const char* ledgerLeftOut;
};

class SheetChosen : public ColumnsCommand, public ::testing::WithParamInterface<SheetOption> {};

TEST_P(SheetChosen, IsTheOneSheetOfItsKind) {
    Result r = Run("preview " + Headings("customers_suppliers.xlsx") + " --sheet ledgers " +
                   GetParam().option);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(GetParam().ledgerShown), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find(GetParam().ledgerLeftOut), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("was not read: another sheet was chosen in its place."), std::string::npos)
        << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    ByNameAndNumber, SheetChosen,
    ::testing::Values(SheetOption{"ByName", "--ledgers-sheet Suppliers", "O'Brien", "Acme Traders"},
                      SheetOption{"ByNameInAnyCase", "--ledgers-sheet suppliers", "O'Brien",
                                  "Acme Traders"},
                      SheetOption{"ByNumber", "--ledgers-sheet 2", "Acme Traders", "O'Brien"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ColumnsCommand, AnItemsSheetChosenOverTheHeadingsIsReadAsItems) {
    // Worksheet 1 holds ledgers; chosen as items, its headings give no item
    // code (the load would refuse it), and the sheet of items is not read.
    Result r = Run("columns " + Headings("swapped.xlsx") + " --items-sheet 1 --format json");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find("\"problem\": \"no column holds ITEM CODE\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("{\"sheet\": 1, \"name\": \"Ledgers\", \"role\": \"items\", "
                         "\"found_by\": \"chosen\""),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("{\"sheet\": 2, \"name\": \"Items\", \"role\": \"none\"}"),
              std::string::npos)
        << r.out;
}

// Regression: a workbook path that is no UTF-8 (a name in Latin-1) went into
// the JSON as it was, which made the document invalid.
TEST_F(ColumnsCommand, AWorkbookPathThatIsNoUtf8IsWrittenAsValidJson) {
    std::string book = scratch.File("Caf\xE9.xlsx");
    std::filesystem::copy_file(Headings("described.xlsx"), book);
    Result r = Run("columns " + book + " --format json");
    ASSERT_EQ(r.status, 0) << r.err;
    nlohmann::json document;
    ASSERT_NO_THROW(document = nlohmann::json::parse(r.out)) << r.out;
    EXPECT_EQ(document["workbook"], scratch.File("Caf\uFFFD.xlsx")) << r.out;
}

// What the command line refuses, with the sentence that says why (exit 2).
struct Refusal {
    const char* name;
    const char* command;  // %W the workbook, %F the columns file, %P the product folder
    const char* json;
    const char* sentence;
};

class Refused : public ColumnsCommand, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Refused, WithASentenceAndStatus2) {
    std::string command = GetParam().command;
    command = std::regex_replace(command, std::regex("%W"), Headings("described.xlsx"));
    command = std::regex_replace(command, std::regex("%F"), ColumnsFileOf(GetParam().json));
    command = std::regex_replace(command, std::regex("%P"), product.Path());
    Result r = Run(command);
    EXPECT_EQ(r.status, 2) << r.out << r.err;
    EXPECT_NE(r.err.find(GetParam().sentence), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("what()"), std::string::npos) << r.err;
}

const Refusal kRefusals[] = {
    {"NotJson", "preview %W --columns %F", "{\"sheets\": [",
     "is not JSON as \"ledgerlift columns --format json\" prints it: parse error at line 1"},
    {"NoSheetsList", "check %W --company DEMO --product-folder %P --columns %F", "{\"fields\": []}",
     "has no \"sheets\" list"},
    {"UnknownField", "preview %W --columns %F",
     R"({"sheets": [{"name": "Items", "role": "items", "fields": [{"field": "QTY ON HAND"}]}]})",
     "names the field \"QTY ON HAND\" on the sheet \"Items\", which is no item field; the fields "
     "are ITEM CODE, ITEM NAME,"},
    {"UnknownRole", "migrate %W --company DEMO --yes --product-folder %P --columns %F",
     R"({"sheets": [{"name": "Items", "role": "stock"}]})",
     "gives the sheet \"Items\" the role \"stock\"; a role is items, ledgers or none."},
    {"BadLetter", "preview %W --columns %F",
     R"({"sheets": [{"name": "Items", "role": "items", "fields": [{"field": "QOH", "column": "E5"}]}]})",
     "the column \"E5\", which is no column letter"},
    {"MissingSheetInFile", "preview %W --columns %F",
     R"({"sheets": [{"name": "Stock", "role": "items"}]})",
     "has no worksheet named \"Stock\" for the chosen columns; its worksheets are 1 (Items), 2 "
     "(Ledgers)."},
    {"MissingSheetByName", "preview %W --items-sheet Stock", "",
     "has no worksheet named \"Stock\" for the items sheet; its worksheets are 1 (Items), 2 "
     "(Ledgers)."},
    {"MissingSheetByNumber", "columns %W --ledgers-sheet 3", "",
     "has no worksheet 3 for the ledgers sheet; its worksheets are 1 (Items), 2 (Ledgers)."},
    {"OneSheetBothKinds", "preview %W --items-sheet 1 --ledgers-sheet Items", "",
     "was chosen as both the items sheet and the ledgers sheet"},
    {"HeadingNotThere", "preview %W --columns %F",
     R"({"sheets": [{"name": "Items", "role": "items", "fields": [{"field": "ITEM CODE", "heading": "SKU"}]}]})",
     "In worksheet 1 (Items), no column has the heading \"SKU\" chosen for ITEM CODE."},
    {"RequiredLeftOut", "preview %W --columns %F",
     R"({"sheets": [{"name": "Items", "role": "items", "fields": [{"field": "ITEM CODE", "heading": "ITEM CODE"}]}]})",
     "read as items, no column is chosen for ITEM NAME."},
    {"OneColumnTwice", "preview %W --columns %F",
     R"({"sheets": [{"name": "Items", "role": "items", "fields": [{"field": "ITEM CODE", "column": "A"}, {"field": "ITEM NAME", "column": "A"}]}]})",
     "column A (ITEM CODE) is chosen for both ITEM CODE and ITEM NAME."},
    {"NoFile", "preview %W --columns %F.missing", "",
     "refused.json.missing can't be read: it does not exist."},
    // Faults found by hostile testing: each once crashed, hung or misread.
    {"NumberOutOfRangeUnderAnUnreadKey", "preview %W --columns %F",
     R"({"sheets": [{"name": "Items", "role": "items", "note": 1e999}]})",
     "is not JSON as \"ledgerlift columns --format json\" prints it: number overflow parsing "
     "'1e999'."},
    {"HeadingRowBeyondAnyRow", "preview %W --columns %F",
     R"({"sheets": [{"name": "Items", "role": "items", "heading_row": 2147483647}]})",
     "gives the sheet \"Items\" the \"heading_row\" 2147483647; a heading row is a whole number "
     "from 1 to 65000"},
    {"HeadingRowBelowTheSheet", "preview %W --columns %F",
     R"({"sheets": [{"name": "Items", "role": "items", "heading_row": 60000}]})",
     "Worksheet 1 (Items) has no row 60000 to read its headings from: its last row read is"},
    {"SheetPlaceThatWouldWrapToOne", "preview %W --columns %F",
     R"({"sheets": [{"sheet": 4294967297, "role": "items"}]})",
     "the \"sheet\" 4294967297; a sheet's place is a whole number from 1 to 2147483647"},
    {"SheetPlaceAsText", "preview %W --columns %F",
     R"({"sheets": [{"sheet": "1", "role": "items"}]})",
     "the \"sheet\" \"1\"; a sheet's place is a whole number"},
    {"HeadingAsNumber", "preview %W --columns %F",
     R"({"sheets": [{"name": "Items", "role": "items", "fields": [{"field": "QOH", "heading": 5}]}]})",
     "gives the sheet \"Items\" a \"heading\" that is a number, not a text."},
    {"FieldsNotAList", "preview %W --columns %F",
     R"({"sheets": [{"name": "Items", "role": "items", "fields": {"field": "QOH"}}]})",
     "gives the sheet \"Items\" \"fields\" that are an object, not a list."},
    {"FieldListedTwice", "preview %W --columns %F",
     R"({"sheets": [{"name": "Items", "role": "items", "fields": [{"field": "QOH", "column": "E"}, {"field": "qoh", "column": "F"}]}]})",
     "lists the field QOH twice on the sheet \"Items\"; list each field once."},
    {"LetterBeyondXfd", "preview %W --columns %F",
     R"({"sheets": [{"name": "Items", "role": "items", "fields": [{"field": "QOH", "column": "XFE"}]}]})",
     "the column \"XFE\", which is no column letter"},
    {"LargerThanAnyChoice", "preview %W --columns %F", "%BIG",
     "refused.json can't be read: it is larger than 1 MB"},
    // Special files: read, they would block or never end.
    {"NamedPipe", "preview %W --columns %F", "%PIPE",
     "refused.pipe can't be read: it is a named pipe, not a file."},
    {"LinkToANamedPipe", "preview %W --columns %F", "%PIPELINK",
     "refused.json can't be read: it is a named pipe, not a file."},
    {"Device", "preview %W --columns /dev/zero", "",
     "/dev/zero can't be read: it is a device, not a file."},
};

INSTANTIATE_TEST_SUITE_P(ColumnsCommand, Refused, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledgerlift
