#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>

#include <algorithm>

#include "tests/PackageWriter.h"
#include "tests/ProgramRun.h"

namespace ledgerlift {
namespace {

const char* const kRunLines =
    "User opted to migrate Data to Company DEMO\n"
    "Migrating Category Master\n"
    "Completed Migrating Category Master\n"
    "Started Migrating Item Master\n"
    "Completed Migrating Item Master\n"
    "Started Migrating Item Customer Supplier\n"
    "Summary: categories 2 written, 0 already there, 0 failed\n"
    "Summary: items 2 written, 0 updated, 0 skipped, 0 failed, 2 stock postings\n"
    "Summary: ledgers 1 written, 0 skipped, 0 failed, 1 vouchers posted\n"
    "Summary: item sheet, 2 of 2 rows went in\n"
    "Summary: ledger sheet, 1 of 1 rows went in\n";
const char* const kReconciledLines =
    "Reconciled: items 2 of 2 in the company, 2 opening stock lines, quantity 2, value 20\n"
    "Reconciled: ledgers 1 of 1 in the company, opening balances debit 100, credit 0\n"
    "Nothing left to migrate: both items and the ledger are in the company with their opening "
    "stock and balances.\n";
const char* const kClosingLines =
    "Load Tallvane Company and start with the entries.... \n"
    "*************************************************\n";
// A real run reads back what it wrote before its closing lines, and says
// when nothing is left to do; a dry run leaves nothing to read back.
const std::string kStatusLines = std::string(kRunLines) + kReconciledLines + kClosingLines;
const std::string kDryRunLines = std::string(kRunLines) +
                                 "Dry run completed: nothing was written to the company; the "
                                 "lines above say what a real migration would do.\n"
                                 "*************************************************\n";

// The backup files of the company DEMO (there is one at most here).
std::vector<std::string> Backups(const test::ProductFolder& product) {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& e :
         std::filesystem::directory_iterator(product.DatabaseFolder() + "/C01/Backups", ec)) {
        if (e.path().extension() == ".mdb") {
            files.push_back(e.path().string());
        }
    }
    return files;
}

// The status lines of a real run: the backup's path after the first.
std::string WithBackup(const std::string& lines, const std::string& backup) {
    std::size_t first = lines.find('\n') + 1;
    return lines.substr(0, first) + "Backed up the company database to " + backup + "\n" +
           lines.substr(first);
}

TEST_F(CommandLine, ListsTheCompaniesInTheWindowsOrder) {
    product.AddCompany("SHOP", "C02", "SHOP");
    Result r = Run("companies --product-folder " + product.Path());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "DEMO\nSHOP\n");
}

TEST_F(CommandLine, PreviewsBothSheetsAsTabSeparatedText) {
    Result r = Run("preview " + test::FixturePath("two_rows.xls"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "# items\n"
              "SLNO\tITEM CODE\tITEM NAME\tCATEGORY\tMANUFACTURE\tQOH\tPURCHASE RATE\tWHOLESALE\t"
              "MRP\tSALES VAT\tCST\tPURCHASE VAT\tRATE INCLUSIVE OF TAX SALES\t"
              "RATE INCLUSIVE OF TAX PURCHASE\tUNIT\tDescription\tROL\n"
              "2\tA1\tSoap\tToiletries\tMaker\t1\t10\t11\t12\t5\t2\t4\tNO\tNO\tNos\t\t1\n"
              "3\tA2\tOil\tKitchen\tMaker\t1\t10\t11\t12\t5\t2\t4\tNO\tNO\tNos\t\t1\n"
              "# ledgers\n"
              "SL No\tLedger Alias Name\tLedger Name\tAccountGroup\tAddress\tPhone\tTIN\t"
              "OpeningBalance\tDrCr\tArea\n"
              "2\tL1\tLedger One\tSundry Debtors\t\t\t\t100\tDr\t\n");
}

TEST_F(CommandLine, PreviewsOneSheetAsJsonObjectsKeyedByColumnName) {
    Result r =
        Run("preview " + test::FixturePath("real_mixed.xls") + " --sheet ledgers --format json");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        r.out,
        "{\n  \"ledgers\": [\n"
        "    {\"SL No\":\"2\",\"Ledger Alias Name\":\"AC\",\"Ledger Name\":\"Acme Traders\","
        "\"AccountGroup\":\"Sundry Debtors\",\"Address\":\"1 Main St\",\"Phone\":\"555-0101\","
        "\"TIN\":\"TIN1\",\"OpeningBalance\":\"1500\",\"DrCr\":\"Dr\",\"Area\":\"North\"},\n"
        "    {\"SL No\":\"3\",\"Ledger Alias Name\":\"OB\",\"Ledger Name\":\"O'Brien & Sons\","
        "\"AccountGroup\":\"Sundry Creditors\",\"Address\":\"2 Side St\",\"Phone\":\"555'0102\","
        "\"TIN\":\"TIN'2\",\"OpeningBalance\":\"250\",\"DrCr\":\"cr\",\"Area\":\"South\"}"
        "\n  ]\n}\n");
}

