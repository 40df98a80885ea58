// The files the commands write besides the company database (--report,
// --failed-rows), on the real program: what they may never replace, what
// they are refused before the run, and a report on a disk that fills up.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>

#include "tests/PackageWriter.h"
#include "tests/ProgramRun.h"

namespace ledgerlift {
namespace {

namespace fs = std::filesystem;

// An output path made by a test: from the product folder, the company's
// database and the scratch folder.
struct Target {
    const char* name;
    const char* option;  // "--report" or "--failed-rows"
    const char* says;    // what the refusal says the file is
};
void PrintTo(const Target& t, std::ostream* os) {
    *os << t.name;
}

class OutputPaths : public CommandLine {
  protected:
    void SetUp() override {
        CommandLine::SetUp();
        for (const char* fixture : {"two_rows.xls", "two_rows.xlsx"}) {
            fs::copy_file(test::FixturePath(fixture), scratch.File(fixture));
        }
        backups = fs::path(db).parent_path() / "Backups";
        fs::create_directories(backups);
        backup = (backups / "DEMO-20240101-120000.mdb").string();
        fs::copy_file(db, backup);
    }
    // A migration of the workbook copy in the scratch folder.
    std::string MigrateCopy(const std::string& workbook, const std::string& more) {
        return "migrate " + scratch.File(workbook) + " --company DEMO --date 2009-04-01 --yes " +
               "--product-folder " + product.Path() + " " + more;
    }
    // The bytes of every file a refused run must leave as they were.
    std::string Everything() {
        std::string all;
        for (const std::string& path :
             {db, backup, product.InitialDb(), scratch.File("two_rows.xls"),
              scratch.File("two_rows.xlsx")}) {
            all += path + "\n" + Slurp(path) + "\n";
        }
        return all;
    }
    // The path a case names, made as it says.
    std::string PathFor(const std::string& name);

