// The mark a program puts on a company while it migrates into it, restores
// it or checks a workbook against it: what the refused program is told, and
// a lock file that is not a file of its own.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>

#include "company/CompanyDatabase.h"
#include "company/CompanyLock.h"
#include "company/CompanyRestore.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

namespace fs = std::filesystem;

struct Holder {
    const char* name;
    CompanyUse use;
    const char* says;
};
void PrintTo(const Holder& h, std::ostream* os) {
    *os << h.name;
}
class CompanyTakenBy : public ::testing::TestWithParam<Holder> {
  protected:
    test::ProductFolder product;
    std::string db = product.AddCompany("DEMO", "C01", "DEMO");
};

// Regression: a program refused because another one was restoring or
// checking the company was told that it was being migrated into.
TEST_P(CompanyTakenBy, SaysWhatTheOtherProgramIsDoing) {
    CompanyLock other;
    ASSERT_TRUE(other.Acquire(db, GetParam().use));
    CompanyLock second;
    EXPECT_FALSE(second.Acquire(db));
    std::string text = CompanyTakenText("DEMO", db);
    EXPECT_NE(text.find(GetParam().says), std::string::npos) << text;
    EXPECT_NE(text.find(db), std::string::npos) << text;
    EXPECT_NE(text.find("process " + std::to_string(getpid())), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(
    Uses, CompanyTakenBy,
    ::testing::Values(Holder{"Migration", CompanyUse::Migration,
                             "Another program is migrating into the company DEMO"},
                      Holder{"Restore", CompanyUse::Restore,
                             "Another program is restoring the company DEMO"},
                      Holder{"Check", CompanyUse::Check,
                             "Another program is checking a workbook against the company DEMO"},
                      Holder{"Statement", CompanyUse::Statement,
                             "Another program is writing the opening statement of the company "
                             "DEMO"}),
    [](const auto& info) { return std::string(info.param.name); });

// A program that took the company without saying what for (or whose words
// are gone) is named in neutral words.
TEST(CompanyTaken, ByAProgramThatSaysNothingIsToldInNeutralWords) {
    test::ProductFolder product;
    std::string db = product.AddCompany("DEMO", "C01", "DEMO");
    int fd = open(CompanyLock::LockPath(db).c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    std::string text = CompanyTakenText("DEMO", db);
    close(fd);
    EXPECT_NE(text.find("Another program is using the company DEMO (" + db + ")"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("migrating"), std::string::npos) << text;
}

TEST(CompanyTaken, ARestoreRefusedByACheckSaysSo) {
    test::ProductFolder product;
    std::string db = product.AddCompany("DEMO", "C01", "DEMO");
    CompanyLock check;
    ASSERT_TRUE(check.Acquire(db, CompanyUse::Check));
    try {
        RestoreCompany(LocateCompanyDatabase(product.Path(), "DEMO"), db + ".none");
        ADD_FAILURE();
    } catch (const CompanyTaken& error) {
        EXPECT_NE(error.Description().find("is checking a workbook against the company DEMO"),
                  std::string::npos)
            << error.what();
        EXPECT_NE(error.Description().find("as it was"), std::string::npos) << error.what();
    }
}

// Regression: a symbolic link in the lock file's place was followed, and the
// program created the file it pointed to.
TEST(CompanyLockFile, ThatIsASymbolicLinkIsRefusedAndNotFollowed) {
    test::ProductFolder product;
    std::string db = product.AddCompany("DEMO", "C01", "DEMO");
    test::TempFolder elsewhere;
    std::string target = elsewhere.File("made-by-the-link");
    fs::create_symlink(target, CompanyLock::LockPath(db));
    CompanyLock lock;
    try {
        lock.Acquire(db);
        ADD_FAILURE();
    } catch (const DataError& error) {
        EXPECT_NE(error.Description().find(CompanyLock::LockPath(db) + " is a symbolic link"),
                  std::string::npos)
            << error.what();
    }
    EXPECT_FALSE(lock.Held());
    EXPECT_FALSE(fs::exists(target));
}

}  // namespace
}  // namespace ledgerlift
