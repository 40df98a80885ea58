#include "qt/GridsArea.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <algorithm>

#include "qt/OutcomeFilter.h"
#include "qt/ProblemCellDelegate.h"
#include "window/MainForm.h"
#include "window/NumberColumns.h"
#include "window/ProblemPlace.h"

namespace ledgerlift {
namespace {

QTableView* GridView(GridModel* model, const char* name) {
    auto* view = new QTableView;
    view->setModel(model);
    view->setAccessibleName(name);
    view->verticalHeader()->setVisible(false);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(22);
    view->horizontalHeader()->setHighlightSections(false);
    // Columns widen by dragging their divider and fit their content on a
    // double click of it; the grid's own widths are where they start.
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view->horizontalHeader()->setMinimumSectionSize(8);
    QObject::connect(view->horizontalHeader(), &QHeaderView::sectionHandleDoubleClicked, view,
                     &QTableView::resizeColumnToContents, Qt::UniqueConnection);
    view->setItemDelegate(new ProblemCellDelegate(view));
    view->setWordWrap(false);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return view;
}

void BuildFilter(GridsArea& area, QObject* owner) {
    area.onlyNotIn = new QCheckBox("Show only the rows that did &not go in");
    area.onlyNotIn->setAccessibleName("Show only the rows that did not go in");
    area.onlyNotIn->setToolTip(
        "After a migration or a check: hide the rows that went in (or would), and show those "
        "that failed, were already there or were not reached");
    for (OutcomeFilter*& filter : area.filters) {
        filter = new OutcomeFilter(owner);
    }
    area.filterNote = new QLabel;
    area.filterNote->setAccessibleName("Rows shown");
    area.filterNote->setVisible(false);
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(area.onlyNotIn);
    filterRow->addWidget(area.filterNote, 1);
    area.filterRow = filterRow;
}

}  // namespace

GridsArea BuildGridsArea(MainForm& form, QObject* owner) {
    GridsArea area;
    area.tabs = new QTabWidget;
    area.tabs->setAccessibleName("Workbook rows");
    const char* names[GridsArea::kGrids] = {"Item rows", "Ledger rows", "Account groups"};
    const Grid* grids[GridsArea::kGrids] = {&form.itemGrid, &form.ledgerGrid, &form.groupGrid};
    for (int i = 0; i < GridsArea::kGrids; ++i) {
        auto at = static_cast<std::size_t>(i);
        area.models[at] = new GridModel(*grids[i], owner);
        area.models[at]->SetNumberColumns(NumberColumns(i));
        area.views[at] = GridView(area.models[at], names[i]);
        area.tabs->addTab(area.views[at], QString::fromStdString(form.gridTabs.TabCaption[at]));
    }
    BuildFilter(area, owner);
    return area;
}

GridsBinder::GridsBinder(const GridsArea& area, MainForm& form, AreaHost& host, QObject* parent)
    : QObject(parent), area_(area), form_(form), host_(host) {
    for (int i = 0; i < GridsArea::kGrids; ++i) {
        widths_.emplace_back(GridAt(i), area_.views[static_cast<std::size_t>(i)]);
        Connect(i);
    }
    connect(area_.tabs, &QTabWidget::currentChanged, this, [this](int tab) {
        if (!host_.Syncing()) {
            form_.gridTabs.Tab = tab;
        }
    });
    connect(area_.onlyNotIn, &QCheckBox::toggled, this, [this](bool on) { ShowOnlyNotIn(on); });
}

Grid& GridsBinder::GridAt(int index) const {
    Grid* grids[GridsArea::kGrids] = {&form_.itemGrid, &form_.ledgerGrid, &form_.groupGrid};
    return *grids[index];
}

void GridsBinder::Connect(int index) {
    auto at = static_cast<std::size_t>(index);
    connect(area_.models[at], &QAbstractItemModel::modelReset, this,
            [this, at] { widths_[at].Forget(); });
    connect(area_.views[at]->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this, at](int col, int, int width) {
                if (!host_.Syncing()) {
                    widths_[at].Keep(col, width);
                }
            });
}