    fs::path backups;
    std::string backup;
};

std::string OutputPaths::PathFor(const std::string& name) {
    std::string folder = fs::path(db).parent_path().string();
    const std::map<std::string, std::string> plain = {
        {"CompanyDatabase", db},
        {"CompanyDatabaseThroughDotDot", folder + "/../C01/./DEMO.mdb"},
        {"WriteAheadLogNotThereYet", db + "-wal"},
        {"RollbackJournal", db + "-journal"},
        {"SharedMemoryIndex", db + "-shm"},
        {"InitialDatabase", product.InitialDb()},
        {"ABackup", backup},
        {"ANewFileInTheBackupFolder", backups.string() + "/report.csv"},
        {"TheWorkbook", scratch.File("two_rows.xls")},
        {"FailedRowsOverTheWorkbook", scratch.File("two_rows.xlsx")},
        {"FailedRowsInTheBackupFolder", backups.string() + "/fix.xlsx"},
    };
    if (auto found = plain.find(name); found != plain.end()) {
        return found->second;
    }
    // Another name in the scratch folder for a protected file.
    struct Link {
        std::string to;
        bool hard;
    };
    const std::map<std::string, Link> links = {
        {"HardLinkToTheCompanyDatabase", {db, true}},
        {"FailedRowsHardLinkToTheDatabase", {db, true}},
        {"HardLinkToABackup", {backup, true}},
        {"SymbolicLinkToTheCompanyDatabase", {db, false}},
        {"FailedRowsLinkToTheInitial", {product.InitialDb(), false}},
    };
    if (auto found = links.find(name); found != links.end()) {
        std::string link = scratch.File("another-name.xlsx");
        if (found->second.hard) {
            fs::create_hard_link(found->second.to, link);
        } else {
            fs::create_symlink(found->second.to, link);
        }
        return link;
    }
    if (name == "ThroughALinkedFolderIntoTheBackups") {
        fs::create_directory_symlink(backups, scratch.File("elsewhere"));
        return scratch.File("elsewhere/report.csv");
    }
    return "";
}

class ProtectedOutput : public OutputPaths, public ::testing::WithParamInterface<Target> {};

// --report over the company database replaced it with CSV, exited 0 and said
// "Migration Completed"; over the workbook it replaced the workbook, and
// through a symbolic link it wrote to the link's target. --failed-rows over the
// workbook replaced it too.
TEST_P(ProtectedOutput, IsRefusedBeforeTheRunAndLeftAsItWas) {
    std::string path = PathFor(GetParam().name);
    ASSERT_FALSE(path.empty());
    std::string workbook =
        std::string(GetParam().option) == "--failed-rows" ? "two_rows.xlsx" : "two_rows.xls";
    std::string before = Everything();
    Result r = Run(MigrateCopy(workbook, std::string(GetParam().option) + " " + path));
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_EQ(r.err.rfind("error: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(path + " cannot be written there: that is " + GetParam().says),
              std::string::npos)
        << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "one sentence: " << r.err;
    EXPECT_EQ(r.out, "") << "nothing was loaded or run";
    EXPECT_TRUE(Everything() == before) << "every file is as it was";
    EXPECT_EQ(Rows("select count(*) from tblItemMaster"), "0\n");
    EXPECT_FALSE(fs::exists(db + "-wal"));
    EXPECT_EQ(std::distance(fs::directory_iterator(backups), fs::directory_iterator()), 1)
        << "no backup was made: the run never started";
}

INSTANTIATE_TEST_SUITE_P(
    Report, ProtectedOutput,
    ::testing::Values(
        Target{"CompanyDatabase", "--report", "the database of the company DEMO"},
        Target{"CompanyDatabaseThroughDotDot", "--report", "the database of the company DEMO"},
        Target{"HardLinkToTheCompanyDatabase", "--report", "the database of the company DEMO"},
        Target{"SymbolicLinkToTheCompanyDatabase", "--report", "the database of the company DEMO"},
        Target{"WriteAheadLogNotThereYet", "--report",
               "the write-ahead log of the company DEMO's database"},
        Target{"RollbackJournal", "--report",
               "the rollback journal of the company DEMO's database"},
        Target{"SharedMemoryIndex", "--report",
               "the shared-memory index of the company DEMO's database"},
        Target{"InitialDatabase", "--report",
               "the product's initial database, which lists the companies"},
        Target{"ABackup", "--report", "a file in the backup folder of the company DEMO"},
        Target{"HardLinkToABackup", "--report", "a file in the backup folder of the company DEMO"},
        Target{"ANewFileInTheBackupFolder", "--report",
               "a file in the backup folder of the company DEMO"},
        Target{"ThroughALinkedFolderIntoTheBackups", "--report",
               "a file in the backup folder of the company DEMO"},
        Target{"TheWorkbook", "--report", "the workbook the data comes from"},
        Target{"FailedRowsOverTheWorkbook", "--failed-rows", "the workbook the data comes from"},
        Target{"FailedRowsHardLinkToTheDatabase", "--failed-rows",
               "the database of the company DEMO"},
        Target{"FailedRowsLinkToTheInitial", "--failed-rows", "the product's initial database"},
        Target{"FailedRowsInTheBackupFolder", "--failed-rows",
               "a file in the backup folder of the company DEMO"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OutputPaths, CheckRefusesFailedRowsOverItsWorkbook) {
    std::string before = Everything();
    Result r = Run("check " + scratch.File("two_rows.xlsx") + " --company DEMO --product-folder " +
                   product.Path() + " --failed-rows " + scratch.File("two_rows.xlsx"));
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("that is the workbook the data comes from"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(Everything() == before);
}

// Only those files are kept from: a report beside the databases is fine.
TEST_F(OutputPaths, OtherFilesBesideTheDatabasesMayBeWritten) {
    std::string folder = fs::path(db).parent_path().string();
    for (const std::string& report :
         {folder + "/report.csv", product.DatabaseFolder() + "/report.csv"}) {
        Result r = Run(MigrateCopy("two_rows.xls", "--dry-run --report " + report));
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(Slurp(report).rfind("sheet,row,", 0), 0u) << report;
    }
}

// A symbolic link, a dangling link or a device passed the early check; the
// run wrote the database and only then was the output refused (exit 1).
TEST_F(OutputPaths, AnOutputThatCannotBeMadeIsRefusedBeforeTheRun) {
    std::ofstream(scratch.File("plain.csv")) << "kept";
    fs::create_symlink(scratch.File("plain.csv"), scratch.File("link.csv"));
    fs::create_symlink(scratch.File("nowhere.csv"), scratch.File("dangling.csv"));
    fs::create_symlink("/dev/full", scratch.File("full.xlsx"));
    fs::create_symlink(scratch.File("nowhere.xlsx"), scratch.File("dangling.xlsx"));
    struct Case {
        std::string option, path, says;
    };
    for (const Case& c : std::vector<Case>{
             {"--report", scratch.File("link.csv"), "it is a symbolic link"},
             {"--report", scratch.File("dangling.csv"), "it is a symbolic link"},
             {"--report", "/dev/full", "that name is taken by something that is not a file"},
             {"--failed-rows", scratch.File("full.xlsx"), "it is a symbolic link"},
             {"--failed-rows", scratch.File("dangling.xlsx"), "it is a symbolic link"}}) {
        std::string before = Slurp(db);
        Result r = Run(MigrateCopy("two_rows.xlsx", c.option + " " + c.path));
        EXPECT_EQ(r.status, 2) << c.path << ": " << r.err;
        EXPECT_NE(r.err.find("error: The "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.path + " cannot be written: " + c.says), std::string::npos) << r.err;
        EXPECT_TRUE(Slurp(db) == before) << c.path << ": the database is untouched";
        EXPECT_EQ(Rows("select count(*) from tblItemMaster"), "0\n") << c.path;
    }
    EXPECT_EQ(Slurp(scratch.File("plain.csv")), "kept") << "the link's target is untouched";
    EXPECT_FALSE(fs::exists(scratch.File("nowhere.csv")));
    EXPECT_FALSE(fs::exists(scratch.File("nowhere.xlsx")));
}

// --report and --failed-rows on one file: the report replaced the rows to fix.
TEST_F(OutputPaths, TheReportAndTheFailedRowsInOneFileAreRefused) {
    fs::create_directories(scratch.File("out"));
    std::string path = scratch.File("out/both.xlsx");
    Result r = Run(MigrateCopy("two_rows.xlsx", "--report " + path + " --failed-rows " +
                                                    scratch.File("out/../out/both.xlsx")));
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("are both to be written to " + path), std::string::npos) << r.err;
    EXPECT_EQ(Rows("select count(*) from tblItemMaster"), "0\n");
    EXPECT_FALSE(fs::exists(path));
}

// A workbook of ledger rows that fail, each with a long name: their report is
// far larger than the company database, its backup and its log together.
void WriteLongFailingLedgers(const std::string& path, int rows, std::size_t nameLength) {
    std::string ledgers =
        "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Alias</t></is></c>"
        "<c r=\"B1\" t=\"inlineStr\"><is><t>Name</t></is></c></row>";
    for (int r = 2; r < rows + 2; ++r) {
        std::string n = std::to_string(r);
        ledgers += "<row r=\"" + n + "\"><c r=\"A" + n + "\" t=\"inlineStr\"><is><t>L" + n +
                   "</t></is></c><c r=\"B" + n + "\" t=\"inlineStr\"><is><t>" + n +
                   std::string(nameLength, 'x') + "</t></is></c><c r=\"C" + n +
                   "\" t=\"inlineStr\"><is><t>Sundry Debtors</t></is></c><c r=\"G" + n +
                   "\"><v>1E+16</v></c><c r=\"H" + n +
                   "\" t=\"inlineStr\"><is><t>Dr</t></is></c></row>";
    }
    std::string items = "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Code</t></is></c></row>";
    test::WriteZip(path, test::XlsxParts({items, ledgers}));
}

// On a full disk the report was cut short, and the older report under its
// name was lost with it. The program runs with its files limited to 1 MB (as
// a disk with 1 MB left): the database, its backup and its log stay below it,
// the report would not.
TEST_F(OutputPaths, AReportOnAFullDiskLeavesTheOldReportWhole) {
    std::string workbook = scratch.File("long.xlsx");
    WriteLongFailingLedgers(workbook, 60, 30000);
    std::string report = scratch.File("report.csv");
    std::ofstream(report, std::ios::binary) << "sheet,row,code or name,outcome\r\nthe old one\r\n";
    std::string old = Slurp(report);
    std::string err = scratch.File("err.txt");
    std::string status = scratch.File("status.txt");
    // Ignored, the signal that a file beyond the limit sends stays ignored in
    // the program, which then sees the write fail as on a full disk.
    std::ofstream(scratch.File("full.sh"))
        << "trap '' XFSZ\nulimit -f 1024\n"
        << "env -u LEDGERLIFT_PRODUCT_FOLDER XDG_CONFIG_HOME=" << scratch.File("config") << " "
        << LEDGERLIFT_BINARY << " migrate " << workbook << " --company DEMO --yes "
        << "--on-error continue --product-folder " << product.Path() << " --report " << report
        << " </dev/null 2>&1 >/dev/null | grep -v '^question: ' >" << err << "\n"
        << "echo ${PIPESTATUS[0]} >" << status << "\n";
    ASSERT_EQ(std::system(("bash " + scratch.File("full.sh")).c_str()), 0);
    EXPECT_EQ(Slurp(status), "1\n") << Slurp(err);
    EXPECT_NE(Slurp(err).find("error: The file " + report +
                              " could not be written (the file would grow beyond the size this "
                              "system allows). Nothing was saved under that name."),
              std::string::npos)
        << Slurp(err);
    EXPECT_TRUE(Slurp(report) == old) << "the old report is whole";
    for (const auto& entry : fs::directory_iterator(scratch.Path())) {
        EXPECT_EQ(entry.path().filename().string().find(".partial"), std::string::npos)
            << "nothing half written is left: " << entry.path();
    }
    Result again = Run("migrate " + workbook + " --company DEMO --yes --on-error continue " +
                       "--product-folder " + product.Path() + " --report " + report);
    EXPECT_EQ(again.status, 1);
    EXPECT_GT(Slurp(report).size(), 1u << 20) << "without the limit, the report is larger";
}

}  // namespace
}  // namespace ledgerlift