TEST_F(CommandLine, PreviewsOneSheetAsCsvWithAHeaderRow) {
    Result r =
        Run("preview " + test::FixturePath("real_mixed.xls") + " --sheet ledgers --format csv");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "SL No,Ledger Alias Name,Ledger Name,AccountGroup,Address,Phone,TIN,OpeningBalance,"
              "DrCr,Area\r\n"
              "2,AC,Acme Traders,Sundry Debtors,1 Main St,555-0101,TIN1,1500,Dr,North\r\n"
              "3,OB,O'Brien & Sons,Sundry Creditors,2 Side St,555'0102,TIN'2,250,cr,South\r\n");
}

// preview printed a workbook of one worksheet and exited 0, where check and
// migrate refuse it: it loads as they do now, with their sentence.
TEST_F(CommandLine, PreviewRefusesAWorkbookWithOneWorksheetAsTheImportDoes) {
    std::string book = test::FixturePath("headings/one_unrecognised_sheet.xls");
    Result preview = Run("preview " + book + " --format json");
    Result check = Run("check " + book + " --company DEMO --product-folder " + product.Path());
    Result migrate = Run(Migrate("headings/one_unrecognised_sheet.xls", "--yes"));
    EXPECT_EQ(preview.status, 2);
    EXPECT_EQ(preview.out, "");
    EXPECT_EQ(preview.err, "error: The workbook " + book + " has no worksheet 2: it has 1.\n");
    EXPECT_EQ(check.status, 2);
    EXPECT_EQ(check.err, preview.err);
    EXPECT_EQ(migrate.status, 2);
    EXPECT_EQ(migrate.err, preview.err);
}

// Every workbook of the fixtures: preview refuses what the import refuses,
// in the same words, and warns as it warns.
class PreviewAndImport : public CommandLine, public ::testing::WithParamInterface<std::string> {};

TEST_P(PreviewAndImport, AgreeOnEveryWorkbook) {
    std::string book = test::FixturePath(GetParam());
    Result preview = Run("preview " + book + " --format json --quiet");
    Result check =
        Run("check " + book + " --company DEMO --quiet --product-folder " + product.Path());
    if (check.status == 2) {
        EXPECT_EQ(preview.status, 2);
        EXPECT_EQ(preview.err, check.err);
        EXPECT_EQ(preview.out, "");
        return;
    }
    EXPECT_EQ(preview.status, 0) << preview.err;
    EXPECT_EQ(check.err.rfind(preview.err, 0), 0u) << "the load's warnings come first, alike:\n"
                                                   << preview.err << "\n"
                                                   << check.err;
}

std::vector<std::string> Fixtures() {
    std::vector<std::string> names;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(LEDGERLIFT_FIXTURES_DIR)) {
        if (entry.is_regular_file()) {
            names.push_back(
                std::filesystem::relative(entry.path(), LEDGERLIFT_FIXTURES_DIR).string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, PreviewAndImport, ::testing::ValuesIn(Fixtures()),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '.', '_');
                             std::replace(name.begin(), name.end(), '/', '_');
                             return name;
                         });

// A NUL in a cell cut the tab-separated line there, and with it the row.
TEST_F(CommandLine, PreviewCarriesANulInACellInEveryFormat) {
    using namespace std::string_literals;
    std::string book = scratch.File("nul.xlsx");
    auto cell = [](const std::string& ref, const std::string& text) {
        return "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
    };
    std::string header = "<row r=\"1\">" + cell("A1", "Code") + cell("B1", "Name") + "</row>";
    std::string ledgers = header + "<row r=\"2\">" + cell("A2", "AL") + cell("B2", "Ac_x0000_me") +
                          cell("C2", "Sundry Debtors") + "</row>";
    test::WriteZip(book, test::XlsxParts({header, ledgers}));
    Result tsv = Run("preview " + book + " --sheet ledgers");
    EXPECT_EQ(tsv.status, 0) << tsv.err;
    EXPECT_NE(tsv.out.find("\n2\tAL\tAc\\0me\tSundry Debtors\t\t\t\t\t\t\n"), std::string::npos)
        << tsv.out;
    Result csv = Run("preview " + book + " --sheet ledgers --format csv");
    EXPECT_NE(csv.out.find("\r\n2,AL,\"Ac\0me\",Sundry Debtors,,,,,,\r\n"s), std::string::npos)
        << csv.out;
    Result json = Run("preview " + book + " --sheet ledgers --format json");
    EXPECT_NE(json.out.find("\"Ledger Name\":\"Ac\\u0000me\",\"AccountGroup\":\"Sundry Debtors\""),
              std::string::npos)
        << json.out;
}

