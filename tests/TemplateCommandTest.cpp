// "ledgerlift template": a workbook to fill in, that loads back as the
// described layout, filled or not.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "import/OpenWorkbook.h"
#include "tests/ProgramRun.h"
#include "tests/ZipPart.h"

namespace ledgerlift {
namespace {

class TemplateCommand : public CommandLine {
  protected:
    // The template, filled with the rows of a workbook as a bookkeeper would
    // type them in.
    std::string Filled(const std::string& templatePath, const std::string& rows) {
        std::string filled = scratch.File("filled.xlsx");
        std::string command = "/usr/bin/python3 " LEDGERLIFT_SOURCE_DIR
                              "/scripts/fill_template.py " +
                              templatePath + " " + rows + " " + filled;
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return filled;
    }
    std::string Sample() { return LEDGERLIFT_SOURCE_DIR "/resources/demo/sample.xlsx"; }
};

TEST_F(TemplateCommand, LoadsBackAsTheDescribedLayoutWithNoWarning) {
    std::string path = scratch.File("template.xlsx");
    Result made = Run("template " + path);
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.err, "information: The template was written to " + path + ".\n");
    Result loaded = Run("preview " + path);
    EXPECT_EQ(loaded.status, 0) << loaded.err;
    EXPECT_EQ(loaded.err.find("warning"), std::string::npos) << loaded.err;
    EXPECT_NE(loaded.err.find("Worksheet 1 (Items) read as items, headings in row 1: columns A "
                              "to P as described; 0 rows read."),
              std::string::npos)
        << loaded.err;
    EXPECT_NE(loaded.err.find("Worksheet 2 (Ledgers) read as ledgers, headings in row 1: columns "
                              "A to I as described; 0 rows read."),
              std::string::npos)
        << loaded.err;
}

TEST_F(TemplateCommand, FilledWithTheSampleLoadsToTheSamplesGrids) {
    std::string path = scratch.File("template.xlsx");
    ASSERT_EQ(Run("template " + path).status, 0);
    Result sample = Run("preview --format json " + Sample());
    Result filled = Run("preview --format json " + Filled(path, Sample()));
    ASSERT_EQ(filled.status, 0) << filled.err;
    EXPECT_EQ(filled.out, sample.out);
    EXPECT_NE(filled.err.find("38 rows read"), std::string::npos) << filled.err;
    EXPECT_EQ(filled.err.find("warning"), std::string::npos) << filled.err;
    // And it migrates as the sample does: every row goes in, with the same
    // opening stock and balances.
    Result run = Run("migrate " + scratch.File("filled.xlsx") +
                     " --company DEMO --date 2024-04-01 --yes --product-folder " + product.Path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Summary: item sheet, 38 of 38 rows went in"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Summary: ledger sheet, 30 of 30 rows went in"), std::string::npos)
        << run.out;
    EXPECT_EQ(Rows("select count(*), total(QtyIn), total(PValueIn) from tblStockHistory"),
              "34|4860|823209.17\n");
}

// What a person filling it in sees: notes, lists, formats, frozen captions.
TEST_F(TemplateCommand, CarriesNotesListsAndNumberFormats) {
    std::string path = scratch.File("template.xlsx");
    ASSERT_EQ(Run("template " + path).status, 0);
    std::string items = test::ZipPartText(path, "xl/worksheets/sheet1.xml");
    std::string ledgers = test::ZipPartText(path, "xl/worksheets/sheet2.xml");
    EXPECT_NE(items.find("state=\"frozen\""), std::string::npos);
    EXPECT_NE(ledgers.find("state=\"frozen\""), std::string::npos);
    for (const char* column : {"L", "M"}) {
        std::string list = std::string("sqref=\"") + column + "2:" + column +
                           "65000\"><formula1>\"YES,NO\"</formula1>";
        EXPECT_NE(items.find(list), std::string::npos) << list << "\n" << items;
    }
    EXPECT_NE(ledgers.find("sqref=\"H2:H65000\"><formula1>\"Dr,Cr\"</formula1>"), std::string::npos)
        << ledgers;
    std::string styles = test::ZipPartText(path, "xl/styles.xml");
    EXPECT_NE(styles.find("formatCode=\"0.00\""), std::string::npos) << styles;
    EXPECT_NE(styles.find("formatCode=\"0.000\""), std::string::npos) << styles;
    EXPECT_NE(styles.find("<b/>"), std::string::npos) << styles;
    std::string notes =
        test::ZipPartText(path, "xl/comments1.xml") + test::ZipPartText(path, "xl/comments2.xml");
    for (const char* note :
         {"Required. The item's code", "in the item's UNIT", "The sales tax, in percent",
          "YES when the sales rate includes the tax", "Required. The ledger's name",
          "Dr for a debit opening balance"}) {
        EXPECT_NE(notes.find(note), std::string::npos) << note << "\n" << notes;
    }
    EXPECT_EQ(test::ZipPartText(path, "xl/worksheets/sheet3.xml"), "")
        << "no lists without a company";
}

TEST_F(TemplateCommand, OffersTheCompanysCategoriesAndGroupsAndWarnsOfOthers) {
    test::Execute(db, "insert into tblCategories (Category) values ('Toiletries'), ('Grocery')");
    std::string groups = Rows("select AccountGroup from tblAccountgroup order by AccountGroup");
    ASSERT_FALSE(groups.empty());
    std::string path = scratch.File("template.xlsx");
    Result made = Run("template " + path + " --company DEMO --product-folder " + product.Path());
    ASSERT_EQ(made.status, 0) << made.err;
    std::string names = test::ZipPartText(path, "xl/sharedStrings.xml");
    std::istringstream lines(groups);
    int count = 0;
    for (std::string group; std::getline(lines, group); ++count) {
        std::string xml = std::regex_replace(group, std::regex("&"), "&amp;");
        EXPECT_NE(names.find("<t>" + xml + "</t>"), std::string::npos) << group << "\n" << names;
    }
    std::string items = test::ZipPartText(path, "xl/worksheets/sheet1.xml");
    EXPECT_NE(items.find("errorStyle=\"warning\""), std::string::npos) << items;
    EXPECT_NE(items.find("sqref=\"C2:C65000\"><formula1>Lists!$A$1:$A$2</formula1>"),
              std::string::npos)
        << items;
    std::string ledgers = test::ZipPartText(path, "xl/worksheets/sheet2.xml");
    std::string range =
        "sqref=\"C2:C65000\"><formula1>Lists!$A$4:$A$" + std::to_string(3 + count) + "</formula1>";
    EXPECT_NE(ledgers.find(range), std::string::npos) << range << "\n" << ledgers;
    std::string lists = test::ZipPartText(path, "xl/workbook.xml");
    EXPECT_NE(lists.find("name=\"Lists\" sheetId=\"3\" state=\"hidden\""), std::string::npos)
        << lists;
    Result filled = Run("preview --format json " + Filled(path, Sample()));
    EXPECT_EQ(filled.out, Run("preview --format json " + Sample()).out);
}

// A company's name that no workbook can hold: left out of the lists and
// named in a warning; the rest is written and loads. Once a workbook that
// could not be read back (said to be written), or a whole template refused
// with the library's sentence.
struct Unwritable {
    const char* name;
    const char* insert;
    const char* why;
};

class UnwritableName : public TemplateCommand, public ::testing::WithParamInterface<Unwritable> {};

TEST_P(UnwritableName, IsLeftOutAndNamed) {
    test::Execute(db, "insert into tblCategories (Category) values ('Grocery')");
    test::Execute(db, GetParam().insert);
    std::string path = scratch.File("template.xlsx");
    Result made = Run("template " + path + " --company DEMO --product-folder " + product.Path());
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_NE(made.err.find("warning: The category \""), std::string::npos) << made.err;
    EXPECT_NE(made.err.find(GetParam().why), std::string::npos) << made.err;
    EXPECT_NE(test::ZipPartText(path, "xl/sharedStrings.xml").find("<t>Grocery</t>"),
              std::string::npos);
    AnyWorkbookReader book;
    EXPECT_NO_THROW(book.Open(path));
}

INSTANTIATE_TEST_SUITE_P(TemplateCommand, UnwritableName,
                         ::testing::Values(Unwritable{"NotUtf8",
                                                      "insert into tblCategories (Category) values "
                                                      "(cast(x'4F6C64C3' as text))",
                                                      "it is not valid text"},
                                           Unwritable{"LongerThanACell",
                                                      "insert into tblCategories (Category) values "
                                                      "(hex(zeroblob(20000)))",
                                                      "it is 40000 characters long"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct Refusal {
    const char* name;
    const char* args;  // %S the scratch folder, %P the product folder
    const char* sentence;
    // The program run alone, where no product folder is found (the rows
    // once replaced what the same command with the folder refused).
    bool alone = false;
};

class TemplateRefused : public TemplateCommand, public ::testing::WithParamInterface<Refusal> {};

TEST_P(TemplateRefused, WithASentenceAndStatus2) {
    std::ofstream(scratch.File("readonly.xlsx")) << "kept";
    std::filesystem::permissions(scratch.File("readonly.xlsx"), std::filesystem::perms::owner_read);
    std::filesystem::create_symlink(scratch.File("readonly.xlsx"), scratch.File("link.xlsx"));
    std::string binary = LEDGERLIFT_BINARY;
    test::TempFolder elsewhere;
    if (GetParam().alone) {
        binary = elsewhere.File("ledgerlift");
        std::filesystem::copy_file(LEDGERLIFT_BINARY, binary);
    }
    std::string args = std::regex_replace(GetParam().args, std::regex("%S"), scratch.Path());
    args = std::regex_replace(args, std::regex("%P"), product.Path());
    Result r = Run("template " + args, "", binary);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find(GetParam().sentence), std::string::npos) << r.err;
    EXPECT_EQ(Slurp(scratch.File("readonly.xlsx")), "kept");
}

INSTANTIATE_TEST_SUITE_P(
    TemplateCommand, TemplateRefused,
    ::testing::Values(
        Refusal{"NotXlsx", "%S/t.xls", "must be an .xlsx file"},
        Refusal{"NoSuchFolder", "%S/none/t.xlsx", "does not exist"},
        Refusal{"IntoABackupFolder", "%P/Resources/Database/C01/Backups/t.xlsx --product-folder %P",
                "cannot be written"},
        Refusal{"UnknownCompany", "%S/t.xlsx --company NONE --product-folder %P", "NONE"},
        Refusal{"ReadOnlyWithoutAProductFolder", "%S/readonly.xlsx", "it is read-only", true},
        Refusal{"LinkWithoutAProductFolder", "%S/link.xlsx", "it is a symbolic link", true},
        Refusal{"IntoABackupFolderWithoutAProductFolder",
                "%P/Resources/Database/C01/Backups/t.xlsx",
                "that is a file in the backup folder of the database", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledgerlift
