// The backups of a company's database and their restore, on real product
// folders and company databases.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "company/CompanyBackups.h"
#include "company/CompanyLock.h"
#include "company/CompanyRestore.h"
#include "data/DatabaseCopy.h"
#include "tests/DiskQuota.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

namespace fs = std::filesystem;

class Backups : public ::testing::Test {
  protected:
    void SetUp() override {
        db = product.AddCompany("DEMO", "C01", "DEMO");
        company = LocateCompanyDatabase(product.Path(), "DEMO");
    }

    // Adds n items to the company's database, as a migration would.
    void AddItems(int n, int from = 1) {
        Connection c;
        c.Open(test::ConnectionStringFor(db));
        c.Execute("begin");
        for (int i = from; i < from + n; ++i) {
            c.Execute("insert into tblItemMaster (ItemID, ItemCode, ItemName) values (" +
                      std::to_string(i + 1) + ", 'I" + std::to_string(i) + "', 'Item')");
        }
        c.Execute("commit");
    }
    std::string Items() const { return test::QueryRows(db, "select count(*) from tblItemMaster"); }
    BackupInfo Make(const std::string& by = "a test") {
        return CompanyBackups(company).MakeFromFile(by);
    }
    std::string Restore(const std::string& path, RestoreResult* out = nullptr) {
        try {
            RestoreResult result = RestoreCompany(company, path);
            if (out) {
                *out = result;
            }
            return "";
        } catch (const DataError& error) {
            return error.Description();
        }
    }

    test::ProductFolder product;
    std::string db;
    CompanyDatabase company;
};

TEST_F(Backups, AreNamedAfterTheFileAndTheTimeWithANoteOfWhoseTheyAre) {
    BackupInfo made = Make("the migration of book.xls");
    std::string folder = product.DatabaseFolder() + "/C01/Backups";
    EXPECT_EQ(fs::path(made.path).parent_path(), folder);
    EXPECT_EQ(made.name.rfind("DEMO-", 0), 0u) << made.name;
    EXPECT_EQ(made.name.size(), std::string("DEMO-20240501-100000.mdb").size()) << made.name;
    EXPECT_EQ(made.made.size(), std::string("2024-05-01 10:00:00").size());
    EXPECT_EQ(made.bytes, static_cast<std::int64_t>(fs::file_size(db)));
    EXPECT_EQ(made.company, "DEMO");
    EXPECT_EQ(made.database, "C01/DEMO.mdb");
    EXPECT_EQ(made.madeBy, "the migration of book.xls");
    EXPECT_EQ(DatabaseProblem(made.path, CheckDepth::Full), "");
    EXPECT_TRUE(fs::exists(BackupNotePath(made.path)));
}

TEST_F(Backups, ListNewestFirstAndKeepTheNewestOnes) {
    std::vector<std::string> made;
    for (int i = 0; i < 12; ++i) {
        made.push_back(Make("backup " + std::to_string(i)).path);
    }
    CompanyBackups backups(company);
    ASSERT_EQ(backups.List().size(), 12u);
    EXPECT_EQ(backups.List().front().madeBy, "backup 11");
    EXPECT_EQ(backups.Prune(kDefaultKeepBackups, made[0]), "");
    std::vector<BackupInfo> kept = backups.List();
    ASSERT_EQ(kept.size(), 11u) << "ten, and the protected one";
    EXPECT_EQ(kept.front().madeBy, "backup 11");
    EXPECT_EQ(kept[9].madeBy, "backup 2");
    EXPECT_EQ(kept[10].madeBy, "backup 0");
    EXPECT_FALSE(fs::exists(made[1]));
    EXPECT_FALSE(fs::exists(BackupNotePath(made[1])));
    backups.Prune(3);
    EXPECT_EQ(backups.List().size(), 3u);
}

// Two companies may share a folder; each lists only its own backups.
TEST_F(Backups, OfCompaniesSharingAFolderStayApart) {
    product.AddCompany("DEMO2", "C01", "DEMO-2024");
    CompanyDatabase other = LocateCompanyDatabase(product.Path(), "DEMO2");
    Make();
    CompanyBackups(other).MakeFromFile("other");
    std::ofstream(product.DatabaseFolder() + "/C01/Backups/DEMO-notes.mdb") << "x";
    ASSERT_EQ(CompanyBackups(company).List().size(), 1u);
    ASSERT_EQ(CompanyBackups(other).List().size(), 1u);
    EXPECT_EQ(CompanyBackups(other).List()[0].madeBy, "other");
}

