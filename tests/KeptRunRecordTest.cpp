// The record every real run leaves beside the company's backups, through the
// window's buttons on real workbooks and real company databases: its counts
// and its backup, the check it was predicted by, none for a dry run, every
// one kept while backups are pruned, and a record that can't be written said.
#include <gtest/gtest.h>

#include <filesystem>

#include "company/CompanyBackups.h"
#include "company/RunRecords.h"
#include "tests/DemoCompanyForm.h"
#include "tests/TestSupport.h"
#include "usecases/KeepRunRecord.h"
#include "window/MainForm.h"

namespace ledgerlift {
namespace {

namespace fs = std::filesystem;

class KeptRunRecord : public test::DemoCompanyForm {
  protected:
    void Run() {
        ops.QueueAnswer(MsgAnswer::Yes);
        form.OnMigrate();
    }
    CompanyDatabase Company() const { return LocateCompanyDatabase(product.Path(), "DEMO"); }
    std::vector<RunRecord> Records() const {
        RunRecords::Listing listing = RunRecords(Company()).List();
        EXPECT_TRUE(listing.problems.empty());
        return listing.records;
    }
    std::vector<BackupInfo> Backups() const { return CompanyBackups(Company()).List(); }
    // The status box's lines that start with prefix, in order.
    std::vector<std::string> StatusLines(const std::string& prefix) const {
        std::vector<std::string> lines;
        const std::string& text = form.statusBox.Text;
        for (std::size_t at = 0; at < text.size();) {
            std::size_t end = text.find("\r\n", at);
            std::string line = text.substr(at, end == std::string::npos ? end : end - at);
            if (line.rfind(prefix, 0) == 0) {
                lines.push_back(line);
            }
            at = end == std::string::npos ? text.size() : end + 2;
        }
        return lines;
    }
};

TEST_F(KeptRunRecord, ARealRunLeavesOneRecordWithItsCountsAndBackup) {
    Load("real_mixed.xls");
    Run();
    ASSERT_EQ(form.tally.outcome, RunTally::RunOutcome::Completed);
    std::vector<RunRecord> records = Records();
    ASSERT_EQ(records.size(), 1u);
    const RunRecord& r = records[0];
    EXPECT_EQ(r.company, "DEMO");
    EXPECT_EQ(r.database, "C01/DEMO.mdb");
    EXPECT_EQ(r.workbook, test::FixturePath("real_mixed.xls"));
    EXPECT_EQ(r.migrationDate, "2009-04-01");
    EXPECT_EQ(r.outcome, "completed");
    ASSERT_EQ(Backups().size(), 1u);
    EXPECT_EQ(r.backup, Backups()[0].path);
    EXPECT_EQ(r.started, Backups()[0].made);
    EXPECT_GE(r.ended, r.started);
    EXPECT_EQ(r.items.written, 2);
    EXPECT_EQ(r.items.failed, 1) << "B2's quantity is not a number";
    EXPECT_EQ(r.items.Rows(), 3);
    EXPECT_EQ(r.ledgers.written, 2);
    EXPECT_EQ(r.ledgers.Rows(), 2);
    EXPECT_EQ(r.categoriesWritten, 2) << "a refused row brings no category";
    EXPECT_FALSE(r.check.has_value()) << "no check ran";
    EXPECT_EQ(r.summary, StatusLines("Summary: "));
    EXPECT_EQ(r.reconciled, StatusLines("Reconciled: "));
    EXPECT_EQ(r.reconciled.size(), 2u);
}

TEST_F(KeptRunRecord, ADryRunLeavesNone) {
    Load("real_mixed.xls");
    form.options.dryRun = true;
    Run();
    ASSERT_EQ(form.tally.outcome, RunTally::RunOutcome::Completed);
    EXPECT_TRUE(Records().empty());
    EXPECT_FALSE(fs::exists(product.DatabaseFolder() + "/C01/Backups"));
}

TEST_F(KeptRunRecord, TheCheckOfTheSameWorkbookIsKeptWithIt) {
    Load("real_mixed.xls");
    form.OnCheck();
    ASSERT_TRUE(form.lastCheck.ran);
    Run();
    std::vector<RunRecord> records = Records();
    ASSERT_EQ(records.size(), 1u);
    ASSERT_TRUE(records[0].check.has_value());
    const RecordedCheck& c = *records[0].check;
    EXPECT_EQ(c.date, "2009-04-01");
    EXPECT_EQ(c.stockValue, form.lastCheck.totals.stockValue);
    EXPECT_EQ(c.debit, form.lastCheck.totals.debit);
    EXPECT_EQ(c.credit, form.lastCheck.totals.credit);
    EXPECT_EQ(c.stockLines, 2);
    EXPECT_EQ(c.lines, form.lastCheck.Lines(false)) << "a record names no grids";
}

TEST_F(KeptRunRecord, ACheckBeforeTheWorkbookWasLoadedAgainIsNotKept) {
    Load("real_mixed.xls");
    form.OnCheck();
    Load("real_mixed.xls");  // the grids may differ from what was checked
    Run();
    ASSERT_EQ(Records().size(), 1u);
    EXPECT_FALSE(Records()[0].check.has_value());
}

TEST_F(KeptRunRecord, AStoppedRunRecordsTheRowsNotReached) {
    Load("real_mixed.xls");
    ops.SetProgressHook([this](const std::string& stage, int done, int) {
        if (stage == "Migrating items" && done == 1) {
            form.OnStop();
        }
    });
    ops.QueueAnswer(MsgAnswer::Yes);  // start
    ops.QueueAnswer(MsgAnswer::No);   // not on with the ledgers
    form.OnMigrate();
    ASSERT_EQ(form.tally.outcome, RunTally::RunOutcome::Stopped);
    std::vector<RunRecord> records = Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].outcome, "stopped");
    EXPECT_EQ(records[0].items.written + records[0].items.notReached, 3);
    EXPECT_GE(records[0].items.notReached, 1);
    EXPECT_EQ(records[0].ledgers.notReached, 2);
    EXPECT_EQ(records[0].ledgers.written, 0);
}

