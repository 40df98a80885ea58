// "backups", "restore", and migrate's --keep-backups and --failed-rows: the
// real program, run as a script would run it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "tests/ProgramRun.h"
#include "tests/ZipPart.h"

namespace ledgerlift {
namespace {

namespace fs = std::filesystem;

// Every command here names the product folder.
class BackupCommands : public CommandLine {
  protected:
    Result Run(const std::string& args) {
        return CommandLine::Run(args + " --product-folder " + product.Path());
    }
    Result Migrate(const std::string& fixture, const std::string& more = "") {
        return Run("migrate " + test::FixturePath(fixture) +
                   " --company DEMO --date 2009-04-01 --yes " + more);
    }
    // The backup files of DEMO, oldest first.
    std::vector<std::string> Backups() const {
        std::vector<std::string> files;
        std::error_code ec;
        for (const auto& e :
             fs::directory_iterator(product.DatabaseFolder() + "/C01/Backups", ec)) {
            if (e.path().extension() == ".mdb") {
                files.push_back(e.path().string());
            }
        }
        // By time, then by the serial number of backups made within one second.
        auto key = [](const std::string& path) {
            std::string stem = fs::path(path).stem().string();
            std::size_t dashes = std::count(stem.begin(), stem.end(), '-');
            return std::pair{stem.substr(0, stem.find('-') + 16),
                             dashes > 2 ? std::stoi(stem.substr(stem.rfind('-') + 1)) : 1};
        };
        std::sort(files.begin(), files.end(),
                  [&](const auto& a, const auto& b) { return key(a) < key(b); });
        return files;
    }
    std::string Items() const { return test::QueryRows(db, "select count(*) from tblItemMaster"); }
};

TEST_F(BackupCommands, BackupsListsTimeSizeAndWhatMadeEachNewestFirst) {
    ASSERT_EQ(Migrate("two_rows.xls").status, 0);
    ASSERT_LE(Migrate("real_mixed.xls").status, 1) << "A1 was already there, B2 is refused";
    Result r = Run("backups --company DEMO");
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 7u) << r.out;
    EXPECT_EQ(lines[0], "The backups of the company DEMO in " + product.DatabaseFolder() +
                            "/C01/Backups, newest first:");
    EXPECT_NE(lines[1].find(fs::path(Backups()[1]).filename().string()), std::string::npos);
    EXPECT_NE(lines[1].find(" KB  "), std::string::npos) << lines[1];
    EXPECT_NE(lines[1].find("before the migration of " + test::FixturePath("real_mixed.xls")),
              std::string::npos)
        << lines[1];
    EXPECT_NE(lines[2].find("before the first migration, of " + test::FixturePath("two_rows.xls")),
              std::string::npos);
    // Then the runs recorded beside them, each with its workbook, its rows by
    // outcome and the backup that undoes it.
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "The runs of the company DEMO recorded in " + product.DatabaseFolder() +
                            "/C01/Backups, newest first:");
    EXPECT_NE(lines[5].find("  completed  " + test::FixturePath("real_mixed.xls") +
                            "  items: 1 written, 1 failed, 1 left with another opening; ledgers: 2 "
                            "written; undone by "
                            "the backup " +
                            fs::path(Backups()[1]).filename().string()),
              std::string::npos)
        << lines[5];
    EXPECT_NE(lines[6].find("  completed  " + test::FixturePath("two_rows.xls") +
                            "  items: 2 written; ledgers: "),
              std::string::npos)
        << lines[6];
    EXPECT_EQ(lines[6].substr(0, 19), lines[2].substr(0, 19)) << "the time the run started";
}

TEST_F(BackupCommands, RestoreTakesTheNewestBackupAndCanBeUndone) {
    ASSERT_EQ(Migrate("two_rows.xls").status, 0);
    EXPECT_EQ(Items(), "2\n");
    Result r = Run("restore --company DEMO --yes");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("The company DEMO was restored to its backup of ", 0), 0u) << r.out;
    EXPECT_NE(r.err.find("question: Restore the company DEMO to its backup of "), std::string::npos)
        << r.err;
    EXPECT_EQ(Items(), "0\n");
    // The newest backup now is the database as it was before the restore.
    Result undo = Run("restore --company DEMO --yes");
    EXPECT_EQ(undo.status, 0) << undo.err;
    EXPECT_EQ(Items(), "2\n");
    EXPECT_EQ(test::QueryRows(db, "pragma integrity_check"), "ok\n");
}

TEST_F(BackupCommands, RestoreFromANamedBackup) {
    ASSERT_EQ(Migrate("two_rows.xls").status, 0);
    ASSERT_LE(Migrate("real_mixed.xls").status, 1) << "A1 was already there, B2 is refused";
    EXPECT_EQ(Items(), "3\n");
    std::string second = Backups()[1];  // after two_rows, before real_mixed
    Result r = Run("restore --company DEMO --yes --from " + second);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(second), std::string::npos);
    EXPECT_EQ(Items(), "2\n");
}

struct Refusal {
    const char* name;
    const char* args;  // the product folder is added
    int status;
    const char* says;
    // Spoils what SHOP's backup folder holds before the command, if given.
    void (*spoil)(const std::string& backups) = nullptr;
};

// Each backup note without its "database:" line (once the backup vanished
// from the list, and a restore silently took an older one).
void LoseDatabaseLines(const std::string& backups) {
    for (const auto& entry : fs::directory_iterator(backups)) {
        std::string name = entry.path().filename().string();
        if (name.size() > 8 && name.ends_with(".txt") && !name.ends_with(".run.txt")) {
            std::string text = Slurp(entry.path().string());
            std::string cut = std::regex_replace(text, std::regex("database: [^\n]*\n"), "");
            std::ofstream(entry.path(), std::ios::trunc) << cut;
        }
    }
}

// Each backup note a link to a named pipe (once a listing that never ended).
void NotesToPipes(const std::string& backups) {
    std::string pipe = backups + "/../pipe";
    ::mkfifo(pipe.c_str(), 0600);
    for (const auto& entry : fs::directory_iterator(backups)) {
        std::string name = entry.path().filename().string();
        if (name.ends_with(".txt") && !name.ends_with(".run.txt")) {
            fs::remove(entry.path());
            fs::create_symlink(pipe, entry.path());
        }
    }
}
void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}
class BackupCommandRefusals : public BackupCommands,
                              public ::testing::WithParamInterface<Refusal> {};

TEST_P(BackupCommandRefusals, GiveTheirStatusAndAClearMessage) {
    product.AddCompany("SHOP", "C02", "SHOP");
    ASSERT_EQ(Run("migrate " + test::FixturePath("two_rows.xls") + " --company SHOP --yes").status,
              0);
    std::string args = GetParam().args;
    if (auto at = args.find("SHOPBACKUP"); at != std::string::npos) {
        // The backup itself, not its note or the record of its run beside it.
        for (const auto& entry :
             fs::directory_iterator(product.DatabaseFolder() + "/C02/Backups")) {
            if (entry.path().extension() == ".mdb") {
                args.replace(at, 10, entry.path().string());
                break;
            }
        }
    }
    if (GetParam().spoil) {
        GetParam().spoil(product.DatabaseFolder() + "/C02/Backups");
    }
    Result r = Run(args);
    EXPECT_EQ(r.status, GetParam().status) << r.err;
    EXPECT_NE(r.err.find(GetParam().says), std::string::npos) << r.err;
    EXPECT_EQ(Items(), "0\n");
}

INSTANTIATE_TEST_SUITE_P(
    Commands, BackupCommandRefusals,
    ::testing::Values(
        Refusal{"RestoreWithoutYesOrTerminal", "restore --company DEMO", 2, "give --yes"},
        Refusal{"RestoreUnknownCompany", "restore --company NOPE --yes", 3,
                "error: The company NOPE"},
        Refusal{"RestoreWithoutBackups", "restore --company DEMO --yes", 4,
                "There is no backup of the company DEMO"},
        Refusal{"RestoreAnotherCompanysBackup", "restore --company DEMO --yes --from SHOPBACKUP", 4,
                "of the company SHOP"},
        Refusal{"RestoreAMissingFile", "restore --company DEMO --yes --from /no/such.mdb", 4,
                "could not be found"},
        Refusal{"BackupsUnknownCompany", "backups --company NOPE", 3, "error: The company NOPE"},
        Refusal{"RestoreNewestWhoseNoteLostItsDatabase", "restore --company SHOP --yes", 4,
                "does not say which database it is a copy of", LoseDatabaseLines},
        Refusal{"BackupsListOneWhoseNoteLostItsDatabase", "backups --company SHOP", 0,
                "warning: The note", LoseDatabaseLines},
        Refusal{"RestoreNewestWhoseNoteIsAPipe", "restore --company SHOP --yes", 4,
                "can't be read: it is a named pipe, not a file.", NotesToPipes},
        Refusal{"KeepNoBackups", "migrate /x.xls --company DEMO --yes --keep-backups 0", 2,
                "keep-backups"},
        Refusal{"FailedRowsNotXlsx",
                "migrate " LEDGERLIFT_FIXTURES_DIR
                "/two_rows.xls --company DEMO --yes --failed-rows /tmp/f.xls",
                2, "name the file with .xlsx"},
        Refusal{"FailedRowsInAMissingFolder",
                "migrate " LEDGERLIFT_FIXTURES_DIR
                "/two_rows.xls --company DEMO --yes --failed-rows /no/such/folder/f.xlsx",
                2, "/no/such/folder does not exist"}),
    [](const auto& info) { return std::string(info.param.name); });

// Twelve runs that each write keep the first backup and the newest two;
// the first still restores the company as it was before any of them.
TEST_F(BackupCommands, MigrateKeepsTheFirstBackupAndTheNewestItIsTold) {
    for (int i = 0; i < 12; ++i) {
        ASSERT_EQ(Migrate("two_rows.xls", "--keep-backups 2").status, 0);
        test::Execute(db, "delete from tblItemMaster");
        test::Execute(db, "delete from tblStock");
        test::Execute(db, "delete from tblStockHistory");  // for the next run to write
    }
    ASSERT_EQ(Backups().size(), 3u);
    Result listed = Run("backups --company DEMO");
    std::string first = fs::path(Backups()[0]).filename().string();
    EXPECT_NE(listed.out.find(first + "  before the first migration, of "), std::string::npos)
        << listed.out;
    // A run that changes nothing leaves the list as it was.
    ASSERT_EQ(Migrate("two_rows.xls", "--keep-backups 2").status, 0);
    std::vector<std::string> before = Backups();
    Result again = Migrate("two_rows.xls", "--keep-backups 2");
    EXPECT_EQ(again.status, 0) << "nothing left to migrate";
    EXPECT_NE(again.out.find("Nothing left to migrate: both items and the ledger are in the "
                             "company with their opening stock and balances."),
              std::string::npos)
        << again.out;
    EXPECT_EQ(Backups(), before);
    Result restored = Run("restore --company DEMO --yes --from " + Backups()[0]);
    ASSERT_EQ(restored.status, 0) << restored.err;
    EXPECT_EQ(test::QueryRows(db, "select count(*) from tblCategories"), "0\n");
}

TEST_F(BackupCommands, AMigrationWhoseBackupCannotBeMadeWritesNothing) {
    std::ofstream(product.DatabaseFolder() + "/C01/Backups") << "a file";
    Result r = Migrate("two_rows.xls");
    EXPECT_EQ(r.status, 4) << r.err;
    EXPECT_NE(r.err.find("error: The company DEMO's database could not be backed up, so the "
                         "migration was not started"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.out, "") << "no status line";
    EXPECT_EQ(Items(), "0\n");
}

TEST_F(BackupCommands, MigrateWritesTheRowsThatNeedAttention) {
    std::string failed = scratch.File("fix.xlsx");
    Result r = Migrate("bad_row.xls", "--on-error continue --failed-rows " + failed);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(
        r.err.find("information: The row that needs attention (1 failed) was saved to " + failed),
        std::string::npos)
        << r.err;
    EXPECT_NE(test::ZipPartText(failed, "xl/worksheets/sheet2.xml").find("<c r=\"K2\""),
              std::string::npos)
        << "the reason column of the ledger row";

    product.AddCompany("SHOP", "C02", "SHOP");
    Result clean = Run("migrate " + test::FixturePath("two_rows.xls") +
                       " --company SHOP --yes --failed-rows " + failed);
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_NE(clean.err.find("information: No row needs attention; " + failed +
                             " holds the header rows only."),
              std::string::npos)
        << clean.err;
}

// A check writes its rows with problems too, and makes no backup: it writes
// nothing to the company.
TEST_F(BackupCommands, CheckWritesTheRowsWithProblemsAndMakesNoBackup) {
    std::string failed = scratch.File("check.xlsx");
    Result r = Run("check " + test::FixturePath("bad_row.xls") +
                   " --company DEMO --date 2009-04-01 --failed-rows " + failed);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(
        r.err.find("information: The row that needs attention (1 failed) was saved to " + failed),
        std::string::npos)
        << r.err;
    EXPECT_NE(test::ZipPartText(failed, "xl/worksheets/sheet2.xml").find("<c r=\"J2\""),
              std::string::npos);
    EXPECT_TRUE(Backups().empty());
    EXPECT_EQ(Items(), "0\n");
    Result refused = Run("check " + test::FixturePath("bad_row.xls") +
                         " --company DEMO --failed-rows " + scratch.File("check.xls"));
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("name the file with .xlsx"), std::string::npos) << refused.err;
}

}  // namespace
}  // namespace ledgerlift
