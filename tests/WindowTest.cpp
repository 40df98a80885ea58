#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <filesystem>

#include "company/CompanyBackups.h"
#include "qt/ChoiceDialog.h"
#include "qt/GridModel.h"
#include "qt/MainWindow.h"
#include "qt/QtWindowOps.h"
#include "tests/TestSupport.h"
#include "tests/WindowTestSupport.h"
#include "usecases/ConnectCompany.h"
#include "window/MainForm.h"

namespace ledgerlift {
namespace {

using test::AnsweringOps;
using test::FindByName;

class Window : public test::DemoWindow {
  protected:
    void SetUp() override { Show({"DEMO", "SHOP"}); }
};

TEST_F(Window, ShowsCaptionsTabsAndEveryControl) {
    EXPECT_EQ(window->windowTitle(), "Excel Data Migration  to Tallvane Vexa");
    auto* tabs = FindByName<QTabWidget>(*window, "Workbook rows");
    ASSERT_TRUE(tabs);
    EXPECT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), "Item            ");
    EXPECT_EQ(tabs->tabText(2), "Account Group");
    for (const char* name : {"Load Excel Data", "Start Migration", "Close"}) {
        EXPECT_TRUE(FindByName<QPushButton>(*window, name)) << name;
    }
    auto* combo = FindByName<QComboBox>(*window, "Tallvane company");
    ASSERT_TRUE(combo);
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->currentText(), "SHOP");
    auto* date = FindByName<QDateEdit>(*window, "Migration date");
    ASSERT_TRUE(date);
    EXPECT_EQ(date->date(), QDate::currentDate());
    EXPECT_TRUE(FindByName<QCheckBox>(*window, "Update Existing Items"));
    EXPECT_TRUE(FindByName<QLabel>(*window, "Select Tallvane Company:"));
    EXPECT_TRUE(FindByName<QLabel>(*window, "Step 1"));
    EXPECT_TRUE(FindByName<QLabel>(*window, "Step II"));
    auto* status = FindByName<QPlainTextEdit>(*window, "Migration status");
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->toPlainText().startsWith("This is a migration tool"));
    for (const char* name : {"Item rows", "Ledger rows", "Account groups"}) {
        auto* view = FindByName<QTableView>(*window, name);
        ASSERT_TRUE(view) << name;
        EXPECT_EQ(view->model()->rowCount(), 0) << "only the header row";
    }
    EXPECT_EQ(window->GridView(2)->model()->headerData(2, Qt::Horizontal).toString(),
              "Grand Parent");
}

TEST_F(Window, OperatorChoicesReachTheControls) {
    auto* combo = FindByName<QComboBox>(*window, "Tallvane company");
    combo->setCurrentIndex(0);
    EXPECT_EQ(form.companyList.Text(), "DEMO");
    FindByName<QCheckBox>(*window, "Update Existing Items")->setChecked(true);
    EXPECT_EQ(form.updateItemsBox.Value, 1);
    FindByName<QDateEdit>(*window, "Migration date")->setDate(QDate(2009, 4, 1));
    EXPECT_EQ(form.migrationDate.Value, (Date{2009, 4, 1}));
}

TEST_F(Window, CloseEndsTheWindow) {
    window->CloseButton()->click();
    EXPECT_FALSE(window->isVisible());
}

TEST(WindowImport, ShowsTheImportedRowsCaptionsAndTheFrame) {
    AnsweringOps ops;
    ops.file = test::FixturePath("real_mixed.xls");
    MainForm form("/nowhere", ops);
    MainWindow window(form);
    ops.Attach(&window);
    window.show();
    window.LoadButton()->click();
    EXPECT_EQ(ops.messages, std::vector<std::string>{"Completed Excel importing"});
    EXPECT_TRUE(window.isEnabled());
    auto* items = window.GridView(0)->model();
    ASSERT_EQ(items->rowCount(), 4) << "three rows and the empty row";
    EXPECT_EQ(items->data(items->index(0, 2)).toString(), "Soap");
    EXPECT_EQ(items->headerData(5, Qt::Horizontal).toString(), "QOH ");
    auto* tabs = window.findChild<QTabWidget*>();
    EXPECT_EQ(tabs->tabText(0), "Items 3");
    EXPECT_EQ(tabs->tabText(1), "Ledgers 2");
    EXPECT_EQ(window.GridView(1)->model()->rowCount(), 3);
    if (const char* shot = std::getenv("LEDGERLIFT_SCREENSHOT")) {
        window.resize(1280, 800);
        window.grab().save(shot);
    }
}

// The bundled samples, whichever the format, load in the real window.
class WindowSample : public ::testing::TestWithParam<const char*> {};

