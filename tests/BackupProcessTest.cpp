// Backups and restores of the real program as separate processes: killed at
// points spread over their work, two at once, and on a disk that fills up.
// In every case the company's database passes its integrity check and holds
// either the old or the new contents, whole.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>

#include "tests/BackgroundProgram.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The program's standard output and error, read through one pipe.
class Process : public test::BackgroundProgram {
  public:
    explicit Process(const std::vector<std::string>& args, rlim_t fileSizeLimit = RLIM_INFINITY)
        : BackgroundProgram(args, Streams::OutputAndErrors, fileSizeLimit) {}
};

// Everything a migration writes, as counts and sums.
std::string Contents(const std::string& db) {
    return test::QueryRows(db, "select count(*) from tblCategories") +
           test::QueryRows(db, "select count(*), total(MRP) from tblItemMaster") +
           test::QueryRows(db, "select count(*), total(Qty) from tblStock") +
           test::QueryRows(db, "select count(*), total(OpBalance) from tblLedger") +
           test::QueryRows(db, "select count(*), total(AmountD) from tblVoucher");
}

std::string Check(const std::string& db) {
    return test::QueryRows(db, "pragma integrity_check");
}

// The files of a folder whose names hold a text.
std::vector<std::string> FilesWith(const std::string& folder, const std::string& part) {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) {
        if (e.path().filename().string().find(part) != std::string::npos) {
            files.push_back(e.path().string());
        }
    }
    return files;
}

// A company database holding 6,000 items and 6,000 ledgers, made once by
// the program itself; its first backup holds the empty company.
class BackupProcess : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        base_ = new test::ProductFolder;
        base_->AddCompany("DEMO", "C01", "DEMO");
        std::string book = base_->Path() + "/book.xls";
        std::string command = "/usr/bin/python3 " LEDGERLIFT_SOURCE_DIR
                              "/scripts/make_big_workbook.py " +
                              book + " 6000 6000 40 >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        Process run({LEDGERLIFT_BINARY, "migrate", book, "--company", "DEMO", "--date",
                     "2009-04-01", "--yes", "--on-error", "continue", "--product-folder",
                     base_->Path()});
        ASSERT_EQ(run.Wait(), 0) << run.Output();
        full_ = Contents(base_->CompanyDb("C01", "DEMO"));
        std::vector<std::string> backups =
            FilesWith(base_->DatabaseFolder() + "/C01/Backups", ".mdb");
        ASSERT_EQ(backups.size(), 1u);
        empty_ = Contents(backups[0]);
        ASSERT_NE(full_, empty_);
    }
    static void TearDownTestSuite() {
        delete base_;
        base_ = nullptr;
    }

    // A fresh copy of the product folder, the company's backup folder with it.
    void SetUp() override { Refresh(); }
    void Refresh() {
        work_ = std::make_unique<test::TempFolder>();
        fs::copy(base_->Path(), work_->Path(), fs::copy_options::recursive);
    }
    std::string Folder() const { return work_->Path(); }
    std::string Db() const { return Folder() + "/Resources/Database/C01/DEMO.mdb"; }
    std::string BackupFolder() const { return Folder() + "/Resources/Database/C01/Backups"; }
    std::string EmptyBackup() const {
        for (const std::string& f : FilesWith(BackupFolder(), ".mdb")) {
            if (Contents(f) == empty_) {
                return f;
            }
        }
        return "";
    }
    std::vector<std::string> Migrate() const {
        return {LEDGERLIFT_BINARY,
                "migrate",
                Folder() + "/book.xls",
                "--company",
                "DEMO",
                "--date",
                "2009-04-01",
                "--yes",
                "--on-error",
                "continue",
                "--product-folder",
                Folder()};
    }
    std::vector<std::string> Restore(const std::string& from) const {
        return {LEDGERLIFT_BINARY, "restore",          "--company", "DEMO", "--from", from,
                "--yes",           "--product-folder", Folder()};
    }

    // The time from the line that starts the work to the end of the work.
    static double Seconds(Clock::time_point from) {
        return std::chrono::duration<double>(Clock::now() - from).count();
    }

    static test::ProductFolder* base_;
    static std::string full_;
    static std::string empty_;
    std::unique_ptr<test::TempFolder> work_;
};
test::ProductFolder* BackupProcess::base_ = nullptr;
std::string BackupProcess::full_;
std::string BackupProcess::empty_;

