// A run the operator stops, and what the window's buttons around it do:
// the question after a stopped stage, closing during a run, a stopped check,
// Save Report..., and the outcome marks.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "company/CompanyDatabase.h"
#include "load/GridLayouts.h"
#include "reports/RunReport.h"
#include "tests/DemoCompanyForm.h"
#include "tests/FileSizeLimit.h"
#include "tests/TestSupport.h"
#include "ui/ScriptedWindowOps.h"
#include "usecases/CheckOps.h"
#include "usecases/OutcomeMarks.h"
#include "window/MainForm.h"

namespace ledgerlift {
namespace {

// The bytes of a file ("" when there is none).
std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class RunStop : public test::DemoCompanyForm {
  protected:
    void SetUp() override {
        DemoCompanyForm::SetUp();
        Load("real_mixed.xls");
    }
    // The Stop button, once the stage has done n rows.
    void StopIn(const std::string& stage, int n) {
        ops.SetProgressHook([this, stage, n](const std::string& s, int done, int) {
            if (s == stage && done == n) {
                form.OnStop();
            }
        });
    }
    std::string Rows(const std::string& sql) const { return test::QueryRows(db, sql); }
    std::string Status() const { return form.statusBox.Text; }
    bool Asked(const std::string& start) const {
        for (const auto& m : ops.Messages()) {
            if (m.text.rfind(start, 0) == 0) {
                return true;
            }
        }
        return false;
    }
};

TEST_F(RunStop, NoAfterAStoppedItemStageEndsTheRunThere) {
    StopIn("Migrating items", 1);
    ops.QueueAnswer(MsgAnswer::Yes);  // the confirmation
    ops.QueueAnswer(MsgAnswer::No);   // go on?
    form.OnMigrate();
    ASSERT_TRUE(
        Asked("You stopped the migration after item row 2 (A1); the item rows after it "
              "were not migrated."));
    const auto& question = ops.Messages()[1];
    EXPECT_EQ(question.buttons, MsgButtons::YesNo);
    EXPECT_EQ(question.caption, "Data Migration");
    EXPECT_NE(question.text.find("Go on with the ledgers?"), std::string::npos);
    EXPECT_EQ(Rows("select ItemCode from tblItemMaster"), "A1\n");
    EXPECT_EQ(Rows("select count(*) from tblLedger"), "0\n");
    EXPECT_EQ(form.tally.outcome, RunTally::RunOutcome::Stopped);
    ASSERT_EQ(form.tally.rows.size(), 5u) << "three items and two ledgers, each accounted for";
    EXPECT_EQ(form.tally.rows[3].error,
              "Not migrated: the migration was stopped by the operator before the ledgers.");
    EXPECT_NE(Status().find("\r\nStopped Migrating Item Master\r\nSummary: categories"),
              std::string::npos)
        << Status();
    EXPECT_NE(Status().find("Summary: item sheet, 1 of 3 rows went in, 2 did not (2 not reached)"),
              std::string::npos);
    EXPECT_NE(Status().find("The migration was stopped by the operator.\r\n*****"),
              std::string::npos);
    EXPECT_EQ(Status().find("Load Tallvane Company"), std::string::npos);
    EXPECT_EQ(ops.Messages().back().text.rfind("The migration was stopped.", 0), 0u);
    EXPECT_EQ(ops.Pointer(), MousePointer::Default);
    EXPECT_EQ(form.itemGrid.FindRowMark(1)->color, kWentInRow);
    EXPECT_EQ(form.itemGrid.FindRowMark(2)->color, kNotReachedRow);
    EXPECT_EQ(form.ledgerGrid.FindRowMark(1)->color, kNotReachedRow);
    EXPECT_FALSE(form.stop.requested) << "the next run starts afresh";
}

TEST_F(RunStop, YesAfterAStoppedItemStageGoesOnWithTheLedgers) {
    StopIn("Migrating items", 2);
    ops.QueueAnswer(MsgAnswer::Yes);
    ops.QueueAnswer(MsgAnswer::Yes);
    form.OnMigrate();
    // Item row 3 (B2) is refused for its numbers; the stop came after it.
    EXPECT_EQ(Rows("select ItemCode from tblItemMaster order by 1"), "A1\n");
    EXPECT_EQ(Rows("select count(*) from tblLedger"), "2\n");
    EXPECT_EQ(form.tally.outcome, RunTally::RunOutcome::Completed);
    EXPECT_EQ(ops.Messages().back().text, "Migration Completed");
    EXPECT_NE(Status().find("Stopped Migrating Item Master\r\nStarted Migrating Item Customer"),
              std::string::npos);
    EXPECT_EQ(ops.UnansweredQuestions(), 0u);
}

TEST_F(RunStop, AStoppedCategoryStageAsksBeforeTheItems) {
    StopIn("Migrating categories", 1);
    ops.QueueAnswer(MsgAnswer::Yes);
    ops.QueueAnswer(MsgAnswer::No);
    form.OnMigrate();
    ASSERT_TRUE(Asked("You stopped the migration while the categories were written"));
    EXPECT_EQ(Rows("select Category from tblCategories"), "Toiletries\n") << "kept";
    EXPECT_EQ(Rows("select count(*) from tblItemMaster"), "0\n");
    ASSERT_EQ(form.tally.rows.size(), 5u);
    EXPECT_EQ(form.tally.rows[0].error,
              "Not migrated: the migration was stopped by the operator before the items.");
}

TEST_F(RunStop, AStopAtTheLastItemRowSaysThatEveryItemRowWasDone) {
    StopIn("Migrating items", 3);
    ops.QueueAnswer(MsgAnswer::Yes);
    ops.QueueAnswer(MsgAnswer::No);
    form.OnMigrate();
    EXPECT_TRUE(
        Asked("You stopped the migration after item row 4 (C3), the last one: every "
              "item row was done."));
    EXPECT_EQ(Rows("select count(*) from tblItemMaster"), "2\n") << "B2 is refused";
}

TEST_F(RunStop, AStoppedLedgerStageEndsTheRunWithoutAQuestion) {
    StopIn("Migrating ledgers", 1);
    ops.QueueAnswer(MsgAnswer::Yes);
    form.OnMigrate();
    EXPECT_EQ(ops.UnansweredQuestions(), 0u) << "nothing comes after the ledgers";
    EXPECT_EQ(Rows("select count(*) from tblLedger"), "1\n");
    EXPECT_EQ(form.tally.outcome, RunTally::RunOutcome::Stopped);
    EXPECT_NE(Status().find("Stopped Migrating Item Customer Supplier"), std::string::npos);
}

TEST_F(RunStop, ClosingDuringARunStopsAfterTheRowAndAsksNothingMore) {
    ops.SetProgressHook([this](const std::string& stage, int done, int) {
        if (stage == "Migrating items" && done == 1) {
            ops.QueueAnswer(MsgAnswer::Yes);
            EXPECT_TRUE(form.AskStopAndClose());
        }
    });
    ops.QueueAnswer(MsgAnswer::Yes);
    form.OnMigrate();
    ASSERT_TRUE(
        Asked("The migration is still running. Stop it after the row in progress and "
              "close the window?"));
    EXPECT_FALSE(Asked("You stopped the migration"));
    EXPECT_EQ(Rows("select count(*) from tblItemMaster"), "1\n");
    EXPECT_EQ(Rows("select count(*) from tblLedger"), "0\n");
}

TEST_F(RunStop, StopAndCloseAreOnlyForWhatCanStop) {
    form.OnStop();
    EXPECT_FALSE(form.stop.requested) << "nothing runs";
    EXPECT_TRUE(form.AskStopAndClose()) << "nothing to ask";
    EXPECT_TRUE(ops.Messages().empty());

    // During a load: the load can't be stopped, the window closes after it.
    form.stop.Clear();
    bool answered = false;
    ops.SetDoEventsHook([&] {
        if (!answered) {
            answered = true;
            form.OnStop();
            EXPECT_FALSE(form.stop.requested);
            ops.QueueAnswer(MsgAnswer::No);
            EXPECT_FALSE(form.AskStopAndClose());
            EXPECT_FALSE(form.stop.closing);
            ops.QueueAnswer(MsgAnswer::Yes);
            EXPECT_TRUE(form.AskStopAndClose());
        }
    });
    ops.QueueFile(test::FixturePath("two_rows.xls"));
    form.OnLoad();
    EXPECT_TRUE(Asked("The workbook is still being loaded. Close the window once it is loaded?"));
    EXPECT_TRUE(form.workbookLoaded) << "the load went on to its end";
    EXPECT_TRUE(form.stop.closing);
    EXPECT_FALSE(form.stop.requested);
}

TEST_F(RunStop, AStoppedCheckShowsNoHalfPrediction) {
    StopIn("Checking items", 1);
    form.OnCheck();
    ASSERT_FALSE(ops.Messages().empty());
    EXPECT_EQ(ops.Messages().back().text.rfind("The check was stopped before it went through", 0),
              0u);
    EXPECT_EQ(form.itemGrid.RowMarkCount(), 0u);
    EXPECT_FALSE(form.lastCheck.ran);
    EXPECT_EQ(Rows("select count(*) from tblItemMaster"), "0\n") << "a check writes nothing";
    EXPECT_EQ(Rows("select count(*) from tblCategories"), "0\n");
}

TEST_F(RunStop, ACheckReportsItsProgressUnderItsOwnName) {
    form.OnCheck();
    std::set<std::string> stages;
    for (const auto& report : ops.ProgressReports()) {
        stages.insert(report.stage);
    }
    EXPECT_EQ(stages, (std::set<std::string>{"Checking categories", "Checking items",
                                             "Checking ledgers", "Loading worksheet 1 (items)",
                                             "Loading worksheet 2 (ledgers)"}));
    EXPECT_GE(ops.ProgressEnds(), 2) << "after the load and after the check";
}

class SaveReportButton : public RunStop {};

TEST_F(SaveReportButton, BeforeAnyRunSaysThereIsNothingToReport) {
    form.OnSaveReport();
    ASSERT_EQ(ops.Messages().size(), 1u);
    EXPECT_EQ(ops.Messages()[0].caption, "Save Report");
    EXPECT_TRUE(ops.SaveNames().empty()) << "no dialog";
}

TEST_F(SaveReportButton, WritesTheCommandLinesReportWhereTheOperatorSays) {
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    form.OnMigrate();
    test::TempFolder out;
    ops.QueueSaveFile(out.File("run.csv"));
    form.OnSaveReport();
    ASSERT_EQ(ops.SaveNames().size(), 1u);
    EXPECT_EQ(ops.SaveNames()[0], std::string(LEDGERLIFT_FIXTURES_DIR) + "/real_mixed report.csv");
    EXPECT_EQ(ops.Filters().back(), "CSV Files|*.csv|All Files|*");
    std::ifstream in(out.File("run.csv"), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), RunReportText(form.tally));
    EXPECT_NE(Status().find("The report of the run was saved as " + out.File("run.csv")),
              std::string::npos);
}

TEST_F(SaveReportButton, ADryRunsReportSaysSo) {
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    form.options.dryRun = true;
    form.OnMigrate();
    form.options.dryRun = false;  // as the next run would go: the report is still the dry run's
    test::TempFolder out;
    ops.QueueSaveFile(out.File("run.csv"));
    form.OnSaveReport();
    std::ifstream in(out.File("run.csv"), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), RunReportText(form.tally, /*dryRun=*/true));
    EXPECT_NE(text.str().find(",would be written,,"), std::string::npos) << text.str();
}