TEST_P(WindowSample, LoadsInTheWindow) {
    AnsweringOps ops;
    ops.file = std::string(LEDGERLIFT_FIXTURES_DIR) + "/../../resources/demo/sample." + GetParam();
    MainForm form("/nowhere", ops);
    MainWindow window(form);
    ops.Attach(&window);
    window.show();
    window.LoadButton()->click();
    EXPECT_EQ(ops.messages, std::vector<std::string>{"Completed Excel importing"});
    auto* tabs = window.findChild<QTabWidget*>();
    EXPECT_EQ(tabs->tabText(0), "Items 38");
    EXPECT_EQ(tabs->tabText(1), "Ledgers 30");
    EXPECT_EQ(window.GridView(0)->model()->rowCount(), 39);
}

INSTANTIATE_TEST_SUITE_P(Formats, WindowSample, ::testing::Values("xls", "xlsx", "ods"),
                         [](const auto& info) { return std::string(info.param); });

using WindowMigration = test::DemoWindow;

TEST_F(WindowMigration, DoesTheWholeJobThroughTheButtons) {
    Load(test::FixturePath("two_rows.xls"));
    window->MigrateButton()->click();
    EXPECT_EQ(ops.messages.back(), "Migration Completed");
    EXPECT_EQ(test::QueryRows(db, "select ItemCode from tblItemMaster order by 1"), "A1\nA2\n");
    EXPECT_EQ(test::QueryRows(db, "select LName, GroupName from tblLedger"),
              "Ledger One|Customer\n");
    auto* status = window->findChild<QPlainTextEdit*>();
    EXPECT_TRUE(
        status->toPlainText().endsWith("*************************************************"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass is gone";
    form.companyConnection.Close();
    if (const char* shot = std::getenv("LEDGERLIFT_SCREENSHOT_RUN")) {
        window->resize(1280, 800);
        window->grab().save(shot);
    }
}

// Clicks "Start Migration" once from inside an event pass of the ledger
// stage, as the operator would while the run goes on.
TEST_F(WindowMigration, AClickDuringTheLedgerStageDoesNotStartASecondRun) {
    Load(test::FixturePath("real_mixed.xls"));
    ops.messages.clear();
    int passesInLedgerStage = 0;
    ops.onPass = [&] {
        if (form.gridTabs.Tab == 1 && ++passesInLedgerStage == 1) {
            window->MigrateButton()->click();
        }
    };
    window->MigrateButton()->click();
    ops.onPass = nullptr;
    EXPECT_GE(passesInLedgerStage, 2) << "one event pass per ledger row";
    EXPECT_EQ(ops.messages, (std::vector<std::string>{"Are you to continue with Migratiion  DEMO ",
                                                      "Migration Completed"}));
    EXPECT_EQ(test::QueryRows(db, "select count(*) from tblLedger"), "2\n");
    EXPECT_EQ(test::QueryRows(db, "select count(*) from tblVoucher"), "4\n");
}

using WindowCheck = test::DemoWindow;

TEST_F(WindowCheck, MarksTheRowsWithProblemsWithAColourAndATooltip) {
    Load(test::FixturePath("bad_row.xls"));
    ASSERT_NE(window->CheckButton(), nullptr);
    EXPECT_EQ(window->CheckButton()->accessibleName(), "Check Data");
    EXPECT_EQ(window->CheckButton()->text(), "&Check Data") << "Alt+C";
    EXPECT_TRUE(window->CheckButton()->isVisible()) << "beside Start Migration";
    window->CheckButton()->click();
    EXPECT_NE(ops.messages.back().find("The check found problems in 1 rows"), std::string::npos)
        << ops.messages.back();
    auto* ledgers = window->GridView(1)->model();
    QModelIndex tooBig = ledgers->index(1, 2);
    EXPECT_EQ(ledgers->data(tooBig).toString(), "Too big");
    EXPECT_EQ(ledgers->data(tooBig, Qt::BackgroundRole).value<QBrush>().color(),
              QColor(255, 199, 206));
    EXPECT_NE(ledgers->data(tooBig, Qt::ToolTipRole).toString().indexOf("too large"), -1);
    EXPECT_EQ(ledgers->data(ledgers->index(0, 2), Qt::BackgroundRole).value<QBrush>().color(),
              QColor(226, 239, 218))
        << "a row without problems shows that it would go in";
    auto* status = window->findChild<QPlainTextEdit*>();
    EXPECT_TRUE(status->toPlainText().contains("Check: opening balances debit"));
    EXPECT_EQ(test::QueryRows(db, "select count(*) from tblLedger"), "0\n") << "nothing written";
    form.companyConnection.Close();
    if (const char* shot = std::getenv("LEDGERLIFT_SCREENSHOT_CHECK")) {
        auto* tabs = window->findChild<QTabWidget*>();
        tabs->setCurrentIndex(1);
        window->resize(1280, 800);
        QApplication::processEvents();
        window->grab().save(shot);
    }
}

TEST_F(Window, ShowsRestoreBeforeARunAndSaveFailedRowsOnlyAfterOne) {
    auto* restore = FindByName<QPushButton>(*window, "Restore Backup...");
    auto* save = FindByName<QPushButton>(*window, "Save Failed Rows...");
    ASSERT_TRUE(restore);
    ASSERT_TRUE(save);
    EXPECT_TRUE(restore->isEnabled());
    EXPECT_FALSE(save->isEnabled());
    for (const char* name : {"Load Excel Data", "Start Migration", "Check Data", "Close"}) {
        EXPECT_TRUE(FindByName<QPushButton>(*window, name)) << name << " stays as it was";
    }
}

// The whole undo through the buttons: a run with a failed row, its rows
// saved, and the company put back as it was before the run.
using WindowUndo = test::DemoWindow;

TEST_F(WindowUndo, SavesTheFailedRowsAndRestoresTheBackup) {
    test::TempFolder scratch;
    Load(test::FixturePath("bad_row.xls"));
    EXPECT_FALSE(window->SaveFailedRowsButton()->isEnabled());
    window->MigrateButton()->click();
    ASSERT_TRUE(window->SaveFailedRowsButton()->isEnabled());
    ops.saveFiles = {scratch.File("fix.xlsx")};
    window->SaveFailedRowsButton()->click();
    EXPECT_TRUE(std::filesystem::exists(scratch.File("fix.xlsx"))) << ops.messages.back();

    ops.choice = 0;
    window->RestoreButton()->click();
    ASSERT_EQ(ops.listed.size(), 1u);
    EXPECT_NE(ops.messages.back().find("The company DEMO was restored"), std::string::npos)
        << ops.messages.back();
    EXPECT_EQ(test::QueryRows(db, "select count(*) from tblLedger"), "0\n");
    auto* status = window->findChild<QPlainTextEdit*>();
    EXPECT_TRUE(status->toPlainText().contains("Restored the company DEMO from the backup"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass is gone";
}

TEST(ChoiceDialogTest, GivesTheEntryTheOperatorChose) {
    ChoiceDialog dialog(nullptr, "Restore Backup", "Choose one:", {"first", "second", "third"});
    EXPECT_EQ(dialog.windowTitle(), "Restore Backup");
    ASSERT_EQ(dialog.List()->count(), 3);
    EXPECT_EQ(dialog.Chosen(), 0) << "the newest is chosen to begin with";
    QTimer::singleShot(0, &dialog, [&] {
        dialog.List()->setCurrentRow(2);
        dialog.accept();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.Chosen(), 2);
    ChoiceDialog empty(nullptr, "Restore Backup", "Choose one:", {});
    EXPECT_EQ(empty.Chosen(), std::nullopt);
}

TEST(GridModelTest, FollowsTheGridAndPassesTheModelChecks) {
    Grid grid;
    grid.SetFormatString("A|<B|>C");
    grid.SetRows(1);
    GridModel model(grid);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.rowCount(), 0);
    for (int i = 0; i < 50; ++i) {
        grid.AddItem("");
        std::string text = "r";  // (not "r" + temporary: a false -Wrestrict of GCC 12 at -O3)
        text += std::to_string(i);
        grid.SetTextMatrix(grid.Rows() - 1, 1, text);
    }
    model.Sync();
    EXPECT_EQ(model.rowCount(), 50);
    EXPECT_EQ(model.data(model.index(3, 1), Qt::DisplayRole).toString(), "r3");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "B");
    grid.SetRow(2);
    grid.SetCol(0);
    grid.SetCellBackColor(Rgb{0, 255, 0});
    model.Sync();
    EXPECT_EQ(model.data(model.index(1, 0), Qt::BackgroundRole).value<QBrush>().color(),
              QColor(0, 255, 0));
    grid.SetRows(3);
    model.Sync();
    EXPECT_EQ(model.rowCount(), 2);
    grid.SetCols(5);
    model.Sync();
    EXPECT_EQ(model.columnCount(), 5);
}

// The operator reads the patterns as written; the dialog matches them in any
// letter case (WindowStart.TheOpenDialogListsEveryFormatInAnyLetterCase).
TEST(QtFilter, ShowsThePatternsAsWritten) {
    EXPECT_EQ(QtWindowOps::QtFilter("Excel Files|*.XLS|All Files (*.XLS)|*.XLS"),
              "Excel Files (*.XLS);;All Files (*.XLS) (*.XLS)");
}

// Regression: "All Files (*.*)" left out every file without a dot in its name.
TEST(QtFilter, OffersEveryFormatAndAllFilesMeansEveryFile) {
    EXPECT_EQ(QtWindowOps::QtFilter(
                  "Workbooks|*.xls;*.xlsx;*.xlsm;*.ods|Excel 97-2003 Workbooks|*.xls|"
                  "Excel Workbooks|*.xlsx;*.xlsm|OpenDocument Spreadsheets|*.ods|All Files|*.*"),
              "Workbooks (*.xls *.xlsx *.xlsm *.ods);;Excel 97-2003 Workbooks (*.xls);;"
              "Excel Workbooks (*.xlsx *.xlsm);;OpenDocument Spreadsheets (*.ods);;All Files (*)");
}

}  // namespace
}  // namespace ledgerlift

int main(int argc, char** argv) {
    // The window tests need no display of their own.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
