// Copying a database whole, checking it, and putting a copy in the place of
// a live database: with real SQLite files, a full disk and other programs.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "data/DatabaseCopy.h"
#include "data/DatabaseReplace.h"
#include "tests/DiskQuota.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

namespace fs = std::filesystem;

// A database with a table of n rows, in write-ahead mode, with the last
// rows still in the log (the connection stays open until the object dies).
class WalDatabase {
  public:
    WalDatabase(const std::string& path, int rows) {
        sqlite3_open(path.c_str(), &db_);
        Exec("pragma journal_mode=WAL; pragma wal_autocheckpoint=0; create table t(x, y)");
        Exec("begin");
        for (int i = 0; i < rows; ++i) {
            Exec("insert into t values(" + std::to_string(i) + ", randomblob(200))");
        }
        Exec("commit");
    }
    ~WalDatabase() { sqlite3_close(db_); }
    void Exec(const std::string& sql) {
        ASSERT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    }

  private:
    sqlite3* db_ = nullptr;
};

int HeaderVersion(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char header[20] = {};
    in.read(header, sizeof header);
    return header[18] * 10 + header[19];
}

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void Damage(const std::string& path, std::streamoff at) {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(at);
    std::string junk(4096, '\x5a');
    f.write(junk.data(), static_cast<std::streamsize>(junk.size()));
}

TEST(DatabaseCopy, CopiesEverythingCommittedIntoOneSelfContainedFile) {
    test::TempFolder dir;
    std::string source = dir.File("live.mdb");
    std::string target = dir.File("copy.mdb");
    WalDatabase live(source, 300);
    ASSERT_TRUE(fs::exists(source + "-wal"));
    Connection c;
    c.Open("Data Source=" + source);
    CopyDatabase(c, target);
    EXPECT_EQ(test::QueryRows(target, "select count(*), sum(x) from t"), "300|44850\n");
    EXPECT_EQ(HeaderVersion(target), 11) << "a rollback journal, not a write-ahead log";
    EXPECT_FALSE(fs::exists(target + "-wal"));
    EXPECT_EQ(DatabaseProblem(target, CheckDepth::Full), "");
}

TEST(DatabaseCopy, CallsBackWithTheCopyCompleteBeforeItTakesItsName) {
    test::TempFolder dir;
    test::CreateCompanyDb(dir.File("live.mdb"));
    bool called = false;
    CopyDatabaseFile(dir.File("live.mdb"), dir.File("copy.mdb"), [&](const std::string&) {
        called = true;
        EXPECT_FALSE(fs::exists(dir.File("copy.mdb")));
    });
    EXPECT_TRUE(called);
    EXPECT_TRUE(fs::exists(dir.File("copy.mdb")));
}

// A full disk part way through: no file under the copy's name, nothing of
// it left beside, and the sentence says so and names it.
TEST(DatabaseCopy, AFullDiskLeavesNoHalfCopy) {
    test::TempFolder dir;
    std::string source = dir.File("live.mdb");
    WalDatabase live(source, 2000);
    std::string error;
    {
        test::DiskQuota disk(64 * 1024);
        try {
            CopyDatabaseFile(source, dir.File("copy.mdb"));
        } catch (const DataError& e) {
            error = e.Description();
        }
        EXPECT_TRUE(disk.Exhausted());
    }
    EXPECT_NE(error.find("full"), std::string::npos) << error;
    EXPECT_NE(error.find(dir.File("copy.mdb")), std::string::npos) << error;
    EXPECT_EQ(Names(dir.Path()),
              (std::vector<std::string>{"live.mdb", "live.mdb-shm", "live.mdb-wal"}));
    EXPECT_EQ(test::QueryRows(source, "select count(*) from t"), "2000\n");
}

TEST(DatabaseProblem, FindsDamageAndNamesTheFile) {
    test::TempFolder dir;
    std::string path = dir.File("db.mdb");
    { WalDatabase db(path, 2000); }
    EXPECT_EQ(DatabaseProblem(path, CheckDepth::Quick), "");
    Damage(path, 8 * 4096);
    for (CheckDepth depth : {CheckDepth::Quick, CheckDepth::Full}) {
        std::string problem = DatabaseProblem(path, depth);
        EXPECT_NE(problem.find(path), std::string::npos) << problem;
        EXPECT_NE(problem.find("damaged"), std::string::npos) << problem;
    }
    std::ofstream(dir.File("text.mdb")) << std::string(5000, 'x');
    EXPECT_NE(DatabaseProblem(dir.File("text.mdb"), CheckDepth::Full).find("not a database"),
              std::string::npos);
    EXPECT_NE(DatabaseProblem(dir.File("none.mdb"), CheckDepth::Full).find("could not be found"),
              std::string::npos);
}