// The delays at which to kill: spread evenly over the work's measured length,
// each moved by a little chance (a fixed seed, so that a failure repeats).
std::vector<int> KillDelays(double seconds, int count) {
    std::mt19937 random(20240501);
    std::uniform_real_distribution<double> jitter(-0.4, 0.4);
    std::vector<int> delays;
    for (int i = 0; i < count; ++i) {
        double at = (i + 0.5 + jitter(random)) / count * seconds;
        delays.push_back(static_cast<int>(at * 1e6));
    }
    return delays;
}

TEST_F(BackupProcess, AKillDuringTheBackupLeavesTheDatabaseWholeAndNoHalfBackup) {
    // How long the backup takes: from the answer to the question to the
    // first status line, which comes once the backup is made.
    double backup;
    {
        Process run(Migrate());
        ASSERT_TRUE(run.WaitForLine("question: Are you to continue")) << run.Output();
        auto start = Clock::now();
        ASSERT_TRUE(run.WaitForLine("User opted to migrate")) << run.Output();
        backup = Seconds(start);
        run.Kill();
    }
    RecordProperty("backup_seconds", std::to_string(backup));
    for (int delay : KillDelays(backup, 12)) {
        Refresh();
        {
            Process run(Migrate());
            ASSERT_TRUE(run.WaitForLine("question: Are you to continue"));
            std::this_thread::sleep_for(std::chrono::microseconds(delay));
            run.Kill();
        }
        SCOPED_TRACE("killed " + std::to_string(delay) + " microseconds into the backup");
        EXPECT_EQ(Check(Db()), "ok\n");
        EXPECT_EQ(Contents(Db()), full_);
        for (const std::string& backupFile : FilesWith(BackupFolder(), ".mdb")) {
            if (backupFile.find(".partial-") != std::string::npos) {
                continue;  // the temporary copy a killed backup leaves
            }
            EXPECT_EQ(Check(backupFile), "ok\n") << backupFile;
            std::string contents = Contents(backupFile);
            EXPECT_TRUE(contents == full_ || contents == empty_) << backupFile;
        }
    }
    // The next run clears what the killed backup left.
    Process again(Migrate());
    EXPECT_LE(again.Wait(), 1) << again.Output();
    EXPECT_TRUE(FilesWith(BackupFolder(), ".partial-").empty());
    EXPECT_EQ(Contents(Db()), full_);
}

struct RestoreDirection {
    const char* name;
    bool toEmpty;  // restore the empty company over the full one, or the other way
};
void PrintTo(const RestoreDirection& d, std::ostream* os) {
    *os << d.name;
}
class KilledRestore : public BackupProcess, public ::testing::WithParamInterface<RestoreDirection> {
  protected:
    // Makes the database the old contents; gives the backup with the new.
    // The restore that makes the empty company the old one runs once: every
    // later call starts from a copy of the folder it left.
    std::string Prepare() {
        if (!prepared_) {
            Refresh();
            from_ = fs::relative(MakeOld(), Folder()).string();
            prepared_ = std::move(work_);
        }
        work_ = std::make_unique<test::TempFolder>();
        fs::copy(prepared_->Path(), work_->Path(), fs::copy_options::recursive);
        return Folder() + "/" + from_;
    }

  private:
    std::string MakeOld() {
        std::string empty = EmptyBackup();
        if (GetParam().toEmpty) {
            return empty;
        }
        Process toEmpty(Restore(empty));
        EXPECT_EQ(toEmpty.Wait(), 0) << toEmpty.Output();
        for (const std::string& f : FilesWith(BackupFolder(), ".mdb")) {
            if (Contents(f) == full_) {
                return f;
            }
        }
        return "";
    }

    std::unique_ptr<test::TempFolder> prepared_;
    std::string from_;  // the backup to restore, below the folder
};

