// Whose a backup is: the note beside it names the company and its database
// and carries the checksum of the backup file, so that a file planted in a
// company's backup folder under the company's name, a symbolic link there,
// a note taken from elsewhere or a backup changed since it was made is
// refused rather than restored over the company's books.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "company/CompanyBackups.h"
#include "company/CompanyRestore.h"
#include "company/Sha256.h"
#include "data/DatabaseCopy.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class BackupOrigin : public ::testing::Test {
  public:
    void SetUp() override {
        demoDb = product.AddCompany("DEMO", "C01", "DEMO");
        shopDb = product.AddCompany("SHOP", "C02", "SHOP");
        demo = LocateCompanyDatabase(product.Path(), "DEMO");
        shop = LocateCompanyDatabase(product.Path(), "SHOP");
        AddItems(demoDb, 7, "Demo item");
        AddItems(shopDb, 3, "Shop item");
    }
    static void AddItems(const std::string& db, int n, const std::string& name) {
        Connection c;
        c.Open(test::ConnectionStringFor(db));
        for (int i = 1; i <= n; ++i) {
            c.Execute(
                "insert into tblItemMaster (ItemID, ItemCode, ItemName, Description) values (" +
                std::to_string(i) + ", 'I" + std::to_string(i) + "', '" + name +
                "', 'Blue paint')");
        }
    }
    std::string Items() const {
        return test::QueryRows(demoDb, "select count(*) from tblItemMaster");
    }
    // A name in DEMO's backup folder that is newer than any backup made.
    std::string PlantedPath() const {
        return CompanyBackups(demo).Folder() + "/DEMO-20990101-000000.mdb";
    }
    std::string Restore(const std::string& path, RestoreResult* out = nullptr) {
        try {
            RestoreResult result = RestoreCompany(demo, path);
            if (out) {
                *out = result;
            }
            return "";
        } catch (const DataError& error) {
            return error.Description();
        }
    }

    test::ProductFolder product;
    std::string demoDb;
    std::string shopDb;
    CompanyDatabase demo;
    CompanyDatabase shop;
};

TEST_F(BackupOrigin, TheNoteNamesTheCompanyItsDatabaseAndTheChecksumOfTheFile) {
    BackupInfo made = CompanyBackups(demo).MakeFromFile("a test");
    EXPECT_EQ(made.company, "DEMO");
    EXPECT_EQ(made.database, "C01/DEMO.mdb");
    EXPECT_EQ(made.sha256.size(), 64u);
    EXPECT_EQ(made.sha256, Sha256::OfFile(made.path));
    EXPECT_EQ(
        test::QueryRows(made.path, "select name from sqlite_master where name like '%ackup%'"), "")
        << "nothing of it is recorded inside the backup, which a restore would carry in";
}

struct Planting {
    const char* name;
    // Puts something in DEMO's backup folder; gives the path to restore.
    std::string (*plant)(BackupOrigin& t);
    const char* says;
    // Whether the company's list of backups offers it: a note that names
    // another company's database keeps it out.
    bool listed = true;
};
void PrintTo(const Planting& p, std::ostream* os) {
    *os << p.name;
}
class PlantedBackups : public BackupOrigin, public ::testing::WithParamInterface<Planting> {};

// Regression: each of these was restored over DEMO, the first two by a
// plain restore of the newest backup.
TEST_P(PlantedBackups, AreRefusedAndTheCompanyStaysAsItWas) {
    CompanyBackups(demo).MakeFromFile("the genuine one");
    std::string path = GetParam().plant(*this);
    std::string before = ReadAll(demoDb);
    std::size_t backups = CompanyBackups(demo).List().size();
    if (GetParam().listed) {
        EXPECT_EQ(CompanyBackups(demo).List().front().path, path)
            << "the newest, that a plain restore takes";
    }
    std::string error = Restore(path);
    EXPECT_NE(error.find(GetParam().says), std::string::npos) << error;
    EXPECT_NE(error.find("as it was"), std::string::npos) << error;
    EXPECT_EQ(Items(), "7\n");
    EXPECT_TRUE(ReadAll(demoDb) == before);
    EXPECT_EQ(CompanyBackups(demo).List().size(), backups) << "no backup left behind";
}

