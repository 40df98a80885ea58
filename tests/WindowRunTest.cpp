// The window while a run goes on and after it: the progress bar, the
// disabled controls, Stop, Close during a run, every row's outcome in the
// grids, the filter, Save Report and the workbook the grids hold.

#include <gtest/gtest.h>

#include <QApplication>
#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QThread>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>

#include "qt/MainWindow.h"
#include "qt/QtWindowOps.h"
#include "reports/RunReport.h"
#include "tests/TestSupport.h"
#include "tests/WindowTestSupport.h"
#include "usecases/ConnectCompany.h"
#include "usecases/OutcomeMarks.h"
#include "window/MainForm.h"

namespace ledgerlift {
namespace {

// A workbook of a few thousand rows, written once for all the tests.
const std::string& BigWorkbook() {
    static test::TempFolder folder;
    static const std::string path = [] {
        std::string out = folder.File("big.xls");
        std::string command = "/usr/bin/python3 " LEDGERLIFT_SOURCE_DIR
                              "/scripts/make_big_workbook.py " +
                              out + " 3000 2000 20";
        if (std::system(command.c_str()) != 0) {
            ADD_FAILURE() << "could not write the workbook: " << command;
        }
        return out;
    }();
    return path;
}

QColor Background(QAbstractItemModel* model, int row) {
    return model->data(model->index(row, 1), Qt::BackgroundRole).value<QBrush>().color();
}

QString Tip(QAbstractItemModel* model, int row) {
    return model->data(model->index(row, 1), Qt::ToolTipRole).toString();
}

QColor Qt(Rgb c) {
    return QColor(c.red, c.green, c.blue);
}

class WindowRun : public test::DemoWindow {
  protected:
    // In the item stage, once n of its rows are recorded.
    bool InItemStage(std::size_t n) const {
        return form.Running() == MainForm::Procedure::Migration && form.tally.rows.size() >= n &&
               form.tally.rows.back().sheet == "items";
    }
    std::string Rows(const std::string& sql) const { return test::QueryRows(db, sql); }
    int Count(const std::string& table) const {
        return std::stoi(Rows("select count(*) from " + table));
    }
};

struct Sample {
    QString text;
    int value;
    int maximum;
};

TEST_F(WindowRun, TheProgressBarMovesThroughEveryStageAndGoesAtTheEnd) {
    Load(BigWorkbook());
    std::vector<Sample> seen;
    std::size_t rowsSeen = 0;
    ops.onPass = [&] {
        // As on a slower machine: the item stage takes a second or so, long
        // enough for the rate and the time left to be worked out.
        if (form.tally.rows.size() != rowsSeen) {
            rowsSeen = form.tally.rows.size();
            if (InItemStage(1)) {
                QThread::usleep(300);
            }
        }
        if (window->ProgressBar()->isVisible()) {
            seen.push_back({window->ProgressText()->text(), window->ProgressBar()->value(),
                            window->ProgressBar()->maximum()});
        }
    };
    window->MigrateButton()->click();
    ASSERT_EQ(ops.messages.back(), "Migration Completed");
    std::set<int> itemValues;
    bool rateShown = false;
    std::set<QString> stages;
    for (const Sample& s : seen) {
        stages.insert(s.text.section(':', 0, 0));
        if (s.text.startsWith("Migrating items: ")) {
            EXPECT_EQ(s.maximum, 3000);
            itemValues.insert(s.value);
            rateShown =
                rateShown || (s.text.contains(" of 3,000 rows, ") &&
                              s.text.contains(" rows a second, ") && s.text.contains(" left"));
        }
    }
    EXPECT_EQ(stages,
              (std::set<QString>{"Migrating categories", "Migrating items", "Migrating ledgers"}));
    EXPECT_GE(itemValues.size(), 3u) << "the bar moves during the item stage";
    EXPECT_TRUE(rateShown) << "rows done of rows, the rate and the time left";
    EXPECT_FALSE(window->ProgressBar()->isVisible()) << "gone once the run has ended";
    EXPECT_FALSE(window->ProgressText()->isVisible());
}

TEST_F(WindowRun, TheImportShowsItsProgressToo) {
    std::vector<QString> texts;
    ops.onPass = [&] {
        if (window->ProgressBar()->isVisible()) {
            texts.push_back(window->ProgressText()->text());
        }
    };
    Load(BigWorkbook());
    ASSERT_FALSE(texts.empty());
    EXPECT_TRUE(texts.front().startsWith("Loading worksheet 1 (items): "))
        << texts.front().toStdString();
    EXPECT_TRUE(texts.back().startsWith("Loading worksheet 2 (ledgers): "))
        << texts.back().toStdString();
    EXPECT_FALSE(window->ProgressBar()->isVisible());
    EXPECT_FALSE(window->StopButton()->isVisible()) << "a load can't be stopped";
}

TEST_F(WindowRun, ControlsThatWouldStartOrChangeAProcedureShowDisabledWhileItRuns) {
    Load(test::FixturePath("real_mixed.xls"));
    auto* company = window->findChild<QComboBox*>();
    auto* date = window->findChild<QDateEdit*>();
    std::vector<QWidget*> locked{
        window->LoadButton(),       window->MigrateButton(),  window->CheckButton(), company, date,
        window->SaveReportButton(), window->OnlyNotInFilter()};
    for (auto* box : window->findChildren<QCheckBox*>()) {
        if (box->accessibleName() == "Update Existing Items") {
            locked.push_back(box);
        }
    }
    ASSERT_EQ(locked.size(), 8u);
    int passes = 0;
    bool anyEnabled = false;
    bool stopShown = true;
    ops.onPass = [&] {
        if (form.Running() != MainForm::Procedure::Migration) {
            return;
        }
        ++passes;
        for (QWidget* w : locked) {
            anyEnabled = anyEnabled || w->isEnabled();
        }
        stopShown =
            stopShown && window->StopButton()->isVisible() && window->StopButton()->isEnabled();
    };
    EXPECT_FALSE(window->StopButton()->isVisible()) << "Stop appears only during a run";
    window->MigrateButton()->click();
    ASSERT_GT(passes, 0);
    EXPECT_FALSE(anyEnabled);
    EXPECT_TRUE(stopShown);
    for (QWidget* w : std::initializer_list<QWidget*>{window->LoadButton(), window->MigrateButton(),
                                                      window->CheckButton(), company, date}) {
        EXPECT_TRUE(w->isEnabled()) << w->accessibleName().toStdString();
    }
    EXPECT_TRUE(window->SaveReportButton()->isEnabled()) << "there is a run to report now";
    EXPECT_FALSE(window->StopButton()->isVisible());
    EXPECT_TRUE(window->CloseButton()->isEnabled());
}

TEST_F(WindowRun, StopEndsTheItemStageAfterTheRowInProgressAndNoEndsTheRun) {
    Load(BigWorkbook());
    std::size_t recordedAtStop = 0;
    ops.onPass = [&] {
        if (recordedAtStop == 0 && InItemStage(500)) {
            recordedAtStop = form.tally.rows.size();
            window->StopButton()->click();
            EXPECT_FALSE(window->StopButton()->isEnabled()) << "asked once, it waits";
        }
    };
    ops.answer = [](const std::string& q) {
        return q.rfind("You stopped the migration", 0) == 0 ? MsgAnswer::No : MsgAnswer::Yes;
    };
    window->MigrateButton()->click();
    ASSERT_GT(recordedAtStop, 0u);
    ASSERT_TRUE(ops.Asked("You stopped the migration after item row "));
    EXPECT_EQ(ops.messages.back().rfind("The migration was stopped.", 0), 0u)
        << ops.messages.back();
    EXPECT_EQ(form.tally.outcome, RunTally::RunOutcome::Stopped);

    // The row in progress when Stop was clicked is finished, and no other.
    int written = form.tally.items.written;
    EXPECT_GE(written, static_cast<int>(recordedAtStop));
    EXPECT_LE(written, static_cast<int>(recordedAtStop) + 1);
    EXPECT_EQ(Count("tblItemMaster"), written);
    // Nothing half-written: every item that went in has its opening stock.
    EXPECT_EQ(Count("tblStock"), written);
    EXPECT_EQ(Count("tblStockHistory"), written);
    EXPECT_EQ(Count("tblLedger"), 0) << "No: the ledger stage did not run";
    ASSERT_EQ(form.tally.rows.size(), 5000u) << "every row is accounted for";
    EXPECT_EQ(form.tally.rows[static_cast<std::size_t>(written)].error,
              "Not migrated: the item stage was stopped by the operator.");
    EXPECT_EQ(form.tally.rows.back().error,
              "Not migrated: the migration was stopped by the operator before the ledgers.");
    auto* items = window->GridView(0)->model();
    EXPECT_EQ(Background(items, 0), Qt(kWentInRow));
    EXPECT_EQ(Background(items, written), Qt(kNotReachedRow));
    EXPECT_TRUE(window->isVisible()) << "the outcome stays to be read";
    EXPECT_TRUE(window->findChild<QPlainTextEdit*>()->toPlainText().contains(
        "Stopped Migrating Item Master"));
}

TEST_F(WindowRun, AfterAStopYesGoesOnWithTheLedgers) {
    Load(BigWorkbook());
    bool clicked = false;
    ops.onPass = [&] {
        if (!clicked && InItemStage(200)) {
            clicked = true;
            window->StopButton()->click();
        }
    };
    window->MigrateButton()->click();
    ASSERT_TRUE(ops.Asked("You stopped the migration after item row "));
    EXPECT_LT(Count("tblItemMaster"), 3000);
    EXPECT_EQ(Count("tblLedger"), 2000) << "Yes: the next stage ran to its end";
    EXPECT_EQ(form.tally.ledgers.written, 2000);
    EXPECT_EQ(form.tally.outcome, RunTally::RunOutcome::Completed);
    EXPECT_EQ(ops.messages.back(), "Migration Completed");
}

TEST_F(WindowRun, CloseDuringARunAsksStopsAfterTheRowAndThenCloses) {
    Load(BigWorkbook());
    bool closed = false;
    ops.onPass = [&] {
        if (!closed && InItemStage(300)) {
            closed = true;
            window->close();
            EXPECT_TRUE(window->isVisible()) << "not before the run has ended";
        }
    };
    window->MigrateButton()->click();
    ASSERT_TRUE(closed);
    EXPECT_TRUE(ops.Asked("The migration is still running. Stop it after the row in progress"));
    EXPECT_FALSE(ops.Asked("You stopped the migration")) << "closing asks nothing more";
    EXPECT_LT(Count("tblItemMaster"), 3000);
    EXPECT_EQ(Count("tblStock"), Count("tblItemMaster"));
    EXPECT_EQ(Count("tblLedger"), 0);
    EXPECT_FALSE(window->isVisible()) << "closed once the run had ended";
}

TEST_F(WindowRun, CloseDuringARunAnsweredNoLetsTheRunFinishAndTheWindowStay) {
    Load(test::FixturePath("real_mixed.xls"));
    bool closed = false;
    ops.onPass = [&] {
        if (!closed && form.Running() == MainForm::Procedure::Migration) {
            closed = true;
            window->close();
        }
    };
    ops.answer = [](const std::string& q) {
        return q.rfind("The migration is still running", 0) == 0 ? MsgAnswer::No : MsgAnswer::Yes;
    };
    window->MigrateButton()->click();
    ASSERT_TRUE(ops.Asked("The migration is still running"));
    EXPECT_EQ(ops.messages.back(), "Migration Completed");
    EXPECT_TRUE(window->isVisible());
}

// Regression: the window went away with "Migration Completed", so the
// outcome was never read.
TEST_F(WindowRun, AcknowledgingMigrationCompletedLeavesTheWindowOpen) {
    Load(test::FixturePath("two_rows.xls"));
    window->MigrateButton()->click();
    ASSERT_EQ(ops.messages.back(), "Migration Completed");
    QApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
}

TEST_F(WindowRun, EveryRowShowsItsOutcomeAsAColourAndItsReasonAsTheTooltip) {
    Load(test::FixturePath("bad_row.xls"));
    window->MigrateButton()->click();
    auto* ledgers = window->GridView(1)->model();
    auto* items = window->GridView(0)->model();
    int tooBig = -1;
    for (int r = 0; r < ledgers->rowCount(); ++r) {
        if (ledgers->index(r, 2).data().toString() == "Too big") {
            tooBig = r;
        }
    }
    ASSERT_GE(tooBig, 0);
    EXPECT_EQ(Background(ledgers, tooBig), Qt(kFailedRow));
    EXPECT_TRUE(Tip(ledgers, tooBig).startsWith("Ledger row 3, Too big"))
        << Tip(ledgers, tooBig).toStdString();
    EXPECT_TRUE(Tip(ledgers, tooBig).contains("too large for a currency amount"));
    EXPECT_EQ(Background(items, 0), Qt(kWentInRow));
    EXPECT_TRUE(Tip(items, 0).startsWith("Written (ItemID ")) << Tip(items, 0).toStdString();
    EXPECT_FALSE(
        ledgers->data(ledgers->index(ledgers->rowCount() - 1, 1), Qt::BackgroundRole).isValid())
        << "the empty row under the data is no row of the workbook";
    auto* status = window->findChild<QPlainTextEdit*>();
    EXPECT_TRUE(status->toPlainText().contains("Summary: ledger sheet, "));
    EXPECT_TRUE(status->toPlainText().contains(" did not (1 failed)"));

    // Run again: what went in the first time is already there.
    window->MigrateButton()->click();
    EXPECT_EQ(Background(items, 0), Qt(kAlreadyThereRow));
    EXPECT_TRUE(Tip(items, 0).startsWith("Already there: ")) << Tip(items, 0).toStdString();
}

TEST_F(WindowRun, TheFilterShowsOnlyTheRowsThatDidNotGoIn) {
    Load(test::FixturePath("bad_row.xls"));
    QCheckBox* filter = window->OnlyNotInFilter();
    EXPECT_FALSE(filter->isEnabled()) << "nothing has an outcome yet";
    window->MigrateButton()->click();
    ASSERT_TRUE(filter->isEnabled());
    int allLedgers = window->GridView(1)->model()->rowCount();
    int allItems = window->GridView(0)->model()->rowCount();
    int width = window->GridView(1)->columnWidth(2);
    filter->setChecked(true);
    auto* ledgers = window->GridView(1)->model();
    ASSERT_EQ(ledgers->rowCount(), 1) << "the one ledger that failed";
    EXPECT_EQ(ledgers->index(0, 2).data().toString(), "Too big");
    EXPECT_EQ(Background(ledgers, 0), Qt(kFailedRow));
    EXPECT_EQ(window->GridView(0)->model()->rowCount(), 0) << "every item went in";
    EXPECT_TRUE(window->FilterNote()->isVisible());
    EXPECT_EQ(window->FilterNote()->text(), "0 item rows and 1 ledger row did not go in.");
    EXPECT_EQ(window->GridView(1)->columnWidth(2), width) << "the columns keep their widths";
    filter->setChecked(false);
    EXPECT_FALSE(window->FilterNote()->isVisible());
    EXPECT_EQ(window->GridView(1)->model()->rowCount(), allLedgers);
    EXPECT_EQ(window->GridView(0)->model()->rowCount(), allItems);

    filter->setChecked(true);
    window->MigrateButton()->click();
    EXPECT_FALSE(filter->isChecked()) << "a procedure shows every row it works on";
    EXPECT_EQ(window->GridView(1)->model()->rowCount(), allLedgers);
}

TEST_F(WindowRun, SaveReportWritesTheSameFileAsTheCommandLine) {
    test::TempFolder out;
    Load(test::FixturePath("bad_row.xls"));
    EXPECT_FALSE(window->SaveReportButton()->isEnabled()) << "no run yet";
    window->MigrateButton()->click();
    ASSERT_TRUE(window->SaveReportButton()->isEnabled());
    ops.saveFiles = {out.File("report.csv")};
    window->SaveReportButton()->click();
    ASSERT_EQ(ops.saveNames.size(), 1u);
    EXPECT_EQ(ops.saveNames[0], std::string(LEDGERLIFT_FIXTURES_DIR) + "/bad_row report.csv")
        << "beside the workbook, under its name";
    std::ifstream in(out.File("report.csv"), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), RunReportText(form.tally));
    EXPECT_NE(text.str().find("ledgers,3,Too big,failed,,"), std::string::npos) << text.str();
    EXPECT_TRUE(window->findChild<QPlainTextEdit*>()->toPlainText().contains(
        QString::fromStdString("The report of the run was saved as " + out.File("report.csv"))));
}

TEST_F(WindowRun, ShowsTheWorkbookItHoldsAndAFailedLoadLeavesNoStaleRows) {
    QLabel* workbook = window->WorkbookLabel();
    ASSERT_TRUE(workbook);
    EXPECT_EQ(workbook->text(), "No workbook loaded");
    Load(test::FixturePath("real_mixed.xls"));
    EXPECT_EQ(workbook->text(), "Workbook: real_mixed.xls");
    EXPECT_EQ(workbook->toolTip().toStdString(), test::FixturePath("real_mixed.xls"));
    EXPECT_TRUE(window->ProductFolderLabel()->isVisible()) << "both names stay in sight";
    auto* tabs = window->findChild<QTabWidget*>();
    ASSERT_EQ(tabs->tabText(0), "Items 3");
    // Under the workbook's name, what the load read of each sheet.
    QLabel* lines = window->LoadLinesLabel();
    EXPECT_TRUE(lines->isVisible());
    EXPECT_TRUE(lines->text().startsWith("Worksheet 1 (Items) read as items"))
        << lines->text().toStdString();
    EXPECT_TRUE(lines->toolTip().contains("Worksheet 2 (Ledgers) read as ledgers"));

    Load(test::FixturePath("headings/one_unrecognised_sheet.xls"));
    EXPECT_EQ(window->GridView(0)->model()->rowCount(), 0) << "no rows of the workbook before";
    EXPECT_EQ(window->GridView(1)->model()->rowCount(), 0);
    EXPECT_EQ(tabs->tabText(0), "Item            ");
    EXPECT_EQ(tabs->tabText(1), "Ledger            ");
    EXPECT_EQ(workbook->text(), "No workbook loaded");
    EXPECT_FALSE(lines->isVisible());
    EXPECT_FALSE(form.workbookLoaded);
}

TEST_F(WindowRun, ColumnsWidenByDraggingKeepTheirWidthAndFitTheirContentOnADoubleClick) {
    Load(test::FixturePath("real_mixed.xls"));
    QTableView* view = window->GridView(0);
    QHeaderView* header = view->horizontalHeader();
    EXPECT_EQ(header->sectionResizeMode(0), QHeaderView::Interactive);
    EXPECT_GE(view->columnWidth(0), view->fontMetrics().horizontalAdvance("SLNO"))
        << "as wide as its heading and its largest row number, to start with";
    header->resizeSection(0, 90);  // as a drag of its divider does
    form.itemGrid.AddItem("");     // the grid changes shape underneath
    window->Sync();
    EXPECT_EQ(view->columnWidth(0), 90) << "a dragged width stays";

    int start = view->columnWidth(0);
    header->resizeSection(0, 5);
    emit header->sectionHandleDoubleClicked(0);
    EXPECT_GE(view->columnWidth(0), view->fontMetrics().horizontalAdvance("SLNO"))
        << "fitted to its content (" << start << " before)";

    form.itemGrid.SetColWidth(2, 3000);  // the grid itself sets a width: that wins
    window->Sync();
    EXPECT_EQ(view->columnWidth(2), 200);
}

TEST_F(WindowRun, ButtonsHaveAccessKeysAndKeepTheirNamesAndTheTabOrder) {
    struct Key {
        QString name;
        QString text;
    };
    for (const Key& key :
         {Key{"Load Excel Data", "&Load Excel Data"}, Key{"Start Migration", "&Start Migration"},
          Key{"Check Data", "&Check Data"}, Key{"Close", "Cl&ose"}, Key{"Stop", "S&top"},
          Key{"Save Report...", "Save &Report..."}}) {
        QPushButton* found = nullptr;
        for (auto* b : window->findChildren<QPushButton*>()) {
            if (b->accessibleName() == key.name) {
                found = b;
            }
        }
        ASSERT_TRUE(found) << key.name.toStdString();
        EXPECT_EQ(found->text(), key.text);
    }
    EXPECT_EQ(form.loadButton.Caption, "Load Excel Data") << "the logic's captions stay";

    Load(test::FixturePath("real_mixed.xls"));  // shows the migration frame
    std::vector<std::string> order;
    QWidget* w = window->LoadButton();
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled()) {
            order.push_back(w->accessibleName().toStdString());
        }
        w = w->nextInFocusChain();
    } while (w != window->LoadButton());
    std::vector<std::string> before{
        "Load Excel Data", "Tallvane company", "Migration date",   "Update Existing Items",
        "Start Migration", "Check Data",       "Migration status", "Close",
        "Workbook rows",   "Item rows"};
    std::vector<std::string> kept;
    for (const auto& name : order) {
        if (std::find(before.begin(), before.end(), name) != before.end()) {
            kept.push_back(name);
        }
    }
    EXPECT_EQ(kept, before) << "the controls that were there keep their order";
}

