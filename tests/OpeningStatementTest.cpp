// The opening statement as read back from a company database that real runs
// wrote: its totals are the database's own sums and the run's read-back
// totals, its parts add up to them, it says what it can't state, and who
// else holds the company.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "company/CompanyBackups.h"
#include "company/CompanyLock.h"
#include "company/CompanyRestore.h"
#include "migration/Reconciliation.h"
#include "reports/openingstatement/ReadOpeningStatement.h"
#include "tests/DemoCompanyForm.h"
#include "tests/TestSupport.h"
#include "window/MainForm.h"

namespace ledgerlift {
namespace {

double Sum(const std::string& db, const std::string& sql) {
    Value v = test::QueryValue(db, sql);
    return v.IsNull() ? 0 : v.IsInteger() ? static_cast<double>(v.AsInteger()) : v.AsReal();
}

// Amounts agree as the currency keeps them.
void ExpectAmount(double expected, double actual, const char* what) {
    EXPECT_NEAR(expected, actual, 0.00005) << what;
}

class OpeningStatementRead : public test::DemoCompanyForm {
  protected:
    void Run(const std::string& fixture) {
        Load(fixture);
        ops.QueueAnswer(MsgAnswer::Yes);
        form.OnMigrate();
        ASSERT_NE(form.tally.outcome, RunTally::RunOutcome::NotStarted);
    }
    OpeningStatement Read() { return ReadOpeningStatement(product.Path(), "DEMO"); }