TEST_F(CommandLine, MigratesAWorkbookAndPrintsTheStatusLines) {
    Result r = Run(Migrate("two_rows.xls", "--yes"));
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(Backups(product).size(), 1u);
    EXPECT_EQ(r.out, WithBackup(kStatusLines, Backups(product)[0]));
    EXPECT_NE(r.err.find("information: Completed Excel importing\n"), std::string::npos);
    EXPECT_NE(r.err.find("question: Are you to continue with Migratiion  DEMO  (answered Yes)"),
              std::string::npos);
    EXPECT_NE(r.err.find("information: Migration Completed\n"), std::string::npos);
    EXPECT_EQ(Rows("select ItemCode from tblItemMaster order by 1"), "A1\nA2\n");
    EXPECT_EQ(Rows("select LName, GroupName, OpBalance from tblLedger"),
              "Ledger One|Customer|100\n");
    EXPECT_EQ(Rows("select distinct TrDate from tblVoucher"), "2009-04-01\n");
}

TEST_F(CommandLine, ADryRunWritesNothingAndPrintsTheSameCounts) {
    std::string before = Slurp(db);
    Result dry = Run(Migrate("two_rows.xls", "--yes --dry-run"));
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_TRUE(Slurp(db) == before) << "the database file is unchanged, byte for byte";
    EXPECT_FALSE(std::filesystem::exists(db + "-wal"));
    EXPECT_EQ(dry.out,
              std::string("Dry run: nothing is written to the company database.\n") + kDryRunLines);
    EXPECT_TRUE(Backups(product).empty()) << "a dry run makes no backup";
    Result real = Run(Migrate("two_rows.xls", "--yes"));
    ASSERT_EQ(Backups(product).size(), 1u);
    EXPECT_EQ(real.out, WithBackup(kStatusLines, Backups(product)[0]));
}

TEST_F(CommandLine, OnErrorStopEndsTheStageContinueGoesOn) {
    Result stop = Run(Migrate("bad_row.xls", "--yes --on-error stop"));
    EXPECT_EQ(stop.status, 1);
    EXPECT_NE(stop.err.find("question: Are you sure to Continue with next data"),
              std::string::npos);
    EXPECT_NE(stop.err.find("(answered No)"), std::string::npos);
    EXPECT_EQ(Rows("select LName from tblLedger order by LID"), "First\n");

    test::ProductFolder other;
    db = other.AddCompany("DEMO", "C01", "DEMO");
    Result go = Run("migrate " + test::FixturePath("bad_row.xls") +
                    " --company DEMO --yes --on-error continue --product-folder " + other.Path());
    EXPECT_EQ(go.status, 1) << "a row failed";
    EXPECT_EQ(Rows("select LName from tblLedger order by LID"), "First\nThird\n")
        << "a balance too large for a currency refuses its whole row";
    EXPECT_EQ(Rows("select count(*) from tblVoucher"), "4\n");
}

TEST_F(CommandLine, WritesOneReportLinePerGridRow) {
    std::string report = scratch.File("report.csv");
    Result r = Run(Migrate("bad_row.xls", "--yes --on-error continue --report " + report));
    EXPECT_EQ(r.status, 1);
    std::string csv = Slurp(report);
    EXPECT_EQ(csv.substr(0, csv.find('\n', csv.find('\n') + 1) + 1),
              "sheet,row,code or name,outcome,id,error,step,problems\r\nitems,2,A1,written,2,,,"
              "\r\n");
    EXPECT_NE(csv.find("ledgers,2,First,written,1,,,\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("ledgers,3,Too big,failed,,\"Ledger row 3, Too big, column G "
                       "(OpeningBalance): The amount 1E+16 is too large for a currency "
                       "amount.\",insert the ledger,\r\n"),
              std::string::npos)
        << "what happened, where, and the step that failed: " << csv;
    EXPECT_NE(csv.find("ledgers,4,Third,written,3,,,\r\n"), std::string::npos) << csv;
}