void GridsBinder::Sync() {
    const std::vector<std::string>& captions = form_.gridTabs.TabCaption;
    for (int i = 0; i < area_.tabs->count() && i < static_cast<int>(captions.size()); ++i) {
        area_.tabs->setTabText(i, QString::fromStdString(captions[static_cast<std::size_t>(i)]));
    }
    area_.tabs->setCurrentIndex(form_.gridTabs.Tab);
    for (int i = 0; i < GridsArea::kGrids; ++i) {
        SyncGrid(i);
    }
}

void GridsBinder::SyncGrid(int index) {
    auto at = static_cast<std::size_t>(index);
    const Grid& grid = GridAt(index);
    if (area_.models[at]->Sync()) {
        widths_[at].Apply();
    }
    if (grid.TopRow() != shownTopRow_[at] && grid.Rows() > 1) {
        shownTopRow_[at] = grid.TopRow();
        area_.views[at]->verticalScrollBar()->setValue(grid.TopRow() - 1);
    }
}

void GridsBinder::SyncFilter() {
    area_.onlyNotIn->setEnabled(!host_.Busy() && (form_.itemGrid.RowMarkCount() > 0 ||
                                                  form_.ledgerGrid.RowMarkCount() > 0));
}

void GridsBinder::SetBusy(bool busy) {
    if (busy && area_.onlyNotIn->isChecked()) {
        area_.onlyNotIn->setChecked(false);  // the procedure changes the rows and their marks
    }
    area_.onlyNotIn->setEnabled(!busy);
}

void GridsBinder::FitColumns() {
    if (!form_.workbookLoaded) {
        return;
    }
    for (int i = 0; i < GridsArea::kMarkedGrids; ++i) {
        widths_[static_cast<std::size_t>(i)].Fit(NumberColumns(i));
    }
}

void GridsBinder::MarkProblemCells(int grid, GridModel::ProblemCells cells) {
    area_.models[static_cast<std::size_t>(grid)]->SetProblemCells(std::move(cells));
}

void GridsBinder::GoToProblem(const ProblemPlace& place) {
    if (!place.Found() || place.grid > 1) {
        return;
    }
    auto at = static_cast<std::size_t>(place.grid);
    area_.tabs->setCurrentIndex(place.grid);
    QTableView* view = area_.views[at];
    QModelIndex cell = area_.models[at]->index(place.row - 1, std::max(place.col, 1));
    if (view->model() == area_.filters[at]) {
        QModelIndex shown = area_.filters[at]->mapFromSource(cell);
        if (shown.isValid()) {
            cell = shown;
        } else {
            area_.onlyNotIn->setChecked(false);  // the filter hides the row
        }
    }
    view->scrollTo(cell, QAbstractItemView::PositionAtCenter);
    view->setCurrentIndex(cell);
}

void GridsBinder::ShowOnlyNotIn(bool on) {
    for (std::size_t i = 0; i < GridsArea::kMarkedGrids; ++i) {
        QTableView* view = area_.views[i];
        std::vector<int> widths = widths_[i].Taken();
        QItemSelectionModel* old = view->selectionModel();
        // A filter that is off follows nothing: a proxy that listens to a
        // grid of tens of thousands of rows costs every event pass of a run.
        if (on) {
            area_.filters[i]->setSourceModel(area_.models[i]);
            view->setModel(area_.filters[i]);
        } else {
            view->setModel(area_.models[i]);
            area_.filters[i]->setSourceModel(nullptr);
        }
        delete old;
        widths_[i].Restore(widths);
        view->scrollToTop();
    }
    ShowFilterNote(on);
}

// An empty grid says nothing by itself: the note says what it means.
void GridsBinder::ShowFilterNote(bool on) {
    if (!on) {
        area_.filterNote->setVisible(false);
        return;
    }
    auto rows = [](int n, const char* what) {
        return QString("%1 %2 row%3").arg(n).arg(what).arg(n == 1 ? "" : "s");
    };
    int items = area_.filters[0]->rowCount();
    int ledgers = area_.filters[1]->rowCount();
    area_.filterNote->setText(items + ledgers == 0
                                  ? QString("Every row went in.")
                                  : rows(items, "item") + " and " + rows(ledgers, "ledger") +
                                        " did not go in.");
    area_.filterNote->setVisible(on);
}

}  // namespace ledgerlift