std::string ShopsBackupUnderDemosName(BackupOrigin& t) {
    fs::create_directories(fs::path(t.PlantedPath()).parent_path());
    fs::copy_file(CompanyBackups(t.shop).MakeFromFile("shop").path, t.PlantedPath());
    return t.PlantedPath();
}
std::string ALinkToShopsDatabase(BackupOrigin& t) {
    fs::create_symlink(t.shopDb, t.PlantedPath());
    return t.PlantedPath();
}
std::string ShopsBackupWithANoteOfDemos(BackupOrigin& t) {
    std::string genuine = CompanyBackups(t.demo).List().front().path;
    ShopsBackupUnderDemosName(t);
    fs::copy_file(BackupNotePath(genuine), BackupNotePath(t.PlantedPath()));
    return t.PlantedPath();
}
std::string ShopsBackupWithALinkedNote(BackupOrigin& t) {
    std::string genuine = CompanyBackups(t.demo).List().front().path;
    std::string note = t.product.Path() + "/forged.txt";
    fs::copy_file(BackupNotePath(genuine), note);
    ShopsBackupUnderDemosName(t);
    fs::create_symlink(note, BackupNotePath(t.PlantedPath()));
    return t.PlantedPath();
}
std::string ShopsBackupWithItsOwnNote(BackupOrigin& t) {
    BackupInfo shops = CompanyBackups(t.shop).MakeFromFile("shop");
    fs::copy_file(shops.path, t.PlantedPath());
    fs::copy_file(BackupNotePath(shops.path), BackupNotePath(t.PlantedPath()));
    return t.PlantedPath();
}
std::string FlippedBytesInItsData(BackupOrigin& t) {
    BackupInfo made = CompanyBackups(t.demo).MakeFromFile("to be changed");
    std::string bytes = ReadAll(made.path);
    std::size_t at = bytes.find("Blue paint");
    EXPECT_NE(at, std::string::npos);
    bytes.replace(at, 10, "Grey paint");
    WriteAll(made.path, bytes);
    EXPECT_EQ(DatabaseProblem(made.path, CheckDepth::Full), "") << "the database's check passes";
    fs::rename(made.path, t.PlantedPath());
    fs::rename(BackupNotePath(made.path), BackupNotePath(t.PlantedPath()));
    return t.PlantedPath();
}

INSTANTIATE_TEST_SUITE_P(
    Plantings, PlantedBackups,
    ::testing::Values(
        Planting{"AnotherCompanysBackupUnderThisName", ShopsBackupUnderDemosName,
                 "Nothing says which company"},
        Planting{"ALinkToAnotherCompanysDatabase", ALinkToShopsDatabase, "is a symbolic link"},
        Planting{"ANoteOfAnotherBackupBesideIt", ShopsBackupWithANoteOfDemos, "checksum differs"},
        Planting{"ANoteLinkedFromAnotherFolder", ShopsBackupWithALinkedNote, "symbolic link"},
        Planting{"ANoteNamingAnotherCompany", ShopsBackupWithItsOwnNote, "of the company SHOP",
                 false},
        Planting{"FlippedBytesInItsData", FlippedBytesInItsData, "checksum differs"}),
    [](const auto& info) { return std::string(info.param.name); });

// A backup whose note was written before notes carried a checksum is still
// restored after the database's own check, with a warning.
TEST_F(BackupOrigin, ABackupFromBeforeChecksumsIsRestoredWithAWarning) {
    BackupInfo made = CompanyBackups(demo).MakeFromFile("an older program");
    std::string note = ReadAll(BackupNotePath(made.path));
    note.erase(note.find("sha256: "));
    WriteAll(BackupNotePath(made.path), note);
    Connection c;
    c.Open(test::ConnectionStringFor(demoDb));
    c.Execute("delete from tblItemMaster");
    c.Close();
    BackupInfo old = CompanyBackups(demo).Describe(made.path);
    EXPECT_NE(RestoreQuestion("DEMO", old).find("Nothing proves which company"), std::string::npos);
    RestoreResult result;
    ASSERT_EQ(Restore(made.path, &result), "");
    EXPECT_EQ(Items(), "7\n");
    EXPECT_NE(result.notes.find("Nothing proves which company the backup " + made.name),
              std::string::npos)
        << result.notes;
}

// Regression: a symbolic link as the Backups folder had the backups made
// wherever it led.
TEST_F(BackupOrigin, ABackupsFolderThatIsASymbolicLinkIsRefused) {
    test::TempFolder elsewhere;
    fs::create_symlink(elsewhere.Path(), CompanyBackups(demo).Folder());
    try {
        CompanyBackups(demo).MakeFromFile("a test");
        ADD_FAILURE();
    } catch (const DataError& error) {
        EXPECT_NE(error.Description().find(CompanyBackups(demo).Folder() + " is a symbolic link"),
                  std::string::npos)
            << error.what();
    }
    EXPECT_TRUE(fs::is_empty(elsewhere.Path()));
}

}  // namespace
}  // namespace ledgerlift
