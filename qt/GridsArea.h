#pragma once

#include <QObject>
#include <array>
#include <vector>

#include "qt/AreaHost.h"
#include "qt/GridModel.h"
#include "qt/GridWidths.h"

class QCheckBox;
class QLabel;
class QLayout;
class QTabWidget;
class QTableView;

namespace ledgerlift {

class Grid;
class MainForm;
class OutcomeFilter;
struct ProblemPlace;

// The workbook's rows: the tabs with the item, ledger and account group
// grids, and above them "Show only the rows that did not go in" with a note
// of how many rows it shows.
struct GridsArea {
    static constexpr int kGrids = 3;
    // The item and the ledger grid, whose rows a run marks.
    static constexpr int kMarkedGrids = 2;

    QTabWidget* tabs = nullptr;
    std::array<QTableView*, kGrids> views = {};
    std::array<GridModel*, kGrids> models = {};
    std::array<OutcomeFilter*, kMarkedGrids> filters = {};
    QCheckBox* onlyNotIn = nullptr;
    QLabel* filterNote = nullptr;
    QLayout* filterRow = nullptr;
};

// Makes the grids' views over the form's grids (their models and filters
// owned by owner) and lays out the filter's row.
GridsArea BuildGridsArea(MainForm& form, QObject* owner);

// The tabs and the grids follow the form (the operator's tab goes back to
// it); the filter swaps each marked grid's model for its filter.
class GridsBinder : public QObject {
    Q_OBJECT
  public:
    GridsBinder(const GridsArea& area, MainForm& form, AreaHost& host, QObject* parent);

    // The tabs' captions, the tab shown, each grid's rows, widths and the
    // row at its top.
    void Sync();
    // The filter, offered once rows have outcomes; while no procedure runs.
    void SyncFilter();
    void SetBusy(bool busy);
    // Once a workbook is in: the number columns fitted to their values.
    void FitColumns();
    // Marks the cells problems are about in a marked grid.
    void MarkProblemCells(int grid, GridModel::ProblemCells cells);
    // Shows the problem's cell: its tab, the row scrolled into view and the
    // cell selected (the filter is turned off when it hides the row).
    void GoToProblem(const ProblemPlace& place);

  private:
    Grid& GridAt(int index) const;
    void Connect(int index);
    void SyncGrid(int index);
    void ShowOnlyNotIn(bool on);
    void ShowFilterNote(bool on);

    GridsArea area_;
    MainForm& form_;
    AreaHost& host_;
    std::vector<GridWidths> widths_;
    std::array<int, GridsArea::kGrids> shownTopRow_ = {0, 0, 0};
};

}  // namespace ledgerlift