// A dry run's report said every row was "written", with ids that the undone
// run had given.
TEST_F(CommandLine, ADryRunsReportSaysWhatARunWouldDoWithoutIds) {
    std::string report = scratch.File("dry.csv");
    Result r =
        Run(Migrate("bad_row.xls", "--yes --dry-run --on-error continue --report " + report));
    EXPECT_EQ(r.status, 1) << r.err;
    std::string csv = Slurp(report);
    EXPECT_EQ(csv.substr(0, csv.find('\n') + 1),
              "sheet,row,code or name,outcome,id,error,step,problems,run\r\n");
    EXPECT_NE(csv.find("items,2,A1,would be written,,,,,dry run\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("ledgers,2,First,would be written,,,,,dry run\r\n"), std::string::npos)
        << csv;
    EXPECT_NE(csv.find("ledgers,3,Too big,would fail,,\"Ledger row 3, Too big, column G "
                       "(OpeningBalance): The amount 1E+16 is too large for a currency "
                       "amount.\",insert the ledger,,dry run\r\n"),
              std::string::npos)
        << csv;
    EXPECT_EQ(csv.find(",written,"), std::string::npos) << "nothing was written: " << csv;
    EXPECT_EQ(Rows("select count(*) from tblLedger"), "0\n");

    Result real = Run(Migrate("bad_row.xls", "--yes --on-error continue --report " + report));
    EXPECT_EQ(Slurp(report).substr(0, Slurp(report).find('\n') + 1),
              "sheet,row,code or name,outcome,id,error,step,problems\r\n")
        << "a real run's columns stay as they were";
}

TEST_F(CommandLine, CheckPrintsTheDocumentScriptsRelyOn) {
    std::string before = Rows("select count(*) from tblLedger");
    Result r =
        Run("check " + test::FixturePath("bad_row.xls") +
            " --company DEMO --date 2009-04-01 --format json --product-folder " + product.Path());
    EXPECT_EQ(r.status, 1) << "a row has an error: " << r.err;
    EXPECT_EQ(r.out.rfind("{\n  \"workbook\": \"", 0), 0u) << r.out;
    for (const char* member :
         {"\"company\": \"DEMO\"", "\"date\": \"2009-04-01\"",
          "\"categories\": {\"new\": 1, \"existing\": 0}",
          "\"items\": {\"rows\": 1, \"new\": 1, \"existing\": 0, \"failing\": 0}",
          "\"opening_stock\": {\"lines\": 1, \"quantity\": 1, \"value\": 10}",
          "\"ledgers\": {\"rows\": 3, \"new\": 2, \"existing\": 0, \"failing\": 1}",
          "\"opening_balances\": {\"debit\": 100, \"credit\": 50, \"stock_value\": 10, "
          "\"difference\": 60}",
          "\"load_warnings\": []",
          "\"problems\": [\n    {\"sheet\": \"ledgers\", \"row\": 3, \"column\": \"G\", "
          "\"heading\": \"OpeningBalance\", \"key\": \"Too big\", \"severity\": \"error\", "
          "\"kind\": \"too-large\", \"text\": \"Ledger row 3, Too big, column G (OpeningBalance): "
          "The amount 1E+16 is too large for a currency amount.\"}\n  ]\n}\n"}) {
        EXPECT_NE(r.out.find(member), std::string::npos) << member << "\n" << r.out;
    }
    EXPECT_EQ(Rows("select count(*) from tblLedger"), before) << "a check writes nothing";

    Result clean = Run("check " + test::FixturePath("two_rows.xls") +
                       " --company DEMO --product-folder " + product.Path());
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_NE(clean.out.find("Check: 0 rows with problems"), std::string::npos) << clean.out;
    Result nowhere = Run("check " + test::FixturePath("two_rows.xls") +
                         " --company NOWHERE --product-folder " + product.Path());
    EXPECT_EQ(nowhere.status, 3) << nowhere.err;
    // Regression: the command line said the rows "are marked in the grids".
    Result text = Run("check " + test::FixturePath("bad_row.xls") +
                      " --company DEMO --date 2009-04-01 --product-folder " + product.Path());
    EXPECT_EQ((text.out + text.err).find("grid"), std::string::npos) << text.out << text.err;
}

// Regression: opening quantities that add up past the largest number ended
// the check with "A number too large to store" and the status of a failed
// connection (3); the check now says the sum is too large and goes on.
TEST_F(CommandLine, CheckSaysASumTooLargeToTotal) {
    auto cell = [](const std::string& ref, const std::string& text) {
        return "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
    };
    std::string items = "<row r=\"1\">" + cell("A1", "ITEM CODE") + cell("B1", "ITEM NAME") +
                        cell("C1", "QOH") + "</row>";
    for (const char* r : {"2", "3"}) {
        items += std::string("<row r=\"") + r + "\">" +
                 cell(std::string("A") + r, "A" + std::string(r)) +
                 cell(std::string("B") + r, "Soap") + "<c r=\"C" + r + "\"><v>1E+308</v></c></row>";
    }
    std::string ledgers = "<row r=\"1\">" + cell("A1", "Ledger Alias Name") +
                          cell("B1", "Ledger Name") + cell("C1", "AccountGroup") +
                          "</row><row r=\"2\">" + cell("A2", "L1") + cell("B2", "Ledger One") +
                          cell("C2", "Sundry Debtors") + "</row>";
    std::string book = scratch.File("huge.xlsx");
    test::WriteZip(book, test::XlsxParts({items, ledgers}));
    std::string check = "check " + book + " --company DEMO --product-folder " + product.Path();
    Result text = Run(check);
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("Check: opening stock 2 lines, quantity too large to total, value 0"),
              std::string::npos)
        << text.out;
    Result json = Run(check + " --format json");
    EXPECT_NE(json.out.find("\"quantity\": null"), std::string::npos) << json.out << json.err;
}

// Regression: migrate labelled a workbook that cannot be loaded "warning:"
// where preview said "error:"; a fatal condition is always "error:".
TEST_F(CommandLine, AWorkbookThatCannotBeLoadedIsAnErrorForEveryCommand) {
    std::string bad = scratch.File("bad.xls");
    std::ofstream(bad) << "not a workbook at all";
    Result migrate =
        Run("migrate " + bad + " --company DEMO --yes --product-folder " + product.Path());
    Result preview = Run("preview " + bad);
    for (const Result& r : {migrate, preview}) {
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err.rfind("error: ", 0), 0u) << r.err;
        EXPECT_EQ(r.err.find("warning"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(bad), std::string::npos) << r.err;
    }
}

TEST_F(CommandLine, PreviewsEveryFormatAlike) {
    Result xls = Run("preview " + test::FixturePath("two_rows.xls"));
    ASSERT_EQ(xls.status, 0) << xls.err;
    for (const char* other : {"two_rows.xlsx", "two_rows.ods"}) {
        Result r = Run("preview " + test::FixturePath(other) + " --format json");
        Result json = Run("preview " + test::FixturePath("two_rows.xls") + " --format json");
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, json.out) << other;
        EXPECT_EQ(Run("preview " + test::FixturePath(other)).out, xls.out) << other;
    }
}