// Screenshots of the real window for the eye, when asked for:
// LEDGERLIFT_SCREENSHOT_DIR=DIR [LEDGERLIFT_SCREENSHOT_ROWS=32767].
TEST(WindowScreenshots, AtTheEndOfARunOnTheSampleAndOnABigWorkbook) {
    const char* dir = std::getenv("LEDGERLIFT_SCREENSHOT_DIR");
    if (!dir) {
        GTEST_SKIP() << "LEDGERLIFT_SCREENSHOT_DIR is not set";
    }
    const char* rowsText = std::getenv("LEDGERLIFT_SCREENSHOT_ROWS");
    int rows = rowsText ? std::atoi(rowsText) : 32767;
    test::TempFolder folder;
    std::string big = folder.File("big.xls");
    std::string command = "/usr/bin/python3 " LEDGERLIFT_SOURCE_DIR
                          "/scripts/make_big_workbook.py " +
                          big + " " + std::to_string(rows) + " " + std::to_string(rows) + " 100";
    ASSERT_EQ(std::system(command.c_str()), 0);
    struct Shot {
        std::string workbook;
        std::string name;
        bool stop;  // Stop a third into the items, and No to going on
    };
    for (const Shot& shot :
         {Shot{LEDGERLIFT_SOURCE_DIR "/resources/demo/sample.xls", "sample", false},
          Shot{big, "big", false}, Shot{big, "big-stopped", true}}) {
        auto save = [&](QWidget& w, const std::string& what) {
            w.grab().save(
                QString::fromStdString(std::string(dir) + "/" + shot.name + "-" + what + ".png"));
        };
        test::ProductFolder product;
        product.AddCompany("DEMO", "C01", "DEMO");
        test::AnsweringOps ops;
        MainForm form(product.Path(), ops);
        form.OnStart();
        MainWindow window(form);
        ops.Attach(&window);
        window.resize(1280, 800);
        window.show();
        ops.file = shot.workbook;
        window.LoadButton()->click();
        bool during = false;
        std::size_t half = static_cast<std::size_t>(form.itemGrid.Rows() / 2);
        ops.onPass = [&] {
            bool inItems = !form.tally.rows.empty() && form.tally.rows.back().sheet == "items";
            if (shot.stop && inItems && form.tally.rows.size() > half * 2 / 3) {
                window.StopButton()->click();
            } else if (!shot.stop && !during && inItems && form.tally.rows.size() > half) {
                during = true;
                save(window, "during");
            }
        };
        ops.answer = [&](const std::string& q) {
            return q.rfind("You stopped", 0) == 0 ? MsgAnswer::No : MsgAnswer::Yes;
        };
        window.MigrateButton()->click();
        ops.onPass = nullptr;
        save(window, "end");
        window.OnlyNotInFilter()->setChecked(true);
        save(window, "not-in");
        window.findChild<QTabWidget*>()->setCurrentIndex(1);
        save(window, "not-in-ledgers");
        form.companyConnection.Close();
    }
}

}  // namespace
}  // namespace ledgerlift