    // The totals against the database's own sums, by other queries than the
    // statement's, and the parts against the totals.
    void ExpectTheDatabasesSums(const OpeningStatement& s) {
        ExpectAmount(Sum(db,
                         "select sum(PValueIn) - sum(PValueOut) from tblStockHistory "
                         "where VchType = 'OpeningStock'"),
                     s.totals.stockValue, "stock value");
        ExpectAmount(Sum(db,
                         "select sum(QtyIn) - sum(QtyOut) from tblStockHistory "
                         "where VchType = 'OpeningStock'"),
                     s.totals.quantity, "quantity");
        ExpectAmount(Sum(db,
                         "select sum(v.AmountD) from tblVoucher v join tblLedger l on "
                         "l.LID = v.DrLID where v.TrType = 'Opening'"),
                     s.totals.debit, "debit");
        ExpectAmount(Sum(db,
                         "select sum(v.AmountC) from tblVoucher v join tblLedger l on "
                         "l.LID = v.DrLID where v.TrType = 'Opening'"),
                     s.totals.credit, "credit");
        double value = 0, debit = 0, credit = 0;
        for (const OpeningStatementCategory& c : s.categories) {
            value += c.value;
        }
        for (const OpeningStatementGroup& g : s.groups) {
            debit += g.debit;
            credit += g.credit;
        }
        ExpectAmount(s.totals.stockValue, value, "categories");
        ExpectAmount(s.totals.debit, debit, "groups' debit");
        ExpectAmount(s.totals.credit, credit, "groups' credit");
    }
};

TEST_F(OpeningStatementRead, AgreesWithTheRunsReadBackAndTheDatabase) {
    Run("real_mixed.xls");
    OpeningStatement s = Read();
    OpeningTotals back = ReadBackTotals(form.tally, form.companyConnection);
    ExpectAmount(back.stockValue, s.totals.stockValue, "stock value");
    ExpectAmount(back.quantity, s.totals.quantity, "quantity");
    ExpectAmount(back.debit, s.totals.debit, "debit");
    ExpectAmount(back.credit, s.totals.credit, "credit");
    EXPECT_EQ(back.stockLines, s.totals.stockLines);
    ExpectAmount(back.Difference(), s.totals.Difference(), "difference");
    ExpectTheDatabasesSums(s);
    // 10 at 18 and -5 at 12 (B2's quantity is refused); 1500 on the debit
    // side, 250 on the credit side.
    ExpectAmount(180 - 60, s.totals.stockValue, "as the workbook says");
    ExpectAmount(1500, s.totals.debit, "as the workbook says");
    ExpectAmount(250, s.totals.credit, "as the workbook says");
    EXPECT_EQ(s.companyName, "DEMO Ltd");  // from the company list
    EXPECT_EQ(s.migrationDates, "2009-04-01");
    ASSERT_TRUE(s.lastRun.has_value());
    EXPECT_EQ(s.lastRun->workbook, test::FixturePath("real_mixed.xls"));
    EXPECT_TRUE(s.lastRunBackupKept);
    EXPECT_TRUE(s.restoredAt.empty());
}

TEST_F(OpeningStatementRead, LedgersComeByGroupCustomersAndSuppliersFirst) {
    Run("real_mixed.xls");
    // The run moves debtors to Customer and creditors to Supplier; groups of
    // other names, and none, come after them.
    form.companyConnection.Execute(
        "update tblLedger set GroupName = 'Bank Accounts' where LName = "
        "'Acme Traders'");
    form.companyConnection.Execute(
        "insert into tblLedger (LID, LName, GroupName) values (90, 'Zed', "
        "'customer'), (91, 'Young', ''), (92, 'Able', 'Capital Account')");
    form.companyConnection.Execute(
        "insert into tblVoucher values (900, 900, 'Opening', '2009-04-01', "
        "0, 90, '90', 'Opening Balance', 75, 0, '', 0, 0), (900, 900, "
        "'Opening', '2009-04-01', 90, 0, '90', 'Opening Balance', 0, 75, '', "
        "0, 0)");
    for (int lid : {91, 92}) {
        std::string id = std::to_string(lid);
        form.companyConnection.Execute("insert into tblVoucher values (9" + id + ", 9" + id +
                                       ", 'Opening', '2009-04-01', " + id + ", 0, '" + id +
                                       "', 'Opening Balance', 10, 0, '', 0, 0), (9" + id + ", 9" +
                                       id + ", 'Opening', '2009-04-01', 0, " + id + ", '" + id +
                                       "', 'Opening Balance', 0, 10, '', 0, 0)");
    }
    OpeningStatement s = Read();
    std::vector<std::string> groups;
    for (const OpeningStatementGroup& g : s.groups) {
        groups.push_back(g.name);
    }
    EXPECT_EQ(groups, (std::vector<std::string>{"customer", "Supplier", "Bank Accounts",
                                                "Capital Account", "(no group)"}));
    ExpectAmount(75, s.groups[0].credit, "Zed's credit, under Customer in any letter case");
    ExpectAmount(250, s.groups[1].credit, "O'Brien & Sons");
    ExpectTheDatabasesSums(s);
}

TEST_F(OpeningStatementRead, AfterASecondRunHoldsBoth) {
    Run("real_mixed.xls");
    Run("two_rows.xls");
    OpeningStatement s = Read();
    ExpectTheDatabasesSums(s);
    ASSERT_TRUE(s.lastRun.has_value());
    EXPECT_EQ(s.lastRun->workbook, test::FixturePath("two_rows.xls"));
    OpeningTotals second = ReadBackTotals(form.tally, form.companyConnection);
    EXPECT_GT(s.totals.stockLines, second.stockLines) << "both runs' postings";
}

// Postings whose item or ledger was removed since still count, under a name
// that says so: the parts always add up to the database's totals.
TEST_F(OpeningStatementRead, PostingsOfRemovedItemsAndLedgersStillAddUp) {
    Run("real_mixed.xls");
    form.companyConnection.Execute("delete from tblItemMaster where ItemCode = 'A1'");
    form.companyConnection.Execute("delete from tblLedger where LName = 'Acme Traders'");
    OpeningStatement s = Read();
    double value = 0;
    bool named = false;
    for (const OpeningStatementCategory& c : s.categories) {
        value += c.value;
        for (const OpeningStatementItem& i : c.items) {
            named = named || (i.code.rfind("(item id ", 0) == 0 && i.value == 180);
        }
    }
    EXPECT_TRUE(named);
    ExpectAmount(s.totals.stockValue, value, "categories");
    ExpectAmount(1500, s.totals.debit, "the removed ledger's balance");
    EXPECT_EQ(s.groups.back().name, "(ledgers no longer in the ledger list)");
}

TEST_F(OpeningStatementRead, ACompanyNotMigratedHasNoStatement) {
    EXPECT_FALSE(OpeningStatementAvailable(product.Path(), "DEMO"));
    try {
        Read();
        FAIL() << "a statement of nothing";
    } catch (const NothingMigrated& nothing) {
        EXPECT_NE(nothing.Description().find("The company DEMO has not been migrated yet"),
                  std::string::npos);
    }
    Run("real_mixed.xls");
    EXPECT_TRUE(OpeningStatementAvailable(product.Path(), "DEMO"));
}

TEST_F(OpeningStatementRead, ARestoreAfterTheLastRunIsSaid) {
    Run("real_mixed.xls");
    form.companyConnection.Close();
    CompanyDatabase company = LocateCompanyDatabase(product.Path(), "DEMO");
    RestoreCompany(company, CompanyBackups(company).List().front().path);
    OpeningStatement s = Read();
    EXPECT_FALSE(s.restoredAt.empty());
    EXPECT_EQ(s.restoredFrom, std::filesystem::path(s.lastRun->backup).filename().string());
    EXPECT_EQ(s.totals.stockLines, 0) << "what the restored database holds";
    EXPECT_TRUE(s.categories.empty());
}

// Regression: a backup whose note lost its "database:" line vanished from
// the list, while the statement still named it as the one that undoes the
// run.
TEST_F(OpeningStatementRead, ABackupARestoreWouldRefuseIsNotNamedAsTheUndo) {
    Run("real_mixed.xls");
    std::string note = BackupNotePath(Read().lastRun->backup);
    std::ifstream in(note);
    std::string text, line;
    while (std::getline(in, line)) {
        text += line.rfind("database: ", 0) == 0 ? "" : line + "\n";
    }
    in.close();
    std::ofstream(note, std::ios::trunc) << text;
    OpeningStatement s = Read();
    EXPECT_NE(s.lastRunBackupProblem.find("does not say which database it is a copy of"),
              std::string::npos)
        << s.lastRunBackupProblem;
}

// Regression: another program that wrote to the company between two of the
// statement's queries made its parts disagree with its totals.
TEST_F(OpeningStatementRead, APostingWrittenMeanwhileChangesNoPart) {
    Run("real_mixed.xls");
    form.companyConnection.Close();
    Connection other;
    other.Open(test::ConnectionStringFor(db));
    bool written = false;
    OpeningStatement s = ReadOpeningStatement(product.Path(), "DEMO", [&](const std::string& sql) {
        if (!written && sql.find("count(distinct case when DrLID") != std::string::npos) {
            written = true;
            other.Execute(
                "insert into tblVoucher (MainID, TrID, TrType, DrLID, AmountD, AmountC) select "
                "max(MainID) + 1, 1, 'Opening', max(DrLID), 5000, 0 from tblVoucher");
        }
    });
    ASSERT_TRUE(written);
    double debit = 0;
    for (const OpeningStatementGroup& g : s.groups) {
        debit += g.debit;
    }
    ExpectAmount(s.totals.debit, debit, "groups' debit");
}

TEST_F(OpeningStatementRead, ACompanyAnotherProgramHoldsIsRefused) {
    Run("real_mixed.xls");
    CompanyLock other;
    ASSERT_TRUE(other.Acquire(db, CompanyUse::Migration));
    try {
        Read();
        FAIL() << "read while another program migrates into it";
    } catch (const DataError& error) {
        EXPECT_NE(error.Description().find("Another program is migrating into the company DEMO"),
                  std::string::npos)
            << error.Description();
    }
}

TEST_F(OpeningStatementRead, AFileThatIsNoCompanyDatabaseIsRefused) {
    std::filesystem::remove(db);
    { std::ofstream(db) << "not a database"; }
    EXPECT_THROW(Read(), DataError);
    std::filesystem::remove(db);
    EXPECT_THROW(Read(), DataError);
    EXPECT_THROW(ReadOpeningStatement(product.Path(), "NOSUCH"), DataError);
}

// "Save Statement..." on a company with nothing to state says so once; the
// save dialog is not offered again, since no other file would help.
TEST_F(OpeningStatementRead, SaveStatementSaysWhatItCannotStateAndAsksNoMore) {
    test::TempFolder out;
    EXPECT_FALSE(form.saveOpeningStatementButton.Enabled);
    ops.QueueSaveFile(out.File("s.pdf"));
    ops.QueueSaveFile(out.File("again.pdf"));
    form.OnSaveOpeningStatement();
    ASSERT_EQ(ops.Messages().size(), 1u);
    EXPECT_EQ(ops.Messages()[0].buttons, MsgButtons::OK);
    EXPECT_NE(ops.Messages()[0].text.find("has not been migrated yet"), std::string::npos);
    EXPECT_EQ(ops.SaveNames().size(), 1u);
    EXPECT_TRUE(std::filesystem::is_empty(out.Path()));
    Run("real_mixed.xls");
    EXPECT_TRUE(form.saveOpeningStatementButton.Enabled) << "offered once the company is migrated";
}

}  // namespace
}  // namespace ledgerlift