TEST_F(CommandLine, MigratesAnOpenDocumentSpreadsheet) {
    Result r = Run(Migrate("two_rows.ods", "--yes"));
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(Backups(product).size(), 1u);
    EXPECT_EQ(r.out, WithBackup(kStatusLines, Backups(product)[0]));
    EXPECT_EQ(Rows("select ItemCode from tblItemMaster order by 1"), "A1\nA2\n");
}

TEST_F(CommandLine, MigratesAnExcelWorkbookOfToday) {
    Result r = Run(Migrate("two_rows.xlsx", "--yes"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Rows("select LName from tblLedger"), "Ledger One\n");
}

TEST_F(CommandLine, PreviewWarnsOfFormulaCellsWithoutAStoredResult) {
    Result r = Run("preview " + test::FixturePath("uncalculated.xlsx") + " --sheet ledgers");
    EXPECT_EQ(r.status, 0) << r.err;
    // The load warns of both worksheets, as the import does, whichever is
    // printed.
    EXPECT_EQ(r.err, "warning: In worksheet 1 (items) of " +
                         test::FixturePath("uncalculated.xlsx") +
                         ", 3 formula cells have no calculated result stored in the file, so "
                         "they were loaded as empty. Open the workbook in a spreadsheet program, "
                         "save it there and load it again.\n"
                         "warning: In worksheet 2 (ledgers) of " +
                         test::FixturePath("uncalculated.xlsx") +
                         ", 1 formula cell has no calculated result stored in the file, so it "
                         "was loaded as empty. Open the workbook in a spreadsheet program, save "
                         "it there and load it again.\n"
                         "information: Worksheet 1 (Items) read as items, headings in row 1: "
                         "columns A to P as described; 2 rows read.\n"
                         "information: Worksheet 2 (Ledgers) read as ledgers, headings in row 1: "
                         "columns A to I as described; 1 row read.\n");
}

TEST_F(CommandLine, HelpNamesEveryFormat) {
    for (const char* command : {"preview", "migrate"}) {
        Result r = Run(std::string(command) + " --help");
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.out.find(".xls, .xlsx, .xlsm or .ods"), std::string::npos) << r.out;
    }
    EXPECT_NE(Run("--help").out.find("OpenDocument .ods"), std::string::npos);
}