TEST_F(KeptRunRecord, PruningBackupsKeepsEveryRecord) {
    Load("two_rows.xls");
    form.options.keepBackups = 1;
    for (int i = 0; i < 3; ++i) {
        Run();
        if (i == 0) {
            form.companyConnection.Execute("delete from tblItemMaster");
            form.companyConnection.Execute("delete from tblStock");
            form.companyConnection.Execute(
                "delete from tblStockHistory");  // for the second run to write
        }
    }
    // The first backup is kept for good, the second run's as the newest;
    // the third run changed nothing and left none.
    ASSERT_EQ(Backups().size(), 2u);
    std::vector<RunRecord> records = Records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].items.written, 0) << "the third run found them there";
    EXPECT_EQ(records[0].items.skipped, 2);
    EXPECT_EQ(records[1].items.written, 2);
    EXPECT_EQ(records[1].backup, Backups()[0].path);
    EXPECT_EQ(records[2].backup, Backups()[1].path);
    EXPECT_NE(RunRecords::Line(records[0]).find("(no longer kept)"), std::string::npos)
        << RunRecords::Line(records[0]);
    EXPECT_EQ(RunRecords::Line(records[1]).find("(no longer kept)"), std::string::npos);
}

TEST_F(KeptRunRecord, ARecordThatCannotBeWrittenIsSaidWithTheBackup) {
    Load("two_rows.xls");
    ASSERT_EQ(form.companyList.Text(), "DEMO");
    CompanyLock lock;
    RunRequest request{form, form.companyConnection, lock, product.Path(), form.tally, {}, nullptr};
    KeepRunRecord({request, "/gone/DEMO-20240501-100000.mdb", {}, ""}, ops);
    ASSERT_EQ(ops.Messages().size(), 1u);
    const auto& m = ops.Messages()[0];
    EXPECT_EQ(m.icon, MsgIcon::Exclamation);
    EXPECT_NE(m.text.find("The record of this run could not be kept"), std::string::npos) << m.text;
    EXPECT_NE(m.text.find(product.DatabaseFolder() + "/C01/Backups is missing"), std::string::npos)
        << m.text;
    EXPECT_NE(m.text.find("the backup /gone/DEMO-20240501-100000.mdb undoes it"),
              std::string::npos);
}

}  // namespace
}  // namespace ledgerlift