TEST_F(SaveReportButton, AFileThatCannotBeWrittenIsNamedAndAnotherMayBeChosen) {
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    form.OnMigrate();
    ops.ClearMessages();
    test::TempFolder out;
    std::string bad = out.File("no such folder/run.csv");
    ops.QueueSaveFile(bad);
    ops.QueueSaveFile(out.File("run.csv"));
    form.OnSaveReport();
    ASSERT_EQ(ops.Messages().size(), 1u);
    EXPECT_NE(ops.Messages()[0].text.find(bad), std::string::npos) << ops.Messages()[0].text;
    EXPECT_EQ(ops.Messages()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(ops.SaveNames().back(), bad) << "the dialog opens on the file that failed";
    EXPECT_TRUE(std::ifstream(out.File("run.csv")).good());
}

// "Save Report..." over the company's database replaced it with the CSV.
TEST_F(SaveReportButton, AReportOnTheCompanyDatabaseIsRefusedAndAnotherMayBeChosen) {
    ops.SetFallback([](const auto&) { return MsgAnswer::Yes; });
    form.OnMigrate();
    form.companyConnection.Close();
    std::string before = Slurp(db);
    ops.ClearMessages();
    test::TempFolder out;
    std::string backups = product.DatabaseFolder() + "/C01/Backups/";
    for (const std::string& refused : {db, db + "-wal", backups + "run.csv"}) {
        ops.QueueSaveFile(refused);
    }
    ops.QueueSaveFile(out.File("run.csv"));
    form.OnSaveReport();
    ASSERT_EQ(ops.Messages().size(), 3u);
    EXPECT_EQ(ops.Messages()[0].text,
              "The report " + db +
                  " cannot be written there: that is the database of the company DEMO. Name "
                  "another file.\r\n\r\nChoose another file?");
    EXPECT_NE(ops.Messages()[1].text.find("the write-ahead log of the company DEMO's database"),
              std::string::npos);
    EXPECT_NE(ops.Messages()[2].text.find("a file in the backup folder of the company DEMO"),
              std::string::npos);
    EXPECT_TRUE(Slurp(db) == before) << "the company's database is as it was";
    EXPECT_FALSE(std::filesystem::exists(db + "-wal"));
    EXPECT_FALSE(std::filesystem::exists(backups + "run.csv"));
    EXPECT_EQ(Slurp(out.File("run.csv")), RunReportText(form.tally));
}

// A full disk cut the report short and lost the older one of that name.
TEST_F(SaveReportButton, AFullDiskKeepsTheOlderReportWhole) {
    ops.SetFallback([](const auto&) { return MsgAnswer::No; });
    ops.QueueAnswer(MsgAnswer::Yes);  // the confirmation
    form.OnMigrate();
    ops.ClearMessages();
    test::TempFolder out;
    std::ofstream(out.File("run.csv"), std::ios::binary) << "the older report";
    ops.QueueSaveFile(out.File("run.csv"));
    {
        test::FileSizeLimit full(64);
        form.OnSaveReport();
    }
    ASSERT_EQ(ops.Messages().size(), 1u);
    EXPECT_EQ(ops.Messages()[0].text,
              "The file " + out.File("run.csv") +
                  " could not be written (the file would grow beyond the size this system "
                  "allows). Nothing was saved under that name.\r\n\r\nChoose another file?");
    EXPECT_EQ(Slurp(out.File("run.csv")), "the older report");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.Path()),
                            std::filesystem::directory_iterator()),
              1)
        << "nothing half written is left";
    EXPECT_EQ(Status().find("The report of the run was saved"), std::string::npos);
}