// A damaged workbook, as a file that was cut short: libgsf has things to say
// about it on standard error, but only our sentence may reach the operator.
class DamagedWorkbook : public CommandLine, public ::testing::WithParamInterface<const char*> {
  protected:
    std::string Damaged() {
        std::string path = scratch.File(std::string("cut.") + GetParam());
        std::string bytes = Slurp(test::FixturePath(std::string("real_mixed.") + GetParam()));
        std::ofstream(path, std::ios::binary) << bytes.substr(0, 1200);
        return path;
    }
};

TEST_P(DamagedWorkbook, PreviewPrintsOnlyOurSentenceAndExits2) {
    std::string path = Damaged();
    Result r = Run("preview " + path);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("error: The workbook " + path + " is damaged: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

TEST_P(DamagedWorkbook, MigrateWritesNothingAndExits2) {
    std::string before = Slurp(db);
    std::string path = Damaged();
    Result r = Run("migrate " + path + " --company DEMO --yes --product-folder " + product.Path());
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("error: The workbook " + path + " is damaged: ", 0), 0u)
        << "a workbook that cannot be loaded is fatal: " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_TRUE(Slurp(db) == before) << "the company database is untouched";
}

INSTANTIATE_TEST_SUITE_P(Formats, DamagedWorkbook, ::testing::Values("xls", "xlsx", "ods"),
                         [](const auto& info) { return std::string(info.param); });

TEST_F(CommandLine, VerboseModeShowsLibgsfsComplaints) {
    std::string path = scratch.File("cut.xls");
    std::ofstream(path, std::ios::binary)
        << Slurp(test::FixturePath("real_mixed.xls")).substr(0, 1200);
    std::string err = scratch.File("verbose.txt");
    std::string command = "LEDGERLIFT_VERBOSE=1 " + std::string(LEDGERLIFT_BINARY) + " preview " +
                          path + " >/dev/null 2>" + err;
    EXPECT_NE(std::system(command.c_str()), 0);
    std::string text = Slurp(err);
    EXPECT_NE(text.find("ledgerlift: [libgsf"), std::string::npos) << text;
    EXPECT_NE(text.find("error: The workbook " + path + " is damaged"), std::string::npos) << text;
}

struct Refusal {
    const char* name;
    const char* args;  // after the workbook; the product folder is added
    int status;
    const char* says;
};

// Printed by name, so that test names and failure messages stay readable.
void PrintTo(const Refusal& p, std::ostream* os) {
    *os << p.name;
}

class Refusals : public CommandLine, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Refusals, GiveTheirStatusAndAClearMessage) {
    std::string workbook = std::string(GetParam().name) == "MissingWorkbook"
                               ? "/no/such/book.xls"
                               : test::FixturePath("two_rows.xls");
    Result r =
        Run("migrate " + workbook + " " + GetParam().args + " --product-folder " + product.Path());
    EXPECT_EQ(r.status, GetParam().status) << r.err;
    EXPECT_NE(r.err.find(GetParam().says), std::string::npos) << r.err;
    EXPECT_EQ(Rows("select count(*) from tblItemMaster"), "0\n");
}

INSTANTIATE_TEST_SUITE_P(
    Migrate, Refusals,
    ::testing::Values(
        Refusal{"MissingWorkbook", "--company DEMO --yes", 2, "could not be found"},
        Refusal{"UnknownCompany", "--company NOPE --yes", 3, "error: The company NOPE"},
        Refusal{"BadDate", "--company DEMO --yes --date 2009-02-30", 2, "not a date"},
        Refusal{"NoYesWithoutATerminal", "--company DEMO", 2, "give --yes"},
        Refusal{"NoCompany", "--yes", 2, "--company"},
        Refusal{"BadOnError", "--company DEMO --yes --on-error maybe", 2, "on-error"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledgerlift
