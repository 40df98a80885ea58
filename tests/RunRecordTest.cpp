// The record of a run, as a file beside the company's backups: what it keeps
// reads back the same, whatever the values hold; a file that is not a record
// is refused with its line; the records list newest first; and the backups'
// own listing, pruning and restore never take a record for a backup.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "company/CompanyBackups.h"
#include "company/RunRecords.h"
#include "data/DataError.h"
#include "tests/TestSupport.h"

namespace ledgerlift {
namespace {

namespace fs = std::filesystem;

RunRecord Sample() {
    RunRecord r;
    r.company = "DEMO";
    r.database = "C01/DEMO.mdb";
    r.workbook = "/home/anna/opening\nstock \\ 2024: final.xls";
    r.migrationDate = "2024-04-01";
    r.started = "2024-05-01 10:00:00";
    r.ended = "2024-05-01 10:00:04";
    r.outcome = "stopped by a failure";
    r.failure = "The disk that holds /x/DEMO.mdb is full.\r\nNothing more was written.";
    r.backup = "/p/Resources/Database/C01/Backups/DEMO-20240501-100000.mdb";
    r.categoriesWritten = 6;
    r.categoriesThere = 1;
    r.items = {30, 2, 1, 3, 1, 1};
    r.ledgers = {25, 0, 2, 1, 0, 2, 4, 1, 3};
    r.check = RecordedCheck{"2024-04-01", 38, 1520.25, 45210.1234, 0.1 + 0.2, 80500.25, {}};
    r.check->lines = {"Check: items 38 rows", "Check: opening balances debit 0.3"};
    r.summary = {"Summary: items 30 written", "Summary: item sheet, 30 of 38 rows went in"};
    r.reconciled = {"Reconciled: items 30 of 30 in the company, value 1,234.5: ok"};
    return r;
}

void ExpectSame(const SheetCounts& a, const SheetCounts& b) {
    EXPECT_EQ(a.written, b.written);
    EXPECT_EQ(a.updated, b.updated);
    EXPECT_EQ(a.partial, b.partial);
    EXPECT_EQ(a.skipped, b.skipped);
    EXPECT_EQ(a.failed, b.failed);
    EXPECT_EQ(a.notReached, b.notReached);
    EXPECT_EQ(a.completed, b.completed);
    EXPECT_EQ(a.replaced, b.replaced);
    EXPECT_EQ(a.differs, b.differs);
}

TEST(RunRecordText, ReadsBackEveryValueExactly) {
    RunRecord r = Sample();
    RunRecord back = ParseRunRecord(RunRecordText(r), "/x/r.run.txt");
    EXPECT_EQ(back.path, "/x/r.run.txt");
    EXPECT_EQ(back.company, r.company);
    EXPECT_EQ(back.database, r.database);
    EXPECT_EQ(back.workbook, r.workbook) << "a line break and a backslash in a path";
    EXPECT_EQ(back.migrationDate, r.migrationDate);
    EXPECT_EQ(back.started, r.started);
    EXPECT_EQ(back.ended, r.ended);
    EXPECT_EQ(back.outcome, r.outcome);
    EXPECT_EQ(back.failure, r.failure);
    EXPECT_EQ(back.backup, r.backup);
    EXPECT_EQ(back.categoriesWritten, 6);
    EXPECT_EQ(back.categoriesThere, 1);
    EXPECT_EQ(back.categoriesFailed, 0);
    ExpectSame(back.items, r.items);
    ExpectSame(back.ledgers, r.ledgers);
    ASSERT_TRUE(back.check.has_value());
    EXPECT_EQ(back.check->date, "2024-04-01");
    EXPECT_EQ(back.check->stockLines, 38);
    EXPECT_EQ(back.check->quantity, 1520.25);
    EXPECT_EQ(back.check->stockValue, 45210.1234);
    EXPECT_EQ(back.check->debit, 0.1 + 0.2) << "every bit of a double";
    EXPECT_EQ(back.check->lines, r.check->lines);
    EXPECT_EQ(back.summary, r.summary);
    EXPECT_EQ(back.reconciled, r.reconciled);
}

TEST(RunRecordText, EveryValueStaysOnItsOwnLine) {
    std::string text = RunRecordText(Sample());
    EXPECT_NE(text.find("workbook: /home/anna/opening\\nstock \\\\ 2024: final.xls\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_NE(text.find("\nitems: written 30, updated 2, partial 1, skipped 3, failed 1, "
                        "not reached 1, completed 0, replaced 0, differing 0\n"),
              std::string::npos)
        << text;
}

TEST(RunRecordText, ARecordWithoutACheckHasNone) {
    RunRecord r = Sample();
    r.check.reset();
    std::string text = RunRecordText(r);
    EXPECT_EQ(text.find("check"), std::string::npos);
    EXPECT_FALSE(ParseRunRecord(text, "r").check.has_value());
}

TEST(RunRecordText, KeysItDoesNotKnowArePassedOver) {
    std::string text = RunRecordText(Sample()) + "operator: anna\r\n\n";
    EXPECT_EQ(ParseRunRecord(text, "r").company, "DEMO");
}

struct BadRecord {
    const char* name;
    const char* text;
    const char* says;
};
void PrintTo(const BadRecord& b, std::ostream* os) {
    *os << b.name;
}
class BadRecords : public ::testing::TestWithParam<BadRecord> {};

TEST_P(BadRecords, AreRefusedWithTheFileAndTheLine) {
    try {
        ParseRunRecord(GetParam().text, "/b/DEMO-20240501-100000.run.txt");
        FAIL() << "read as a record";
    } catch (const DataError& error) {
        EXPECT_NE(error.Description().find("/b/DEMO-20240501-100000.run.txt"), std::string::npos);
        EXPECT_NE(error.Description().find(GetParam().says), std::string::npos)
            << error.Description();
    }
}

INSTANTIATE_TEST_SUITE_P(
    RunRecordText, BadRecords,
    ::testing::Values(
        BadRecord{"Empty", "", "is not a run record"},
        BadRecord{"ABackupNote", "Ledgerlift backup\ncompany: DEMO\n", "is not a run record"},
        BadRecord{"NoColon", "Ledgerlift run record\ncompany DEMO\n", "line 2 is not"},
        BadRecord{"CountNotANumber", "Ledgerlift run record\ncompany: DEMO\nitems: written many\n",
                  "line 3 holds \"many\" where a whole number belongs"},
        // Once shown as "no rows".
        BadRecord{"NegativeCount", "Ledgerlift run record\nitems: written -3, failed 1\n",
                  "line 2 holds \"-3\" where a count belongs, which is never below 0"},
        BadRecord{"AmountNotANumber", "Ledgerlift run record\ncheck debit: 1,5\n",
                  "line 2 holds \"1,5\" where a number belongs"},
        BadRecord{"AmountInfinite", "Ledgerlift run record\ncheck credit: inf\n",
                  "where a number belongs"}),
    [](const auto& info) { return std::string(info.param.name); });

// The records and backups of the company DEMO in a product folder.
class RunRecordsFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        product.AddCompany("DEMO", "C01", "DEMO");
        company = LocateCompanyDatabase(product.Path(), "DEMO");
        fs::create_directories(Folder());
    }
    std::string Folder() const { return product.DatabaseFolder() + "/C01/Backups"; }
    std::string Write(const std::string& started) {
        RunRecord r = Sample();
        r.started = started;
        return RunRecords(company).Write(r);
    }

    test::ProductFolder product;
    CompanyDatabase company;
};

TEST_F(RunRecordsFolder, AreNamedAfterTheirStartAndListedNewestFirst) {
    std::string first = Write("2024-05-01 10:00:00");
    std::string same = Write("2024-05-01 10:00:00");
    std::string later = Write("2024-06-02 08:30:05");
    EXPECT_EQ(first, Folder() + "/DEMO-20240501-100000.run.txt");
    EXPECT_EQ(same, Folder() + "/DEMO-20240501-100000-2.run.txt") << "never over another";
    RunRecords::Listing listing = RunRecords(company).List();
    EXPECT_TRUE(listing.problems.empty());
    ASSERT_EQ(listing.records.size(), 3u);
    EXPECT_EQ(listing.records[0].path, later);
    EXPECT_EQ(listing.records[1].path, same);
    EXPECT_EQ(listing.records[2].path, first);
}

// What lies under a record's name and is no record: named, not listed.
struct NoRecord {
    const char* name;
    void (*make)(const std::string& path);
    const char* says;
};

class NoRecords : public RunRecordsFolder, public ::testing::WithParamInterface<NoRecord> {};

TEST_P(NoRecords, AreNamedNotListed) {
    Write("2024-05-01 10:00:00");
    GetParam().make(Folder() + "/DEMO-20240601-100000.run.txt");
    RunRecords::Listing listing = RunRecords(company).List();
    ASSERT_EQ(listing.records.size(), 1u);
    ASSERT_EQ(listing.problems.size(), 1u);
    EXPECT_NE(listing.problems[0].find(Folder() + "/DEMO-20240601-100000.run.txt"),
              std::string::npos)
        << listing.problems[0];
    EXPECT_NE(listing.problems[0].find(GetParam().says), std::string::npos) << listing.problems[0];
}

