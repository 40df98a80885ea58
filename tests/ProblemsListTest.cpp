// The problems list under the grids: what it lists after a check and a run,
// how it sorts, filters and copies, and the cell it brings into view.

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QBrush>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "qt/GridModel.h"
#include "qt/MainWindow.h"
#include "qt/ProblemFilter.h"
#include "qt/ProblemModel.h"
#include "qt/ProblemsPanel.h"
#include "qt/QtWindowOps.h"
#include "tests/TestSupport.h"
#include "tests/WindowTestSupport.h"
#include "window/MainForm.h"
#include "window/ProblemPlace.h"

namespace ledgerlift {
namespace {

class ProblemsList : public test::DemoWindow {
  protected:
    void SetUp() override { Show({"DEMO"}, QSize(1280, 720)); }
    void LoadAndCheck(const std::string& fixture) {
        Load(test::FixturePath(fixture));
        window->CheckButton()->click();
    }
    ProblemsPanel& Panel() { return *window->Problems(); }
    QAbstractItemModel& Shown() { return *Panel().List()->model(); }
    QString Cell(int row, int col) { return Shown().index(row, col).data().toString(); }
};

TEST_F(ProblemsList, IsHiddenUntilACheckFindsProblemsAndListsThemAsTheCommandLineDoes) {
    EXPECT_FALSE(Panel().isVisible()) << "nothing to show at the start";
    Load(test::FixturePath("bad_row.xls"));
    EXPECT_FALSE(Panel().isVisible()) << "nor after a load";

    window->CheckButton()->click();
    ASSERT_TRUE(Panel().isVisible());
    ASSERT_EQ(Shown().rowCount(), static_cast<int>(form.lastCheck.problems.size()));
    ASSERT_GE(Shown().rowCount(), 1);
    const Problem& first = form.lastCheck.problems.front();
    EXPECT_EQ(Cell(0, ProblemModel::Severity).toStdString(), Problem::SeverityText(first.severity));
    EXPECT_EQ(Cell(0, ProblemModel::Sheet), "ledgers");
    EXPECT_EQ(Shown().index(0, ProblemModel::Row).data().toInt(), first.row);
    EXPECT_EQ(Cell(0, ProblemModel::Cell).toStdString(), first.column + " (" + first.heading + ")");
    EXPECT_EQ(Cell(0, ProblemModel::Key), "Too big");
    EXPECT_EQ(Cell(0, ProblemModel::Text).toStdString(), first.text);
    EXPECT_FALSE(Shown().index(0, ProblemModel::Severity).data(Qt::DecorationRole).isNull())
        << "a severity icon";
    EXPECT_TRUE(Panel().Counts()->text().startsWith("1 error"))
        << Panel().Counts()->text().toStdString();

    // Under the grids, in a splitter the operator can drag.
    QSplitter* splitter = window->GridSplitter();
    ASSERT_TRUE(splitter);
    EXPECT_EQ(splitter->indexOf(&Panel()), 1);
    EXPECT_EQ(splitter->orientation(), Qt::Vertical);

    window->LoadButton()->click();
    EXPECT_FALSE(Panel().isVisible()) << "a new workbook: the old problems are gone";
}

TEST_F(ProblemsList, TheCellAProblemIsAboutIsMarkedBesidesItsRow) {
    LoadAndCheck("bad_row.xls");
    auto* ledgers = window->GridView(1)->model();
    std::vector<ProblemPlace> places = PlacesOf(form, form.problems);
    ASSERT_FALSE(places.empty());
    ASSERT_TRUE(places[0].Found());
    EXPECT_EQ(places[0].grid, 1);
    EXPECT_EQ(form.ledgerGrid.TextMatrix(places[0].row, 2), "Too big");
    EXPECT_EQ(places[0].col, 7) << "the opening balance";
    QModelIndex cell = ledgers->index(places[0].row - 1, places[0].col);
    QModelIndex besides = ledgers->index(places[0].row - 1, 2);
    EXPECT_EQ(cell.data(GridModel::kProblemCellRole).toInt(), 0) << "an error";
    EXPECT_FALSE(besides.data(GridModel::kProblemCellRole).isValid());
    EXPECT_NE(cell.data(Qt::BackgroundRole).value<QBrush>().color(),
              besides.data(Qt::BackgroundRole).value<QBrush>().color())
        << "the cell stands out of its row's tint";
    EXPECT_EQ(besides.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 199, 206))
        << "the row keeps its tint";
}

TEST_F(ProblemsList, EnterOnALineBringsItsCellIntoViewAndSelectsIt) {
    LoadAndCheck("bad_row.xls");
    window->GridView(0)->setFocus();
    window->findChild<QTabWidget*>()->setCurrentIndex(0);
    QTableView* list = Panel().List();
    list->setFocus();
    list->setCurrentIndex(Shown().index(0, 0));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(window->findChild<QTabWidget*>()->currentIndex(), 1) << "the ledgers' tab";
    EXPECT_EQ(form.gridTabs.Tab, 1);
    QModelIndex current = window->GridView(1)->currentIndex();
    EXPECT_EQ(current.row() + 1, PlacesOf(form, form.problems)[0].row);
    EXPECT_EQ(current.column(), 7);
    EXPECT_TRUE(window->GridView(1)->selectionModel()->isSelected(current));
}

TEST_F(ProblemsList, ADoubleClickFindsTheRowEvenWhenTheFilterHidesIt) {
    LoadAndCheck("bad_row.xls");
    window->OnlyNotInFilter()->setChecked(true);
    ProblemPlace place = PlacesOf(form, form.problems)[0];
    // A row the filter shows: it stays on, the cell is found through it.
    QTableView* list = Panel().List();
    QApplication::processEvents();  // the panel, just shown, is laid out
    QRect line = list->visualRect(Shown().index(0, ProblemModel::Text));
    // The first press of a double click, then the second as a double click.
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, line.center());
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, line.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, line.center());
    EXPECT_TRUE(window->OnlyNotInFilter()->isChecked());
    QModelIndex current = window->GridView(1)->currentIndex();
    EXPECT_EQ(current.data().toString().toStdString(), form.ledgerGrid.TextMatrix(place.row, 7));

    // A row it hides (the first ledger went in): the filter goes off.
    place.row = 1;
    place.col = 2;
    window->GoToProblem(place);
    EXPECT_FALSE(window->OnlyNotInFilter()->isChecked());
    EXPECT_EQ(window->GridView(1)->currentIndex().data().toString(), "First");
}

