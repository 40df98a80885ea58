#include <gtest/gtest.h>

#include "company/CompanyBackups.h"
#include "tests/DemoCompanyForm.h"
#include "tests/TestSupport.h"
#include "ui/ScriptedWindowOps.h"
#include "usecases/ConnectCompany.h"
#include "window/MainForm.h"

namespace ledgerlift {
namespace {

// The whole job through the window's two buttons: a real workbook loaded with
// "Load Excel Data", migrated with "Start Migration" into a real company
// database, with the operator's answers scripted.
class MigrationRun : public test::DemoCompanyForm {
  protected:
    std::string Rows(const std::string& sql) const { return test::QueryRows(db, sql); }
    std::string StatusAfterIntro() const { return form.statusBox.Text.substr(intro.size()); }
    // The company's backups, oldest first.
    std::vector<std::string> Backups() const {
        std::vector<std::string> paths;
        for (const BackupInfo& b :
             CompanyBackups(LocateCompanyDatabase(product.Path(), "DEMO")).List()) {
            paths.insert(paths.begin(), b.path);
        }
        return paths;
    }

    const std::string intro = form.statusBox.Text;
};

std::string RunLines(const std::string& summary, const std::string& reconciled,
                     const std::string& backup) {
    return "\r\nUser opted to migrate Data to Company DEMO"
           "\r\nBacked up the company database to " +
           backup +
           "\r\nMigrating Category Master"
           "\r\nCompleted Migrating Category Master"
           "\r\nStarted Migrating Item Master"
           "\r\nCompleted Migrating Item Master"
           "\r\nStarted Migrating Item Customer Supplier" +
           summary + reconciled +
           "\r\nLoad Tallvane Company and start with the entries.... "
           "\r\n*************************************************";
}

// Item row 3 (B2) holds a formula error in MRP and a date in ROL: it is
// refused, and nothing of it is written; the other rows go in.
const char* const kFirstSummary =
    "\r\nSummary: categories 2 written, 0 already there, 0 failed"
    "\r\nSummary: items 2 written, 0 updated, 0 skipped, 1 failed, 2 stock postings"
    "\r\nSummary: ledgers 2 written, 0 skipped, 0 failed, 2 vouchers posted"
    "\r\nSummary: item sheet, 2 of 3 rows went in, 1 did not (1 failed)"
    "\r\nSummary: ledger sheet, 2 of 2 rows went in";
const char* const kFirstReconciled =
    "\r\nReconciled: items 2 of 2 in the company, 2 opening stock lines, quantity 5, value 120"
    "\r\nReconciled: ledgers 2 of 2 in the company, opening balances debit 1500, credit 250";

TEST_F(MigrationRun, MovesARealWorkbookIntoTheCompanyDatabase) {
    Load("real_mixed.xls");
    ops.QueueAnswer(MsgAnswer::Yes);  // the confirmation
    form.OnMigrate();

    ASSERT_EQ(Backups().size(), 1u);
    EXPECT_EQ(StatusAfterIntro(), RunLines(kFirstSummary, kFirstReconciled, Backups()[0]));
    EXPECT_FALSE(form.tally.AllWritten()) << "item row 3 was refused";
    ASSERT_EQ(form.tally.rows.size(), 5u);
    EXPECT_NE(form.tally.rows[1].error.find("Item row 3, B2, column H (MRP): \"#DIV/0!\" is not a "
                                            "number."),
              std::string::npos)
        << form.tally.rows[1].error;
    EXPECT_EQ(form.tally.outcome, RunTally::RunOutcome::Completed);
    EXPECT_EQ(form.statusBox.SelStart, static_cast<int>(form.statusBox.Text.size()));
    ASSERT_GE(ops.Messages().size(), 2u);
    const auto& question = ops.Messages()[0];
    EXPECT_EQ(question.text, "Are you to continue with Migratiion  DEMO ");
    EXPECT_EQ(question.icon, MsgIcon::Question);
    const auto& done = ops.Messages().back();
    EXPECT_EQ(done.text, "Migration Completed");
    EXPECT_EQ(done.caption, "Data Migration");
    EXPECT_EQ(done.icon, MsgIcon::Information);
    EXPECT_EQ(ops.Pointer(), MousePointer::Default);
    EXPECT_EQ(ops.PointerHistory(),
              (std::vector<MousePointer>{MousePointer::Default, MousePointer::Hourglass,
                                         MousePointer::Default}));

    EXPECT_EQ(Rows("select CategoryID, Category from tblCategories order by 1"),
              "1|Toiletries\n2|Grocery\n")
        << "no category for the refused row";
    EXPECT_EQ(Rows("select ItemID, ItemCode, ItemName, CategoryID, PRate, MRP, Manufacturer "
                   "from tblItemMaster order by 1"),
              "2|A1|Soap|1|18|25|Acme\n"
              "4|C3|Rice|2|12|14|\n")
        << "the refused row used up its id";
    EXPECT_EQ(Rows("select ItemID, Qty from tblStock order by 1"), "2|10\n4|-5\n");
    EXPECT_EQ(Rows("select ItemID, VchDate, QtyIn, QtyOut from tblStockHistory order by 1"),
              "2|2009-04-01|10|0\n4|2009-04-01|0|5\n");
    EXPECT_EQ(Rows("select LID, LName, GroupName, AccountGroupID, Type, OpBalance from tblLedger"),
              "1|Acme Traders|Customer|10|Dr|1500\n"
              "2|O'Brien & Sons|Supplier|11|Cr|250\n");
    EXPECT_EQ(Rows("select MainID, TrID, DrLID, CrLID, AmountD, AmountC from tblVoucher "
                   "order by rowid"),
              "1|1|1|0|1500|0\n1|1|0|1|0|1500\n2|2|0|2|250|0\n2|2|2|0|0|250\n");
}

TEST_F(MigrationRun, ASecondRunWritesNothingTwice) {
    Load("real_mixed.xls");
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    form.OnMigrate();
    std::string vouchers = Rows("select * from tblVoucher order by rowid");
    std::string ledgers = Rows("select * from tblLedger order by LID");
    std::string items = Rows("select * from tblItemMaster order by ItemID");
    std::string stock = Rows("select * from tblStock order by StockID");
    std::string history = Rows("select * from tblStockHistory order by StockHisID");
    form.OnMigrate();
    EXPECT_EQ(Rows("select * from tblVoucher order by rowid"), vouchers);
    EXPECT_EQ(Rows("select * from tblLedger order by LID"), ledgers);
    EXPECT_EQ(Rows("select * from tblItemMaster order by ItemID"), items);
    EXPECT_EQ(Rows("select * from tblStock order by StockID"), stock);
    EXPECT_EQ(Rows("select * from tblStockHistory order by StockHisID"), history);
    EXPECT_EQ(Rows("select count(*) from tblCategories"), "2\n") << "categories are not repeated";
    ASSERT_EQ(Backups().size(), 1u) << "the second run changed nothing: its backup is removed";
    std::size_t at =
        form.statusBox.Text.rfind(kBackupStatusPrefix) + std::string(kBackupStatusPrefix).size();
    std::string secondBackup =
        form.statusBox.Text.substr(at, form.statusBox.Text.find('\r', at) - at);
    EXPECT_EQ(StatusAfterIntro(),
              RunLines(kFirstSummary, kFirstReconciled, Backups()[0]) +
                  RunLines("\r\nSummary: categories 0 written, 2 already there, 0 failed"
                           "\r\nSummary: items 0 written, 0 updated, 2 skipped, 1 failed, 0 "
                           "stock postings"
                           "\r\nSummary: ledgers 0 written, 2 skipped, 0 failed, 0 vouchers "
                           "posted"
                           "\r\nSummary: item sheet, 0 of 3 rows went in, 3 did not (2 already "
                           "there, 1 failed)"
                           "\r\nSummary: ledger sheet, 0 of 2 rows went in, 2 did not (2 "
                           "already there)",
                           "\r\nReconciled: 0 new items to check; 2 items already in the company"
                           "\r\nReconciled: 0 new ledgers to check; 2 ledgers already in the "
                           "company"
                           "\r\nNothing in the company was changed, so the backup made before "
                           "the run was removed.",
                           secondBackup))
        << "the second run's first line follows the first run's last directly";
    EXPECT_FALSE(form.tally.AllWritten());
}

TEST_F(MigrationRun, RefusesWithoutAnImport) {
    form.OnMigrate();
    ASSERT_EQ(ops.Messages().size(), 1u);
    EXPECT_EQ(ops.Messages()[0].text, "Excel data not loaded. Please load Excel data to proceed");
    EXPECT_EQ(ops.Messages()[0].icon, MsgIcon::Critical);
    EXPECT_FALSE(form.companyConnection.IsOpen()) << "no connection is made";
    EXPECT_EQ(form.statusBox.Text, intro);
}

TEST_F(MigrationRun, NoAtTheConfirmationWritesNothing) {
    Load("two_rows.xls");
    ops.QueueAnswer(MsgAnswer::No);
    form.OnMigrate();
    EXPECT_EQ(ops.Messages().size(), 1u);
    EXPECT_EQ(form.statusBox.Text, intro);
    EXPECT_EQ(form.tally.outcome, RunTally::RunOutcome::NotStarted);
    EXPECT_TRUE(form.companyConnection.IsOpen()) << "the company was connected before the question";
    EXPECT_EQ(Rows("select count(*) from tblItemMaster"), "0\n");
}

TEST_F(MigrationRun, AFailedConnectionEndsTheRunAfterItsOwnMessage) {
    Load("two_rows.xls");
    product.AddCompany("GONE", "C09", "GONE", /*createDatabase=*/false);
    form.companyList.AddItem("GONE");
    form.companyList.SetListIndex(form.companyList.NewIndex());
    form.OnMigrate();
    ASSERT_EQ(ops.Messages().size(), 1u);
    EXPECT_EQ(ops.Messages()[0].icon, MsgIcon::Critical);
    EXPECT_NE(ops.Messages()[0].text.find("C09/GONE.mdb"), std::string::npos);
    EXPECT_EQ(form.statusBox.Text, intro);
    EXPECT_EQ(form.tally.outcome, RunTally::RunOutcome::ConnectionFailed);
    EXPECT_EQ(ops.UnansweredQuestions(), 0u);
}

class BundledSample : public MigrationRun, public ::testing::WithParamInterface<const char*> {};

TEST_P(BundledSample, MigratesCleanly) {
    ops.QueueFile(std::string(LEDGERLIFT_FIXTURES_DIR) + "/../../resources/demo/sample." +
                  GetParam());
    form.OnLoad();
    ops.ClearMessages();
    ops.QueueAnswer(MsgAnswer::Yes);
    form.OnMigrate();
    ASSERT_EQ(ops.Messages().size(), 2u) << ops.Messages()[0].text;
    EXPECT_EQ(Rows("select count(*) from tblItemMaster"), "38\n");
    EXPECT_EQ(Rows("select count(*) from tblCategories"), "6\n");
    EXPECT_EQ(Rows("select count(*) from tblLedger"), "30\n");
    EXPECT_EQ(Rows("select count(*) from tblLedger where GroupName in ('Customer', 'Supplier')"),
              "30\n");
    EXPECT_EQ(Rows("select sum(AmountD) = sum(AmountC) from tblVoucher"), "1\n")
        << "every voucher balances";
}

// The bundled samples hold the same rows in each format.
INSTANTIATE_TEST_SUITE_P(Formats, BundledSample, ::testing::Values("xls", "xlsx", "ods"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace ledgerlift