TEST_F(Backups, AFolderThatIsAFileIsRefusedWithASentence) {
    std::ofstream(product.DatabaseFolder() + "/C01/Backups") << "not a folder";
    try {
        Make();
        ADD_FAILURE();
    } catch (const DataError& error) {
        EXPECT_NE(error.Description().find(product.DatabaseFolder() +
                                           "/C01/Backups is a file, not a folder"),
                  std::string::npos)
            << error.what();
    }
}

TEST_F(Backups, AFullDiskLeavesNoBackupAndSaysSo) {
    AddItems(3000);
    std::string error;
    {
        test::DiskQuota disk(32 * 1024);
        try {
            Make();
        } catch (const DataError& e) {
            error = e.Description();
        }
    }
    EXPECT_NE(error.find("full"), std::string::npos) << error;
    EXPECT_TRUE(CompanyBackups(company).List().empty());
    EXPECT_TRUE(fs::is_empty(product.DatabaseFolder() + "/C01/Backups"));
}

TEST_F(Backups, WhatAKilledBackupLeftIsClearedByTheNextOne) {
    fs::create_directories(product.DatabaseFolder() + "/C01/Backups");
    std::string stale =
        product.DatabaseFolder() + "/C01/Backups/.DEMO-20240101-000000.mdb.partial-abcdef";
    std::ofstream(stale) << "half";
    std::string note = product.DatabaseFolder() + "/C01/Backups/DEMO-20240101-000000.txt";
    std::ofstream(note) << "Ledgerlift backup\n";
    std::string other = product.DatabaseFolder() + "/C01/Backups/readme.txt";
    std::ofstream(other) << "kept";
    Make();
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_FALSE(fs::exists(note)) << "the note of a backup that never took its name";
    EXPECT_TRUE(fs::exists(other));
}

// Restore: the chosen backup takes the database's place, and the database
// as it was becomes a backup of its own, so that the restore can be undone.
TEST_F(Backups, ARestoreCanItselfBeUndone) {
    BackupInfo empty = Make("before the items");
    AddItems(50);
    RestoreResult result;
    ASSERT_EQ(Restore(empty.path, &result), "");
    EXPECT_EQ(Items(), "0\n");
    ASSERT_TRUE(result.before);
    EXPECT_EQ(test::QueryRows(result.before->path, "select count(*) from tblItemMaster"), "50\n");
    EXPECT_NE(result.before->madeBy.find("the restore of " + empty.name), std::string::npos);
    EXPECT_NE(RestoreDoneText("DEMO", result).find("restored to its backup of " + empty.made),
              std::string::npos);
    ASSERT_EQ(Restore(result.before->path), "");
    EXPECT_EQ(Items(), "50\n");
    EXPECT_EQ(test::QueryRows(db, "pragma integrity_check"), "ok\n");
}

TEST_F(Backups, TheQuestionNamesTheCompanyAndTheBackupsTime) {
    BackupInfo b = Make();
    std::string question = RestoreQuestion("DEMO", b);
    EXPECT_NE(question.find("company DEMO"), std::string::npos);
    EXPECT_NE(question.find(b.made), std::string::npos);
}

// Every refusal leaves the database as it was and makes no backup.
struct Refusal {
    const char* name;
    // Gives the backup to restore, after whatever spoils it.
    std::string (*prepare)(Backups& t, const BackupInfo& good);
    const char* says;
};
void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}
class RestoreRefusals : public Backups, public ::testing::WithParamInterface<Refusal> {
  public:
    test::ProductFolder& Product() { return product; }
};

TEST_P(RestoreRefusals, LeaveTheDatabaseAsItWas) {
    BackupInfo good = Make();
    AddItems(20);
    std::string path = GetParam().prepare(*this, good);
    std::size_t backups = CompanyBackups(company).List().size();
    std::string error = Restore(path);
    EXPECT_NE(error.find(GetParam().says), std::string::npos) << error;
    EXPECT_NE(error.find("as it was"), std::string::npos) << error;
    EXPECT_EQ(Items(), "20\n");
    EXPECT_EQ(test::QueryRows(db, "pragma integrity_check"), "ok\n");
    EXPECT_EQ(CompanyBackups(company).List().size(), backups) << "no backup left behind";
}