// Replacing a live database that has rows only in its log: the replacement
// takes its place whole, and nothing of the old log is ever applied to it.
TEST(ReplaceDatabaseFile, PutsTheReplacementInPlaceAndLeavesNoOldLog) {
    test::TempFolder dir;
    std::string live = dir.File("live.mdb");
    { WalDatabase db(live, 500); }
    std::string replacement = dir.File(".live.mdb.restoring");
    { WalDatabase other(dir.File("other.mdb"), 7); }
    CopyDatabaseFile(dir.File("other.mdb"), replacement);
    ReplaceDatabaseFile(replacement, live);
    EXPECT_EQ(test::QueryRows(live, "select count(*) from t"), "7\n");
    EXPECT_FALSE(fs::exists(live + "-wal"));
    EXPECT_FALSE(fs::exists(replacement));
    EXPECT_EQ(DatabaseProblem(live, CheckDepth::Full), "");
}

// Regression guard: a log that a killed program left beside the live
// database holds pages of the old database; applied to the replacement it
// would damage it.
TEST(ReplaceDatabaseFile, ALogLeftByAKilledProgramIsNeverAppliedToTheReplacement) {
    test::TempFolder dir;
    std::string live = dir.File("live.mdb");
    {
        WalDatabase db(live, 400);
        // As a killed program leaves them: the file and its log, unchecked.
        fs::copy_file(live, dir.File("crashed.mdb"));
        fs::copy_file(live + "-wal", dir.File("crashed.mdb-wal"));
    }
    fs::remove(live);
    fs::rename(dir.File("crashed.mdb"), live);
    fs::rename(dir.File("crashed.mdb-wal"), live + "-wal");
    ASSERT_GT(fs::file_size(live + "-wal"), 0u);
    { WalDatabase other(dir.File("other.mdb"), 3); }
    CopyDatabaseFile(dir.File("other.mdb"), dir.File(".live.restoring"));
    ReplaceDatabaseFile(dir.File(".live.restoring"), live);
    EXPECT_EQ(test::QueryRows(live, "select count(*) from t"), "3\n");
    EXPECT_EQ(DatabaseProblem(live, CheckDepth::Full), "");
    EXPECT_FALSE(fs::exists(live + "-wal"));
}

TEST(ReplaceDatabaseFile, ReplacesAMissingDatabaseAndDropsItsStaleLog) {
    test::TempFolder dir;
    std::string live = dir.File("live.mdb");
    { WalDatabase db(dir.File("old.mdb"), 50); }
    std::ofstream(live + "-wal") << std::string(10000, 'w');
    { WalDatabase other(dir.File("other.mdb"), 4); }
    CopyDatabaseFile(dir.File("other.mdb"), dir.File(".live.restoring"));
    ReplaceDatabaseFile(dir.File(".live.restoring"), live);
    EXPECT_FALSE(fs::exists(live + "-wal"));
    EXPECT_EQ(test::QueryRows(live, "select count(*) from t"), "4\n");
}

// Another program with the database open would go on writing to the old
// file: the replacement is refused, with a sentence, and nothing changes.
TEST(ReplaceDatabaseFile, RefusesWhileAnotherProgramHasTheDatabaseOpen) {
    test::TempFolder dir;
    std::string live = dir.File("live.mdb");
    WalDatabase open(live, 20);
    { WalDatabase other(dir.File("other.mdb"), 4); }
    std::string replacement = dir.File(".live.restoring");
    CopyDatabaseFile(dir.File("other.mdb"), replacement);
    std::string error;
    try {
        ReplaceDatabaseFile(replacement, live);
    } catch (const DataError& e) {
        error = e.Description();
    }
    EXPECT_NE(error.find(live), std::string::npos) << error;
    EXPECT_NE(error.find("another program"), std::string::npos) << error;
    EXPECT_EQ(test::QueryRows(live, "select count(*) from t"), "20\n");
    EXPECT_EQ(DatabaseProblem(live, CheckDepth::Full), "");
}

