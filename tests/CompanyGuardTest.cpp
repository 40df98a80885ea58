// Regressions for company databases and paths that must be refused, and for
// runs that must stop rather than claim what they did not do.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>

#include "data/Recordset.h"
#include "data/Schema.h"
#include "reports/RunReport.h"
#include "tests/DiskQuota.h"
#include "tests/TestSupport.h"
#include "ui/ScriptedWindowOps.h"
#include "usecases/ConnectCompany.h"
#include "window/MainForm.h"

namespace ledgerlift {
namespace {

namespace fs = std::filesystem;

class CompanyGuard : public ::testing::Test {
  protected:
    void SetUp() override { form.OnStart(); }
    void TearDown() override { form.companyConnection.Close(); }
    void Choose(const std::string& code) {
        form.companyList.AddItem(code);
        form.companyList.SetListIndex(form.companyList.NewIndex());
    }
    void Load(const std::string& fixture) {
        ops.QueueFile(test::FixturePath(fixture));
        form.OnLoad();
        ops.ClearMessages();
    }
    // The run refused before asking anything, with one critical sentence.
    void ExpectRefused(const std::string& says) {
        ASSERT_EQ(ops.Messages().size(), 1u);
        EXPECT_EQ(ops.Messages()[0].icon, MsgIcon::Critical);
        EXPECT_NE(ops.Messages()[0].text.find(says), std::string::npos) << ops.Messages()[0].text;
        EXPECT_EQ(form.tally.outcome, RunTally::RunOutcome::ConnectionFailed);
        EXPECT_FALSE(form.companyConnection.IsOpen());
    }