TEST(OutcomeMarksTest, EveryRowOfARunIsMarkedEvenThoseItNeverReached) {
    FormControls form;
    form.itemGrid.SetFormatString(kItemFormat);
    form.itemGrid.SetCols(kItemCols);
    form.itemGrid.SetRows(1);
    for (int r = 2; r <= 4; ++r) {
        form.itemGrid.AddItem(std::to_string(r) + "\tA" + std::to_string(r));
    }
    form.itemGrid.AddItem("");  // the empty row a load ends with
    RunTally tally;
    tally.Record(tally.items, {"items", "2", "A2", RunTally::Outcome::Written, "7", "", ""});
    tally.Record(tally.items,
                 {"items",
                  "3",
                  "A3",
                  RunTally::Outcome::Failed,
                  "",
                  "Item row 3, A3: the disk is full.",
                  "insert the item",
                  {"column E (QOH) holds \"x\", which is not a number; it is read as 0."}});
    MarkOutcomes(form, tally, MarkFor::Run);
    ASSERT_EQ(form.itemGrid.RowMarkCount(), 3u) << "the empty last row is no workbook row";
    EXPECT_EQ(form.itemGrid.FindRowMark(1)->tip, "Written (ItemID 7).");
    EXPECT_TRUE(form.itemGrid.FindRowMark(1)->wentIn);
    EXPECT_EQ(form.itemGrid.FindRowMark(2)->color, kFailedRow);
    EXPECT_EQ(form.itemGrid.FindRowMark(2)->tip,
              "Item row 3, A3: the disk is full.\ncolumn E (QOH) holds \"x\", which is not a "
              "number; it is read as 0.");
    EXPECT_EQ(form.itemGrid.FindRowMark(3)->color, kNotReachedRow);
    EXPECT_EQ(form.itemGrid.FindRowMark(3)->tip,
              "Not migrated: the run ended before this row was reached.");

    MarkOutcomes(form, tally, MarkFor::Check);
    EXPECT_EQ(form.itemGrid.FindRowMark(1)->tip, "Would be written (ItemID 7).");
    EXPECT_EQ(form.itemGrid.FindRowMark(3), nullptr) << "a check has a word for every row it saw";
}