INSTANTIATE_TEST_SUITE_P(
    RunRecordsFolder, NoRecords,
    ::testing::Values(
        NoRecord{"Garbage", [](const std::string& path) { std::ofstream(path) << "garbage\n"; },
                 "is not a run record"},
        // Special files: read, they would block or never end.
        NoRecord{"NamedPipe", [](const std::string& path) { ::mkfifo(path.c_str(), 0600); },
                 "it is a named pipe, not a file"},
        NoRecord{"LinkToADevice",
                 [](const std::string& path) { fs::create_symlink("/dev/zero", path); },
                 "it is a device, not a file"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunRecordsFolder, AnotherDatabasesRecordIsLeftOut) {
    RunRecord other = Sample();
    other.database = "C02/SHOP.mdb";
    std::ofstream(Folder() + "/DEMO-20240601-100000.run.txt") << RunRecordText(other);
    EXPECT_TRUE(RunRecords(company).List().records.empty());
}

TEST_F(RunRecordsFolder, AreNotWrittenThroughALinkedOrMissingFolder) {
    fs::remove_all(Folder());
    EXPECT_THROW(Write("2024-05-01 10:00:00"), DataError);
    test::TempFolder elsewhere;
    fs::create_directory_symlink(elsewhere.Path(), Folder());
    try {
        Write("2024-05-01 10:00:00");
        FAIL() << "written through a link";
    } catch (const DataError& error) {
        EXPECT_NE(error.Description().find("symbolic link"), std::string::npos);
    }
    EXPECT_TRUE(fs::is_empty(elsewhere.Path()));
}

// Records share the folder with the backups and their notes: the backups'
// listing, pruning and the cleaning before a new backup leave them alone.
TEST_F(RunRecordsFolder, BackupsPruningKeepsEveryRecord) {
    CompanyBackups backups(company);
    std::vector<std::string> records;
    for (int i = 0; i < 3; ++i) {
        BackupInfo made = backups.MakeFromFile("a test");  // none of them the first
        RunRecord r = Sample();
        r.started = made.made;
        r.backup = made.path;
        records.push_back(RunRecords(company).Write(r));
        EXPECT_EQ(fs::path(records.back()).stem().stem(), fs::path(made.path).stem())
            << "a record lies beside its backup, under its name";
        EXPECT_EQ(backups.Prune(1, made.path), "");
    }
    ASSERT_EQ(backups.List().size(), 1u);
    EXPECT_EQ(backups.List()[0].path,
              fs::path(records.back()).replace_extension("").replace_extension(".mdb").string())
        << "the newest backup is kept; no new one took a pruned one's name";
    for (const std::string& record : records) {
        EXPECT_TRUE(fs::exists(record)) << record;
    }
    EXPECT_EQ(RunRecords(company).List().records.size(), 3u);
    for (const BackupInfo& backup : backups.List()) {
        EXPECT_EQ(fs::path(backup.path).extension(), ".mdb");
    }
}

}  // namespace
}  // namespace ledgerlift
