#pragma once

#include <map>
#include <string>
#include <vector>

class QTableView;

namespace ledgerlift {

class Grid;

// The widths of one grid view's columns. The grid's own widths (twips) are
// where they start, and a width the grid sets wins; a width the operator
// drags stays until the grid itself changes it, and is given again to the
// column of the same heading in the next workbook.
class GridWidths {
  public:
    GridWidths(const Grid& grid, QTableView* view) : grid_(grid), view_(view) {}

    // The view's columns were made afresh: every grid width is to be given
    // again.
    void Forget() { shown_.clear(); }
    // Gives the view the grid widths that changed since the last time.
    void Apply();
    // A column's width changed in the view: kept when the operator dragged it.
    void Keep(int col, int width);
    // Once a workbook is in the grid: the number columns as wide as their
    // values (up to a limit; the row numbers wholly), then the widths the
    // operator gave columns of the same heading.
    void Fit(const std::vector<int>& numberColumns);
    // The view's widths now, and again after its model was swapped.
    std::vector<int> Taken() const;
    void Restore(const std::vector<int>& widths);

  private:
    const Grid& grid_;
    QTableView* view_;
    // The grid widths (twips) last given to the view's columns.
    std::vector<int> shown_;
    // The widths the operator gave columns, by the column's heading.
    std::map<std::string, int> dragged_;
    // The view's widths are being set here, not by the operator.
    bool applying_ = false;
};

}  // namespace ledgerlift