TEST(OutcomeMarksTest, AColourPerOutcome) {
    using O = RunTally::Outcome;
    auto mark = [](O outcome, const char* error = "", std::vector<Finding> warnings = {}) {
        return OutcomeMark({"ledgers", "2", "Acme", outcome, "3", error, "", warnings},
                           MarkFor::Run);
    };
    EXPECT_EQ(mark(O::Written).color, kWentInRow);
    EXPECT_EQ(mark(O::Written).tip, "Written (LID 3).");
    EXPECT_EQ(mark(O::Written, "", {"a side that is no side"}).color, kWentInWithNoteRow);
    EXPECT_EQ(mark(O::Updated).tip, "Updated: it replaced the item with this code (LID 3).");
    EXPECT_EQ(mark(O::Skipped, "Already there: ...").color, kAlreadyThereRow);
    EXPECT_EQ(mark(O::Skipped, "Not migrated: stopped.").color, kNotReachedRow);
    EXPECT_EQ(mark(O::Partial, "The ledger was written, but ...").color, kFailedRow);
    EXPECT_FALSE(mark(O::Partial, "The ledger was written, but ...").wentIn);
    EXPECT_EQ(mark(O::Failed, "Ledger row 2, Acme: ...").tip, "Ledger row 2, Acme: ...");
}

TEST(CheckOpsTest, ForwardItsProgressUnderTheChecksNameAndTheSaveDialog) {
    ScriptedWindowOps window;
    CheckOps check(window);
    check.Progress("Migrating items", 3, 9);
    check.Progress("Loading worksheet 1 (items)", 1, 2);
    check.EndProgress();
    window.QueueSaveFile("/r.csv");
    EXPECT_EQ(check.ShowSave("CSV Files|*.csv", "r.csv"), "/r.csv");
    using Report = ScriptedWindowOps::ProgressReport;
    EXPECT_EQ(
        window.ProgressReports(),
        (std::vector<Report>{{"Checking items", 3, 9}, {"Loading worksheet 1 (items)", 1, 2}}));
    EXPECT_EQ(window.ProgressEnds(), 1);
}

}  // namespace
}  // namespace ledgerlift