std::string Damaged(Backups&, const BackupInfo& good) {
    std::fstream f(good.path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(4096 * 3);
    f.write(std::string(4096, '\x33').data(), 4096);
    return good.path;
}
std::string OtherCompanys(Backups& t, const BackupInfo&) {
    auto& self = static_cast<RestoreRefusals&>(t);
    self.Product().AddCompany("SHOP", "C02", "SHOP");
    return CompanyBackups(LocateCompanyDatabase(self.Product().Path(), "SHOP"))
        .MakeFromFile("shop")
        .path;
}
std::string WithoutANoteElsewhere(Backups& t, const BackupInfo& good) {
    std::string copy = static_cast<RestoreRefusals&>(t).Product().Path() + "/copy.mdb";
    fs::copy_file(good.path, copy);
    return copy;
}
std::string NotADatabase(Backups&, const BackupInfo& good) {
    std::ofstream(good.path, std::ios::trunc) << std::string(9000, 'q');
    return good.path;
}
std::string Missing(Backups&, const BackupInfo& good) {
    fs::remove(good.path);
    return good.path;
}
std::string TheDatabaseItself(Backups& t, const BackupInfo&) {
    return static_cast<RestoreRefusals&>(t).Product().CompanyDb("C01", "DEMO");
}

INSTANTIATE_TEST_SUITE_P(
    Backups, RestoreRefusals,
    ::testing::Values(Refusal{"Damaged", Damaged, "damaged"},
                      Refusal{"AnotherCompanys", OtherCompanys, "C02/SHOP.mdb of the company SHOP"},
                      Refusal{"WithoutANoteElsewhere", WithoutANoteElsewhere, "Nothing says which"},
                      Refusal{"NotADatabase", NotADatabase, "not a database"},
                      Refusal{"Missing", Missing, "could not be found"},
                      Refusal{"TheDatabaseItself", TheDatabaseItself, "not a backup"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Backups, ARestoreIsRefusedWhileTheCompanyIsTaken) {
    BackupInfo b = Make();
    CompanyLock other;
    ASSERT_TRUE(other.Acquire(db));
    try {
        RestoreCompany(company, b.path);
        ADD_FAILURE();
    } catch (const CompanyTaken& error) {
        EXPECT_NE(error.Description().find("Another program is migrating into the company DEMO"),
                  std::string::npos)
            << error.what();
    }
}

TEST_F(Backups, ARestoreIsRefusedWhileAnotherProgramHasTheDatabaseOpen) {
    BackupInfo b = Make();
    AddItems(5);
    Connection other;
    other.Open(test::ConnectionStringFor(db));
    other.UseFastCommits();
    other.Execute("select count(*) from tblItemMaster");  // as a program that has it open does
    std::string error = Restore(b.path);
    EXPECT_NE(error.find("another program"), std::string::npos) << error;
    other.Close();
    EXPECT_EQ(Items(), "5\n");
    EXPECT_EQ(CompanyBackups(company).List().size(), 1u);
    EXPECT_FALSE(fs::exists(product.DatabaseFolder() + "/C01/.DEMO.mdb.restoring"));
}

// A full disk while the restored copy is written beside the database.
TEST_F(Backups, AFullDiskDuringTheRestoreLeavesTheDatabaseAsItWas) {
    AddItems(3000);
    BackupInfo full = Make();
    Connection c;
    c.Open(test::ConnectionStringFor(db));
    c.Execute("delete from tblItemMaster");
    c.Execute("vacuum");
    c.Close();
    std::int64_t live = static_cast<std::int64_t>(fs::file_size(db));
    std::string error;
    {
        // Room for the backup of the small database, not for the big copy.
        test::DiskQuota disk(live + 48 * 1024);
        error = Restore(full.path);
        EXPECT_TRUE(disk.Exhausted());
    }
    EXPECT_NE(error.find("full"), std::string::npos) << error;
    EXPECT_NE(error.find("was not restored"), std::string::npos) << error;
    EXPECT_EQ(Items(), "0\n");
    EXPECT_EQ(CompanyBackups(company).List().size(), 1u);
    EXPECT_FALSE(fs::exists(product.DatabaseFolder() + "/C01/.DEMO.mdb.restoring"));
}

TEST_F(Backups, AFullDiskForTheBackupBeforeTheRestoreRestoresNothing) {
    BackupInfo empty = Make();
    AddItems(3000);
    std::string error;
    {
        test::DiskQuota disk(32 * 1024);
        error = Restore(empty.path);
    }
    EXPECT_NE(error.find("could not be backed up"), std::string::npos) << error;
    EXPECT_EQ(Items(), "3000\n");
}

// A database that is gone is what a backup is for.
TEST_F(Backups, RestoresADatabaseThatIsMissing) {
    AddItems(4);
    BackupInfo b = Make();
    fs::remove(db);
    RestoreResult result;
    ASSERT_EQ(Restore(b.path, &result), "");
    EXPECT_FALSE(result.before);
    EXPECT_EQ(Items(), "4\n");
}

// A damaged database is what a restore is for: it is kept as it was, byte
// for byte, and the restore goes on.
TEST_F(Backups, KeepsADamagedDatabaseByteForByteAndRestores) {
    AddItems(3000);
    BackupInfo good = Make();
    {
        std::fstream f(db, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(4096 * 20);
        f.write(std::string(8192, '\x44').data(), 8192);
    }
    ASSERT_NE(DatabaseProblem(db, CheckDepth::Quick), "");
    std::ifstream in(db, std::ios::binary);
    std::string damaged((std::istreambuf_iterator<char>(in)), {});
    RestoreResult result;
    ASSERT_EQ(Restore(good.path, &result), "");
    EXPECT_EQ(Items(), "3000\n");
    ASSERT_TRUE(result.before);
    std::ifstream kept(result.before->path, std::ios::binary);
    EXPECT_TRUE(std::string((std::istreambuf_iterator<char>(kept)), {}) == damaged);
    EXPECT_NE(result.notes.find("damaged"), std::string::npos);
}

// Ways a database is damaged past SQLite's reading it at all.
struct LiveDamage {
    const char* name;
    void (*spoil)(const std::string& path);
};
void PrintTo(const LiveDamage& d, std::ostream* os) {
    *os << d.name;
}
void DestroyHeader(const std::string& path) {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.write(std::string(100, '\0').data(), 100);
}
void CutInHalf(const std::string& path) {
    fs::resize_file(path, fs::file_size(path) / 2);
}
std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}
class DamagedDatabase : public Backups, public ::testing::WithParamInterface<LiveDamage> {};

// Regression: a database whose header was destroyed, or that was cut in
// half, made the restore that exists for it refuse ("Its database is as it
// was"): it was opened and read before it was replaced.
TEST_P(DamagedDatabase, IsKeptByteForByteAndTheBackupRestored) {
    AddItems(3000);
    BackupInfo good = Make();
    GetParam().spoil(db);
    std::ofstream(db + "-journal") << std::string(700, 'j');  // what a killed writer left
    std::string damaged = Bytes(db);
    RestoreResult result;
    ASSERT_EQ(Restore(good.path, &result), "");
    EXPECT_EQ(Items(), "3000\n");
    EXPECT_EQ(test::QueryRows(db, "pragma integrity_check"), "ok\n");
    ASSERT_TRUE(result.before);
    EXPECT_TRUE(Bytes(result.before->path) == damaged);
    EXPECT_EQ(Bytes(JournalPath(result.before->path)), std::string(700, 'j'))
        << "its journal is kept with it";
    EXPECT_FALSE(fs::exists(db + "-journal"));
    EXPECT_NE(result.notes.find("damaged"), std::string::npos) << result.notes;
    EXPECT_EQ(result.before->sha256.size(), 64u) << "the kept copy has a note like any backup";
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedDatabase,
                         ::testing::Values(LiveDamage{"HeaderDestroyed", DestroyHeader},
                                           LiveDamage{"CutInHalf", CutInHalf}),
                         [](const auto& info) { return std::string(info.param.name); });

// Regression: the temporary file of a killed restore's copy
// ("..DEMO.mdb.restoring.partial-XXXXXX") stayed in the company's folder
// after the next restore and the next migration.
TEST_F(Backups, WhatAKilledRestoreLeftIsClearedByTheNextRestoreOrBackup) {
    BackupInfo b = Make();
    std::string folder = product.DatabaseFolder() + "/C01";
    std::vector<std::string> left = {folder + "/..DEMO.mdb.restoring.partial-Ab12Cd",
                                     folder + "/..DEMO.mdb.restoring.partial-Ab12Cd-journal",
                                     folder + "/.DEMO.mdb.restoring"};
    std::string kept = folder + "/..SHOP.mdb.restoring.partial-Ab12Cd";
    for (int round = 0; round < 2; ++round) {
        for (const std::string& file : left) {
            std::ofstream(file) << "half a copy";
        }
        std::ofstream(kept) << "another database's";
        if (round == 0) {
            ASSERT_EQ(Restore(b.path), "");
        } else {
            Make("the backup before a migration");
        }
        for (const std::string& file : left) {
            EXPECT_FALSE(fs::exists(file)) << file << " in round " << round;
        }
        EXPECT_TRUE(fs::exists(kept));
    }
}

}  // namespace
}  // namespace ledgerlift