    test::ProductFolder product;
    test::TempFolder outside;
    ScriptedWindowOps ops;
    MainForm form{product.Path(), ops};
};

// Fault 10: a zero-length company file was opened as an empty database,
// failed 600 rows with "no such table" and was rewritten to 4 KB.
TEST_F(CompanyGuard, AFileWithoutTheCompanyTablesIsRefusedAndNotTouched) {
    std::string db = product.AddCompany("EMPTY", "C03", "EMPTY", /*createDatabase=*/false);
    fs::create_directories(fs::path(db).parent_path());
    std::ofstream(db, std::ios::binary).close();
    Load("two_rows.xls");
    Choose("EMPTY");
    form.OnMigrate();
    ExpectRefused("is not a Tallvane company database: it has no table tblAccountgroup");
    EXPECT_EQ(fs::file_size(db), 0u) << "the file is not touched";
    EXPECT_FALSE(fs::exists(db + "-wal"));
}

// Fault 11: a company row whose folder or file name leads outside the
// product's database folder was accepted, and the run wrote there.
struct Escape {
    const char* name;
    const char* dir;
    const char* file;
};
void PrintTo(const Escape& e, std::ostream* os) {
    *os << e.name;
}
class PathEscape : public CompanyGuard, public ::testing::WithParamInterface<Escape> {};

TEST_P(PathEscape, IsRefusedNamingTheCompany) {
    std::string target = outside.File("victim.mdb");
    test::CreateCompanyDb(target);
    std::string dir = GetParam().dir;
    std::string file = GetParam().file;
    for (std::string* s : {&dir, &file}) {
        if (auto at = s->find("OUTSIDE"); at != std::string::npos) {
            s->replace(at, 7, outside.Path());
        }
    }
    if (dir == "LINK") {
        fs::create_directory_symlink(outside.Path(), product.DatabaseFolder() + "/LINK");
    }
    if (dir.rfind("../", 0) == 0) {
        // As many steps up as the database folder is deep, then down again.
        fs::path rel = fs::path(outside.Path()).lexically_relative(product.DatabaseFolder());
        dir = rel.string();
    }
    product.AddCompany("EVIL", dir, file, /*createDatabase=*/false);
    Load("two_rows.xls");
    Choose("EVIL");
    form.OnMigrate();
    ExpectRefused("The company EVIL names its database as folder");
    EXPECT_EQ(test::QueryRows(target, "select count(*) from tblItemMaster"), "0\n");
}

INSTANTIATE_TEST_SUITE_P(Company, PathEscape,
                         ::testing::Values(Escape{"DotDot", "../", "victim"},
                                           Escape{"AbsoluteFolder", "OUTSIDE", "victim"},
                                           Escape{"SymbolicLinkOut", "LINK", "victim"},
                                           Escape{"DotDotInTheFileName", "C01",
                                                  "../../../../../../../../OUTSIDE/victim"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CompanyGuard, AFolderInsideTheDatabaseFolderIsFine) {
    product.AddCompany("DEEP", "C01/sub/../sub2", "DEEP");
    Load("two_rows.xls");
    Choose("DEEP");
    ops.QueueAnswer(MsgAnswer::Yes);
    form.OnMigrate();
    EXPECT_EQ(form.tally.outcome, RunTally::RunOutcome::Completed);
}

// Fault 9: a second run into the same company failed every row and still
// said "Migration Completed".
TEST_F(CompanyGuard, ASecondRunIntoATakenCompanyRefusesBeforeAskingAnything) {
    std::string db = product.AddCompany("DEMO", "C01", "DEMO");
    CompanyLock other;  // as another copy of the program holds it
    ASSERT_TRUE(other.Acquire(db));
    Load("two_rows.xls");
    Choose("DEMO");
    form.OnMigrate();
    ExpectRefused("Another program is migrating into the company DEMO");
    EXPECT_EQ(ops.UnansweredQuestions(), 0u);
    other.Release();
    ops.ClearMessages();
    ops.QueueAnswer(MsgAnswer::Yes);
    form.OnMigrate();
    EXPECT_EQ(form.tally.outcome, RunTally::RunOutcome::Completed);
    CompanyLock after;
    EXPECT_TRUE(after.Acquire(db)) << "the run lets go of the company when it ends";
}

TEST_F(CompanyGuard, ARunHoldsTheDatabaseForItselfUntilItEnds) {
    std::string db = product.AddCompany("DEMO", "C01", "DEMO");
    Load("real_mixed.xls");
    Choose("DEMO");
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    bool blocked = false;
    bool looked = false;
    ops.SetDoEventsHook([&] {
        if (looked || form.tally.items.written == 0) {
            return;
        }
        looked = true;  // after the first items: another program tries to write
        sqlite3* intruder = nullptr;
        ASSERT_EQ(sqlite3_open(db.c_str(), &intruder), SQLITE_OK);
        sqlite3_busy_timeout(intruder, 50);
        int rc = sqlite3_exec(intruder, "insert into tblCategories values (999, 'Intruder')",
                              nullptr, nullptr, nullptr);
        blocked = rc == SQLITE_BUSY;
        sqlite3_close(intruder);
    });
    form.OnMigrate();
    EXPECT_TRUE(looked);
    EXPECT_TRUE(blocked) << "no other program writes between two batches";
    EXPECT_EQ(test::QueryRows(db,
                              "select count(*) from tblCategories where Category = "
                              "'Intruder'"),
              "0\n")
        << "and once the run is over the database is open to others again";
}

// Fault 1, for the whole run: after a commit failed on a full disk the run
// stops, says so, and claims nothing it did not write.
TEST_F(CompanyGuard, AFullDiskStopsTheRunWithoutClaimingTheRest) {
    test::DiskQuota disk(1 << 30);
    std::string db = product.AddCompany("DEMO", "C01", "DEMO");
    Load("real_mixed.xls");
    Choose("DEMO");
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    ops.SetDoEventsHook([&] {
        if (form.tally.categories.written > 0) {
            disk.SetRemaining(0);  // the categories are in; now the disk is full
        }
    });
    form.OnMigrate();
    EXPECT_EQ(form.tally.outcome, RunTally::RunOutcome::Stopped);
    for (const auto& m : ops.Messages()) {
        EXPECT_NE(m.text, "Migration Completed");
    }
    EXPECT_EQ(ops.Messages().back().icon, MsgIcon::None) << "the run's own failure box";
    EXPECT_NE(ops.Messages().back().text.find("is full"), std::string::npos);
    EXPECT_EQ(form.tally.items.written, 0);
    EXPECT_EQ(form.tally.ledgers.written, 0);
    EXPECT_EQ(form.tally.rows.size(), 3u + 2u) << "every item and ledger row is accounted for";
    for (const auto& row : form.tally.rows) {
        EXPECT_TRUE(row.outcome == RunTally::Outcome::Failed ||
                    row.outcome == RunTally::Outcome::Skipped);
    }
    // What did go in is summed up and read back, as after any run.
    const std::string& status = form.statusBox.Text;
    for (const char* line :
         {"\r\nSummary: categories 2 written, 0 already there, 0 failed\r\n",
          "\r\nSummary: items 0 written, 0 updated, 0 skipped, 3 failed, 0 stock postings\r\n",
          "\r\nSummary: ledgers 0 written, 0 skipped, 0 failed, 2 not reached, 0 vouchers "
          "posted\r\n",
          "\r\nSummary: item sheet, 0 of 3 rows went in, 3 did not (3 failed)\r\n",
          "\r\nSummary: ledger sheet, 0 of 2 rows went in, 2 did not (2 not reached)\r\n",
          "\r\nReconciled: 0 new items to check\r\n"}) {
        EXPECT_NE(status.find(line), std::string::npos) << line << "\n" << status;
    }
    EXPECT_EQ(status.find("DIFFERENCE"), std::string::npos) << status;
    form.companyConnection.Close();
    EXPECT_EQ(test::QueryRows(db, "select count(*) from tblItemMaster"), "0\n");
    EXPECT_EQ(test::QueryRows(db, "select count(*) from tblLedger"), "0\n");
    EXPECT_EQ(test::QueryRows(db, "select count(*) from tblCategories"), "2\n")
        << "none for item row 3, which is refused";
}

// Fault 3: rows cut by the 65,000-row limit left the exit status at 0 and
// were missing from the report.
TEST_F(CompanyGuard, RowsNotReadAreInTheSummaryAndTheReport) {
    product.AddCompany("DEMO", "C01", "DEMO");
    Load("two_rows.xls");
    form.itemRowsNotRead = 7;  // as the import of a longer sheet leaves it
    Choose("DEMO");
    ops.QueueAnswer(MsgAnswer::Yes);
    form.OnMigrate();
    EXPECT_FALSE(form.tally.AllWritten());
    EXPECT_NE(form.statusBox.Text.find("Summary: 7 item rows below worksheet row 65000 were not "
                                       "read"),
              std::string::npos);
    EXPECT_NE(RunReportText(form.tally)
                  .find("items,65001-,,not read,,7 worksheet rows below row 65000 were not "
                        "read,,\r\n"),
              std::string::npos);
}

}  // namespace
}  // namespace ledgerlift