TEST_P(KilledRestore, LeavesTheOldOrTheRestoredDatabaseWhole) {
    const std::string& before = GetParam().toEmpty ? full_ : empty_;
    const std::string& after = GetParam().toEmpty ? empty_ : full_;
    double restore;
    {
        Process run(Restore(Prepare()));
        ASSERT_TRUE(run.WaitForLine("question: Restore the company DEMO")) << run.Output();
        auto start = Clock::now();
        EXPECT_EQ(run.Wait(), 0) << run.Output();
        restore = Seconds(start);
        ASSERT_EQ(Contents(Db()), after);
    }
    RecordProperty("restore_seconds", std::to_string(restore));
    int old = 0;
    int restored = 0;
    // A little past the measured end too: the last steps are short.
    for (int delay : KillDelays(restore * 1.1, 16)) {
        std::string from = Prepare();
        {
            Process run(Restore(from));
            ASSERT_TRUE(run.WaitForLine("question: Restore the company DEMO"));
            std::this_thread::sleep_for(std::chrono::microseconds(delay));
            run.Kill();
        }
        SCOPED_TRACE("killed " + std::to_string(delay) + " microseconds into the restore");
        EXPECT_EQ(Check(Db()), "ok\n");
        std::string contents = Contents(Db());
        EXPECT_TRUE(contents == before || contents == after) << contents;
        (contents == before ? old : restored) += 1;
        // A restore after the killed one ends as one whole restore does.
        Process again(Restore(from));
        EXPECT_EQ(again.Wait(), 0) << again.Output();
        EXPECT_EQ(Contents(Db()), after);
        EXPECT_EQ(Check(Db()), "ok\n");
        EXPECT_FALSE(fs::exists(Folder() + "/Resources/Database/C01/.DEMO.mdb.restoring"));
    }
    RecordProperty("killed_with_the_old_database", old);
    RecordProperty("killed_with_the_restored_database", restored);
}

INSTANTIATE_TEST_SUITE_P(Directions, KilledRestore,
                         ::testing::Values(RestoreDirection{"FullToEmpty", true},
                                           RestoreDirection{"EmptyToFull", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BackupProcess, TwoRestoresAtOnceLeaveOneWholeDatabase) {
    for (int round = 0; round < 3; ++round) {
        Refresh();
        std::string from = EmptyBackup();
        Process first(Restore(from));
        Process second(Restore(from));
        int a = first.Wait();
        int b = second.Wait();
        SCOPED_TRACE(first.Output() + second.Output());
        EXPECT_TRUE(a == 0 || b == 0) << "one of them restores";
        for (auto [status, output] : {std::pair{a, first.Output()}, {b, second.Output()}}) {
            if (status != 0) {
                // Told what the other does; in neutral words should it have
                // ended between the refusal and the reading of its lock file.
                EXPECT_EQ(status, 3);
                EXPECT_TRUE(output.find("error: Another program is restoring the company DEMO") !=
                                std::string::npos ||
                            output.find("error: Another program is using the company DEMO") !=
                                std::string::npos);
            }
        }
        EXPECT_EQ(Check(Db()), "ok\n");
        EXPECT_EQ(Contents(Db()), empty_);
    }
}

// A disk that is full before the backup is made: the run does not start,
// the database is as it was, and the operator reads why and where.
TEST_F(BackupProcess, ADiskFullForTheBackupStartsNoMigration) {
    rlim_t limit = fs::file_size(Db()) / 2;
    Process run(Migrate(), limit);
    EXPECT_EQ(run.Wait(), 4) << run.Output();
    EXPECT_NE(run.Output().find("error: The company DEMO's database could not be backed up, so "
                                "the migration was not started"),
              std::string::npos)
        << run.Output();
    EXPECT_NE(run.Output().find(BackupFolder()), std::string::npos) << run.Output();
    EXPECT_EQ(run.Output().find("User opted"), std::string::npos);
    EXPECT_EQ(Check(Db()), "ok\n");
    EXPECT_EQ(Contents(Db()), full_);
    EXPECT_EQ(FilesWith(BackupFolder(), ".mdb").size(), 1u) << "no new backup, whole or half";
}

TEST_F(BackupProcess, ADiskFullDuringARestoreLeavesTheDatabaseAsItWas) {
    rlim_t limit = fs::file_size(Db()) / 2;
    Process run(Restore(EmptyBackup()), limit);
    EXPECT_EQ(run.Wait(), 4) << run.Output();
    EXPECT_NE(run.Output().find("could not be backed up"), std::string::npos) << run.Output();
    EXPECT_NE(run.Output().find("as it was"), std::string::npos) << run.Output();
    EXPECT_EQ(Check(Db()), "ok\n");
    EXPECT_EQ(Contents(Db()), full_);
}

}  // namespace
}  // namespace ledgerlift
