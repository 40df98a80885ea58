// A run that can be undone, through the window's buttons: the backup before
// the first write, "Restore Backup..." and "Save Failed Rows...", on real
// workbooks and real company databases with the operator's answers scripted.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/Date.h"
#include "company/CompanyBackups.h"
#include "data/DatabaseCopy.h"
#include "tests/DemoCompanyForm.h"
#include "tests/DiskQuota.h"
#include "tests/TestSupport.h"
#include "tests/ZipPart.h"
#include "ui/ScriptedWindowOps.h"
#include "usecases/RunMigration.h"
#include "window/MainForm.h"

namespace ledgerlift {
namespace {

namespace fs = std::filesystem;

// The bytes of a file ("" when there is none).
std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class UndoableRun : public test::DemoCompanyForm {
  protected:
    void Run() {
        ops.QueueAnswer(MsgAnswer::Yes);
        form.OnMigrate();
    }
    std::vector<BackupInfo> Backups() const {
        return CompanyBackups(LocateCompanyDatabase(product.Path(), "DEMO")).List();
    }
    std::string Items() const { return test::QueryRows(db, "select count(*) from tblItemMaster"); }
    std::string BackupFolder() const { return product.DatabaseFolder() + "/C01/Backups"; }

    test::TempFolder scratch;
    const std::string intro = form.statusBox.Text;
};

TEST_F(UndoableRun, BacksUpTheDatabaseAsItWasBeforeTheFirstWrite) {
    Load("real_mixed.xls");
    Run();
    EXPECT_EQ(form.tally.outcome, RunTally::RunOutcome::Completed);
    std::vector<BackupInfo> backups = Backups();
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(test::QueryRows(backups[0].path, "select count(*) from tblItemMaster"), "0\n");
    EXPECT_EQ(Items(), "2\n");  // item row 3 of real_mixed is refused
    EXPECT_EQ(backups[0].madeBy, "before the first migration, of " +
                                     test::FixturePath("real_mixed.xls") + " on " +
                                     Date::Today().ToIso() + " (migration date 2009-04-01)");
    EXPECT_TRUE(backups[0].first);
    EXPECT_NE(form.statusBox.Text.find("\r\nUser opted to migrate Data to Company DEMO\r\n" +
                                       std::string(kBackupStatusPrefix) + backups[0].path +
                                       "\r\nMigrating Category Master"),
              std::string::npos)
        << form.statusBox.Text;
}

TEST_F(UndoableRun, ADryRunOrANoMakesNoBackup) {
    Load("real_mixed.xls");
    form.options.dryRun = true;
    Run();
    EXPECT_EQ(form.tally.outcome, RunTally::RunOutcome::Completed);
    form.options.dryRun = false;
    ops.QueueAnswer(MsgAnswer::No);
    form.OnMigrate();
    EXPECT_TRUE(Backups().empty());
    EXPECT_FALSE(fs::exists(BackupFolder()));
}

TEST_F(UndoableRun, KeepsTheFirstBackupAndTheNewestAsSet) {
    Load("two_rows.xls");
    form.options.keepBackups = 2;
    for (int i = 0; i < 4; ++i) {
        Run();
        form.companyConnection.Execute("delete from tblItemMaster");
        form.companyConnection.Execute("delete from tblStock");
        form.companyConnection.Execute("delete from tblStockHistory");  // for the next run to write
    }
    std::vector<BackupInfo> backups = Backups();
    ASSERT_EQ(backups.size(), 3u);
    EXPECT_TRUE(backups[2].first);
    EXPECT_EQ(test::QueryRows(backups[2].path, "select count(*) from tblCategories"), "0\n")
        << "the company before its first migration";
    EXPECT_EQ(test::QueryRows(backups[1].path, "select count(*) from tblCategories"), "2\n")
        << "the second run's backup is gone, the third's and fourth's are kept";
    EXPECT_NE(CompanyBackups::Line(backups[2]).find("before the first migration"),
              std::string::npos);
}

TEST_F(UndoableRun, ARunThatChangedNothingLeavesNoBackup) {
    Load("two_rows.xls");
    Run();
    Run();
    ASSERT_EQ(Backups().size(), 1u);
    EXPECT_NE(form.statusBox.Text.find("\r\nNothing in the company was changed, so the backup "
                                       "made before the run was removed.\r\n"),
              std::string::npos);
    // A run that only renames groups changed the company: its backup stays.
    form.companyConnection.Execute("update tblLedger set GroupName = 'Sundry Debtors'");
    Run();
    EXPECT_EQ(Backups().size(), 2u);
}

struct BackupFault {
    const char* name;
    void (*spoil)(UndoableRun& t, const std::string& folder);
    const char* says;
};
void PrintTo(const BackupFault& f, std::ostream* os) {
    *os << f.name;
}
class BackupFaults : public UndoableRun, public ::testing::WithParamInterface<BackupFault> {};

// A backup that can't be made: the run does not start, nothing is written,
// and the operator reads why and where.
TEST_P(BackupFaults, StartNothingAndSayWhyAndWhere) {
    Load("real_mixed.xls");
    GetParam().spoil(*this, BackupFolder());
    std::optional<test::DiskQuota> disk;
    if (std::string(GetParam().name) == "DiskFull") {
        disk.emplace(20 * 1024);
    }
    Run();
    disk.reset();
    EXPECT_EQ(form.tally.outcome, RunTally::RunOutcome::BackupFailed);
    ASSERT_EQ(ops.Messages().size(), 2u) << "the question and the reason";
    const auto& message = ops.Messages()[1];
    EXPECT_EQ(message.icon, MsgIcon::Critical);
    EXPECT_NE(message.text.find("could not be backed up, so the migration was not started and "
                                "nothing was written to it"),
              std::string::npos)
        << message.text;
    EXPECT_NE(message.text.find(GetParam().says), std::string::npos) << message.text;
    EXPECT_NE(message.text.find(BackupFolder()), std::string::npos) << message.text;
    EXPECT_EQ(form.statusBox.Text, intro);
    EXPECT_EQ(ops.Pointer(), MousePointer::Default);
    form.companyConnection.Close();
    EXPECT_EQ(Items(), "0\n");
    EXPECT_EQ(test::QueryRows(db, "pragma integrity_check"), "ok\n");
    EXPECT_FALSE(form.saveFailedRowsButton.Enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BackupFaults,
    ::testing::Values(BackupFault{"FolderIsAFile",
                                  [](UndoableRun&, const std::string& f) {
                                      std::ofstream(f) << "x";
                                  },
                                  "is a file, not a folder"},
                      BackupFault{"DiskFull", [](UndoableRun&, const std::string&) {}, "is full"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UndoableRun, SavesTheRowsThatNeedAttention) {
    Load("bad_row.xls");
    EXPECT_FALSE(form.saveFailedRowsButton.Enabled);
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    form.OnMigrate();
    ASSERT_TRUE(form.saveFailedRowsButton.Enabled);
    ops.ClearMessages();
    ops.QueueSaveFile(scratch.File("to fix"));
    form.OnSaveFailedRows();
    ASSERT_EQ(ops.SaveNames().size(), 1u);
    EXPECT_EQ(ops.SaveNames()[0], test::FixturePath("bad_row-failed-rows.xlsx"));
    EXPECT_EQ(ops.Filters().back(), "Excel Workbook|*.XLSX");
    std::string saved = scratch.File("to fix.xlsx");
    ASSERT_EQ(ops.Messages().size(), 1u);
    EXPECT_EQ(ops.Messages()[0].text,
              "The row that needs attention (1 failed) was saved to " + saved +
                  ", with the worksheet row it came from and the reason. Fix it there, "
                  "then load that workbook with \"Load Excel Data\" and start the migration "
                  "again: the rows that need nothing more are not in it, and a run completes "
                  "what the company is missing.");
    EXPECT_NE(form.statusBox.Text.find(ops.Messages()[0].text), std::string::npos)
        << "the status says it too";
    std::string ledgers = test::ZipPartText(saved, "xl/worksheets/sheet2.xml");
    EXPECT_NE(ledgers.find("<c r=\"J2\""), std::string::npos) << "the source row column";
    EXPECT_EQ(ledgers.find("<c r=\"A3\""), std::string::npos) << "one row only";

    Load("two_rows.xls");
    EXPECT_FALSE(form.saveFailedRowsButton.Enabled) << "the grids changed";
    form.OnSaveFailedRows();
    EXPECT_EQ(ops.Messages().back().text,
              "The last migration or check left no failed rows to save.");
}

// "Save Failed Rows..." onto the loaded workbook replaced it with the rows.
TEST_F(UndoableRun, FailedRowsOverTheLoadedWorkbookAreRefusedAndAnotherMayBeChosen) {
    std::string book = scratch.File("book.xlsx");  // the reader goes by content, not name
    fs::copy_file(test::FixturePath("bad_row.xls"), book);
    ops.QueueFile(book);
    form.OnLoad();
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    form.OnMigrate();
    ASSERT_TRUE(form.saveFailedRowsButton.Enabled);
    std::string before = Slurp(book);
    ops.ClearMessages();
    ops.QueueSaveFile(book);
    ops.QueueSaveFile(scratch.File("fix.xlsx"));
    form.OnSaveFailedRows();
    ASSERT_EQ(ops.Messages().size(), 2u);
    EXPECT_EQ(ops.Messages()[0].text,
              "The failed-rows workbook " + book +
                  " cannot be written there: that is the workbook the data comes from. Name "
                  "another file.\r\n\r\nChoose another file?");
    EXPECT_EQ(ops.Messages()[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(ops.SaveNames().back(), book) << "the dialog opens on the file refused";
    EXPECT_EQ(ops.Messages()[1].icon, MsgIcon::Information) << ops.Messages()[1].text;
    EXPECT_TRUE(Slurp(book) == before) << "the workbook is as it was";
    EXPECT_TRUE(fs::exists(scratch.File("fix.xlsx")));
}

// "Check Data" offers its rows with problems the same way, and makes no
// backup: it writes nothing.
TEST_F(UndoableRun, SavesTheRowsACheckFound) {
    Load("bad_row.xls");
    form.OnCheck();
    ASSERT_TRUE(form.saveFailedRowsButton.Enabled);
    ops.QueueSaveFile(scratch.File("check.xlsx"));
    form.OnSaveFailedRows();
    EXPECT_NE(test::ZipPartText(scratch.File("check.xlsx"), "xl/worksheets/sheet2.xml")
                  .find("<c r=\"J2\""),
              std::string::npos);
    EXPECT_TRUE(Backups().empty());
    EXPECT_FALSE(fs::exists(BackupFolder()));
}

TEST_F(UndoableRun, ACancelledSaveWritesNothing) {
    Load("bad_row.xls");
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    form.OnMigrate();
    ops.ClearMessages();
    form.OnSaveFailedRows();
    EXPECT_TRUE(ops.Messages().empty());
    EXPECT_TRUE(fs::is_empty(scratch.Path()));
}

// The saved rows load back as a normal workbook: into the grids, through the
// load button and its default reader.
TEST_F(UndoableRun, TheSavedRowsLoadBackIntoTheGrids) {
    Load("bad_row.xls");
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    form.OnMigrate();
    ops.QueueSaveFile(scratch.File("fix.xlsx"));
    form.OnSaveFailedRows();
    ops.QueueFile(scratch.File("fix.xlsx"));
    form.OnLoad();
    ASSERT_TRUE(form.workbookLoaded) << ops.Messages().back().text;
    EXPECT_EQ(form.itemGrid.Rows(), 2) << "no item row failed: the header row and the empty row";
    ASSERT_EQ(form.ledgerGrid.Rows(), 3) << "one ledger row";
    EXPECT_EQ(form.ledgerGrid.TextMatrix(1, 2), "Too big");
    EXPECT_EQ(form.ledgerGrid.TextMatrix(1, 7), "1E+16");
    EXPECT_EQ(form.ledgerGrid.TextMatrix(1, 8), "Dr");
}

// Every cell of a failed item row comes back as the grid held it: numbers
// as numbers, texts that look like numbers as texts.
TEST_F(UndoableRun, AFailedItemRowLoadsBackCellForCell) {
    Load("real_mixed.xls");
    form.itemGrid.SetTextMatrix(2, 8, "1E+400");  // the MRP of worksheet row 3: too large
    form.itemGrid.SetTextMatrix(2, 1, "00B2");    // a code that a number would spoil
    std::vector<std::string> before;
    for (int c = 1; c < 17; ++c) {
        before.emplace_back(form.itemGrid.TextMatrix(2, c));
    }
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    form.OnMigrate();
    ops.QueueSaveFile(scratch.File("fix.xlsx"));
    form.OnSaveFailedRows();
    ops.QueueFile(scratch.File("fix.xlsx"));
    form.OnLoad();
    ASSERT_TRUE(form.workbookLoaded) << ops.Messages().back().text;
    ASSERT_EQ(form.itemGrid.Rows(), 3) << "the one failed item row";
    for (int c = 1; c < 17; ++c) {
        EXPECT_EQ(std::string(form.itemGrid.TextMatrix(1, c)), before[c - 1]) << "column " << c;
    }
    EXPECT_EQ(form.itemHeaderRow[1], "ITEM CODE");
}

TEST_F(UndoableRun, RestoreBackupPutsTheChosenBackupBack) {
    Load("real_mixed.xls");
    Run();
    ASSERT_TRUE(form.companyConnection.IsOpen()) << "the run leaves its connection open";
    BackupInfo before = Backups()[0];
    ops.ClearMessages();
    ops.QueueChoice(0);
    ops.QueueAnswer(MsgAnswer::Yes);
    form.OnRestore();
    ASSERT_EQ(ops.Lists().size(), 1u);
    EXPECT_EQ(ops.Lists()[0], std::vector<std::string>{CompanyBackups::Line(before)});
    ASSERT_EQ(ops.Messages().size(), 2u);
    EXPECT_EQ(ops.Messages()[0].text,
              "Restore the company DEMO to its backup of " + before.made + " (" + before.name +
                  ")? Its database as it is now is backed up first, so this can be undone.");
    EXPECT_EQ(ops.Messages()[0].icon, MsgIcon::Question);
    EXPECT_EQ(ops.Messages()[1].icon, MsgIcon::Information) << ops.Messages()[1].text;
    EXPECT_EQ(ops.Messages()[1].caption, "Restore Backup");
    EXPECT_FALSE(form.companyConnection.IsOpen()) << "never left on the replaced file";
    EXPECT_EQ(Items(), "0\n");
    EXPECT_NE(
        form.statusBox.Text.find("\r\nRestored the company DEMO from the backup " + before.path),
        std::string::npos);
    EXPECT_EQ(ops.Pointer(), MousePointer::Default);

    // A run after the restore writes into the restored database.
    Run();
    EXPECT_EQ(Items(), "2\n");  // item row 3 of real_mixed is refused
    EXPECT_EQ(Backups().size(), 3u);
}

TEST_F(UndoableRun, RestoreBackupCancelledAtTheListOrTheQuestionChangesNothing) {
    Load("real_mixed.xls");
    Run();
    ops.ClearMessages();
    form.OnRestore();  // the list cancelled
    ops.QueueChoice(0);
    ops.QueueAnswer(MsgAnswer::No);
    form.OnRestore();
    ASSERT_EQ(ops.Messages().size(), 1u) << "only the question";
    EXPECT_EQ(Items(), "2\n");  // item row 3 of real_mixed is refused
    EXPECT_EQ(Backups().size(), 1u);
}

TEST_F(UndoableRun, RestoreBackupWithoutBackupsSaysWhereTheyWouldBe) {
    form.OnRestore();
    ASSERT_EQ(ops.Messages().size(), 1u);
    EXPECT_EQ(ops.Messages()[0].text, "There is no backup of the company DEMO in " +
                                          BackupFolder() +
                                          " yet. One is made there before every migration.");
    EXPECT_TRUE(ops.Lists().empty());
}

TEST_F(UndoableRun, RestoreBackupOfADamagedBackupIsRefusedWithTheReason) {
    Load("real_mixed.xls");
    Run();
    BackupInfo b = Backups()[0];
    {
        std::fstream f(b.path, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(4096 * 2);
        f.write(std::string(4096, '\x11').data(), 4096);
    }
    ops.ClearMessages();
    ops.QueueChoice(0);
    ops.QueueAnswer(MsgAnswer::Yes);
    form.OnRestore();
    ASSERT_EQ(ops.Messages().size(), 2u);
    EXPECT_EQ(ops.Messages()[1].icon, MsgIcon::Critical);
    EXPECT_NE(ops.Messages()[1].text.find("damaged"), std::string::npos);
    EXPECT_NE(ops.Messages()[1].text.find(b.path), std::string::npos);
    EXPECT_EQ(Items(), "2\n");  // item row 3 of real_mixed is refused
}

}  // namespace
}  // namespace ledgerlift