TEST_F(ProblemsList, SortsFiltersBySeverityAndCopiesTheSelectedLines) {
    LoadAndCheck("text_rules.xls");
    int all = Shown().rowCount();
    int errors = Panel().Model()->Errors();
    int warnings = Panel().Model()->Warnings();
    ASSERT_GT(errors, 0);
    ASSERT_GT(warnings, 0) << "the fixture has both";
    ASSERT_EQ(all, errors + warnings);

    Panel().SeverityChoice()->setCurrentIndex(1);
    EXPECT_EQ(Shown().rowCount(), errors);
    for (int r = 0; r < Shown().rowCount(); ++r) {
        EXPECT_EQ(Cell(r, ProblemModel::Severity), "error");
    }
    Panel().SeverityChoice()->setCurrentIndex(2);
    EXPECT_EQ(Shown().rowCount(), warnings);
    Panel().SeverityChoice()->setCurrentIndex(0);
    EXPECT_EQ(Shown().rowCount(), all);

    Panel().List()->sortByColumn(ProblemModel::Row, Qt::DescendingOrder);
    for (int r = 1; r < Shown().rowCount(); ++r) {
        EXPECT_GE(Shown().index(r - 1, ProblemModel::Row).data().toInt(),
                  Shown().index(r, ProblemModel::Row).data().toInt())
            << "rows sort as numbers";
    }

    QTableView* list = Panel().List();
    list->setFocus();
    list->selectRow(0);
    list->selectionModel()->select(Shown().index(1, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QApplication::clipboard()->clear();
    QTest::keySequence(list, QKeySequence::Copy);
    QString copied = QApplication::clipboard()->text();
    QStringList lines = copied.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << copied.toStdString();
    EXPECT_EQ(lines[0].split('\t').size(), ProblemModel::kColumns);
    EXPECT_EQ(lines[0].split('\t')[ProblemModel::Text], Cell(0, ProblemModel::Text));
    QApplication::clipboard()->clear();
    Panel().CopyButton()->click();
    EXPECT_EQ(QApplication::clipboard()->text(), copied) << "the button copies the same";
}

TEST_F(ProblemsList, HideClosesItUntilTheNextCheckAndARunListsItsProblemsToo) {
    LoadAndCheck("bad_row.xls");
    Panel().HideButton()->click();
    EXPECT_FALSE(Panel().isVisible());
    window->CheckButton()->click();
    EXPECT_TRUE(Panel().isVisible());
    Panel().HideButton()->click();

    window->MigrateButton()->click();
    ASSERT_TRUE(Panel().isVisible()) << "the run's failed row";
    EXPECT_EQ(Shown().rowCount(), static_cast<int>(ProblemsOf(form.tally).size()));
    EXPECT_EQ(Cell(0, ProblemModel::Key), "Too big");
}

TEST(ProblemModelTest, PassesTheModelChecksThroughItsFilter) {
    ProblemModel model;
    ProblemFilter filter;
    filter.setSourceModel(&model);
    QAbstractItemModelTester modelTester(&model,
                                         QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester filterTester(&filter,
                                          QAbstractItemModelTester::FailureReportingMode::Fatal);
    std::vector<Problem> problems{
        {"items", 4, "A1", Problem::Severity::Error, "Too long", "value", "B", "ITEM CODE"},
        {"ledgers", 2, "Cash", Problem::Severity::Warning, "Side taken", "side", "", ""},
        {"items", 12, "A9", Problem::Severity::Warning, "Rounded", "value", "F", ""}};
    model.SetProblems(problems, {});
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_FALSE(model.PlaceAt(1).Found()) << "no place given: none";
    EXPECT_EQ(model.index(1, ProblemModel::Cell).data().toString(), "");
    EXPECT_EQ(model.index(2, ProblemModel::Cell).data().toString(), "F");
    EXPECT_EQ(model.LineOf(0), "error\titems\t4\tB (ITEM CODE)\tA1\tToo long");
    filter.SetShow(ProblemFilter::Show::Warnings);
    EXPECT_EQ(filter.rowCount(), 2);
    filter.sort(ProblemModel::Row, Qt::DescendingOrder);
    EXPECT_EQ(filter.index(0, ProblemModel::Row).data().toInt(), 12);
    model.SetProblems({}, {});
    EXPECT_EQ(filter.rowCount(), 0);
}

}  // namespace
}  // namespace ledgerlift
