// The whole job with the keyboard alone: each step is reached by its access
// key (Alt and the underlined letter), a shortcut or Tab, never by a click.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "qt/ColumnsControl.h"
#include "qt/MainWindow.h"
#include "qt/ProblemsPanel.h"
#include "qt/QtWindowOps.h"
#include "tests/TestSupport.h"
#include "tests/WindowTestSupport.h"
#include "window/MainForm.h"

namespace ledgerlift {
namespace {

// An access key presses its button and lets it go a moment later, as a
// click would; the procedure runs then.
void Alt(QWidget* window, Qt::Key key) {
    QTest::keyClick(window, key, Qt::AltModifier);
    QTest::qWait(200);
}

// The dialogs the procedures open are answered by the operations (they have
// keyboard handling of their own): No to going on after a stop, the newest
// backup.
class Keyboard : public test::DemoWindow {
  protected:
    void SetUp() override {
        ops.answer = [](const std::string& text) {
            return text.rfind("You stopped", 0) == 0 ? MsgAnswer::No : MsgAnswer::Yes;
        };
        ops.choice = 0;
        Show({"DEMO"}, QSize(1280, 690));
    }
    // The offscreen platform has no window manager to give the window its
    // activation, at the start or once a dialog is gone.
    void Activate() {
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
};

TEST_F(Keyboard, LoadColumnsCheckProblemsMigrateStopSaveReportAndRestore) {
    test::TempFolder out;
    ASSERT_NO_FATAL_FAILURE(Activate());

    ops.file = test::FixturePath("text_rules.xls");  // errors and warnings
    Alt(window.get(), Qt::Key_L);
    ASSERT_TRUE(form.workbookLoaded) << "Alt+L loads";

    // Alt+U opens the columns; Enter takes the choice and loads again.
    bool columnsShown = false;
    QTimer::singleShot(300, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        columnsShown = dialog != nullptr;
        if (dialog) {
            QTest::keyClick(dialog, Qt::Key_Return);
        }
    });
    Alt(window.get(), Qt::Key_U);
    EXPECT_TRUE(columnsShown) << "Alt+U opens the columns";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "Enter closed them";
    ASSERT_TRUE(form.workbookLoaded) << "the workbook is loaded as chosen";
    ASSERT_NO_FATAL_FAILURE(Activate());

    Alt(window.get(), Qt::Key_C);
    ASSERT_TRUE(form.lastCheck.ran) << "Alt+C checks";
    ProblemsPanel* panel = window->Problems();
    ASSERT_TRUE(panel->isVisible()) << "the workbook has problems to list";

    // Alt+P goes to the list; Down and Enter bring the second problem's cell up.
    Alt(window.get(), Qt::Key_P);
    QTableView* list = panel->List();
    EXPECT_TRUE(list->hasFocus()) << "Alt+P reaches the problems";
    QTest::keyClick(list, Qt::Key_Home);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    int tab = window->findChild<QTabWidget*>()->currentIndex();
    QModelIndex cell = window->GridView(tab)->currentIndex();
    EXPECT_TRUE(cell.isValid()) << "Enter selected the problem's cell";
    EXPECT_EQ(QString::number(form.problems[1].row),
              cell.sibling(cell.row(), 0).data().toString().trimmed());
    QApplication::clipboard()->clear();
    QTest::keySequence(list, QKeySequence::Copy);
    EXPECT_TRUE(
        QApplication::clipboard()->text().contains(QString::fromStdString(form.problems[1].text)));
    // The severity filter by its access key and the arrow keys.
    Alt(window.get(), Qt::Key_W);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(panel->SeverityChoice()->currentIndex(), 1) << "errors only";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);

    // Alt+S starts the run; Alt+T once its first item is in stops it.
    bool stopped = false;
    ops.onPass = [&] {
        if (stopped || form.tally.rows.empty() || form.tally.rows.back().sheet != "items") {
            return;
        }
        Alt(window.get(), Qt::Key_T);
        stopped = true;
    };
    Alt(window.get(), Qt::Key_S);
    EXPECT_EQ(form.tally.outcome, RunTally::RunOutcome::Stopped) << "Alt+T stopped it";
    EXPECT_TRUE(panel->isVisible()) << "the rows not reached are listed";

    std::string report = out.File("report.csv");
    ops.saveFiles = {report};
    Alt(window.get(), Qt::Key_R);
    EXPECT_TRUE(std::filesystem::exists(report)) << "Alt+R saved the report";

    Alt(window.get(), Qt::Key_B);
    EXPECT_FALSE(ops.listed.empty()) << "Alt+B offered the backups";
    EXPECT_EQ(test::QueryRows(db, "select count(*) from tblLedger"), "0\n")
        << "the backup before the run is back";

    Alt(window.get(), Qt::Key_H);  // hides the problems
    EXPECT_FALSE(panel->isVisible());
}

}  // namespace
}  // namespace ledgerlift