// Regression: a replacement refused at once because another program had the
// database open said it "stayed locked for 5 seconds".
TEST(ReplaceDatabaseFile, ARefusalAtOnceClaimsNoWait) {
    test::TempFolder dir;
    std::string live = dir.File("live.mdb");
    WalDatabase open(live, 20);
    { WalDatabase other(dir.File("other.mdb"), 4); }
    std::string replacement = dir.File(".live.mdb.restoring");
    CopyDatabaseFile(dir.File("other.mdb"), replacement);
    auto start = std::chrono::steady_clock::now();
    std::string error;
    try {
        ReplaceDatabaseFile(replacement, live);
    } catch (const DataError& e) {
        error = e.Description();
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_NE(error.find("another program"), std::string::npos) << error;
    if (seconds < 1) {
        EXPECT_EQ(error.find("5 seconds"), std::string::npos) << error;
    }
}

// The copy waits for another program's lock as long as it is told, and says
// how long that was.
TEST(DatabaseCopy, WaitsForALockAsLongAsItIsTold) {
    test::TempFolder dir;
    std::string source = dir.File("live.mdb");
    test::CreateCompanyDb(source);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(source.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "begin exclusive", nullptr, nullptr, nullptr), SQLITE_OK);
    auto start = std::chrono::steady_clock::now();
    std::string error;
    try {
        CopyDatabaseFile(source, dir.File("copy.mdb"), {}, std::chrono::milliseconds(200));
    } catch (const DataError& e) {
        error = e.Description();
    }
    auto waited = std::chrono::steady_clock::now() - start;
    sqlite3_exec(other, "rollback", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_NE(error.find("stayed locked for 0.2 seconds"), std::string::npos) << error;
    EXPECT_GE(waited, std::chrono::milliseconds(180));
    EXPECT_LT(waited, std::chrono::seconds(3));
    EXPECT_FALSE(fs::exists(dir.File("copy.mdb")));
}

// Ways a live database is damaged past SQLite's reading it at all.
struct Spoiling {
    const char* name;
    void (*spoil)(const std::string& path);
};
void PrintTo(const Spoiling& d, std::ostream* os) {
    *os << d.name;
}
void DestroyHeader(const std::string& path) {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.write(std::string(100, '\0').data(), 100);
}
void CutInHalf(const std::string& path) {
    fs::resize_file(path, fs::file_size(path) / 2);
}
class DamagedLive : public ::testing::TestWithParam<Spoiling> {
  protected:
    void SetUp() override {
        { WalDatabase db(live, 3000); }
        { WalDatabase other(dir.File("other.mdb"), 4); }
        GetParam().spoil(live);
        ASSERT_NE(DatabaseProblem(live, CheckDepth::Quick), "");
        CopyDatabaseFile(dir.File("other.mdb"), replacement);
    }
    test::TempFolder dir;
    std::string live = dir.File("live.mdb");
    std::string replacement = dir.File(".live.mdb.restoring");
};

// Regression: a live database whose header was destroyed, or that was cut
// in half, could not be replaced at all: it was opened and read first.
TEST_P(DamagedLive, IsReplacedWhenTheCallerKeptIt) {
    std::ofstream(live + "-journal") << std::string(600, 'j');  // as a killed writer leaves it
    ReplaceDatabaseFile(replacement, live, LiveDatabase::MayBeDamaged);
    EXPECT_EQ(test::QueryRows(live, "select count(*) from t"), "4\n");
    EXPECT_EQ(DatabaseProblem(live, CheckDepth::Full), "");
    EXPECT_FALSE(fs::exists(live + "-journal")) << "nothing of the old database applies to the new";
    EXPECT_FALSE(fs::exists(replacement));
}

// Unless the caller says it kept the damaged database, it stays as it is.
TEST_P(DamagedLive, IsLeftAsItIsOtherwise) {
    std::ifstream in(live, std::ios::binary);
    std::string before((std::istreambuf_iterator<char>(in)), {});
    EXPECT_THROW(ReplaceDatabaseFile(replacement, live), DataError);
    std::ifstream after(live, std::ios::binary);
    EXPECT_TRUE(std::string((std::istreambuf_iterator<char>(after)), {}) == before);
}

// Another program that had the database open when it was damaged still
// holds its lock: the damaged database is not replaced under it.
TEST_P(DamagedLive, IsNotReplacedUnderAnotherProgramReadingIt) {
    fs::remove(live);
    { WalDatabase db(live, 3000); }
    sqlite3* reader = nullptr;
    ASSERT_EQ(sqlite3_open(live.c_str(), &reader), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(reader, "pragma journal_mode=DELETE", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(reader);
    int ready[2];
    int release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    pid_t child = fork();
    if (child == 0) {
        // Another program, in the middle of reading the database.
        close(release[1]);
        sqlite3* db = nullptr;
        sqlite3_open(live.c_str(), &db);
        sqlite3_exec(db, "begin; select count(*) from t", nullptr, nullptr, nullptr);
        char c = 'r';
        ssize_t said = write(ready[1], &c, 1);
        ssize_t heard = read(release[0], &c, 1);
        _exit(said == 1 && heard >= 0 ? 0 : 1);
    }
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    GetParam().spoil(live);
    std::string error;
    try {
        ReplaceDatabaseFile(replacement, live, LiveDatabase::MayBeDamaged);
    } catch (const DataError& e) {
        error = e.Description();
    }
    close(release[1]);
    int status = 0;
    waitpid(child, &status, 0);
    for (int fd : {ready[0], ready[1], release[0]}) {
        close(fd);
    }
    EXPECT_NE(error.find("open in another program"), std::string::npos) << error;
    EXPECT_TRUE(fs::exists(replacement)) << "nothing was renamed";
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedLive,
                         ::testing::Values(Spoiling{"HeaderDestroyed", DestroyHeader},
                                           Spoiling{"CutInHalf", CutInHalf}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledgerlift
