#pragma once

#include <QAbstractTableModel>
#include <map>
#include <utility>
#include <vector>

#include "ui/Grid.h"

namespace ledgerlift {

// Shows a Grid: its row 0 as the horizontal header, rows 1 and up as the
// model's rows. The grid changes underneath without telling the model; Sync()
// catches up with it in one step (new rows are announced as an insert, other
// changes of shape as a reset), so the view lays itself out once per sync, not
// once per row.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // A row's mark: whether it went in (true or false), or nothing when the
    // row has no mark.
    static constexpr int kWentInRole = Qt::UserRole + 1;
    // A cell a problem is about: 0 when an error is, 1 when only warnings
    // are; nothing for any other cell.
    static constexpr int kProblemCellRole = Qt::UserRole + 2;

    explicit GridModel(const Grid& grid, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Gives true when the shape (rows, columns, widths) changed.
    bool Sync();

    // The columns shown aligned to the right, besides those the grid aligns
    // so itself.
    void SetNumberColumns(std::vector<int> columns) { numberColumns_ = std::move(columns); }
    // The cells problems are about, by grid row and column, each with its
    // most serious problem's severity (see kProblemCellRole).
    using ProblemCells = std::map<std::pair<int, int>, int>;
    void SetProblemCells(ProblemCells cells);

  private:
    bool RightAligned(int col) const;
    QVariant Background(int row, int col) const;

    const Grid& grid_;
    std::vector<int> numberColumns_;
    ProblemCells problemCells_;
    int rows_ = 0;  // the model rows the view knows of
    int cols_ = 0;
    std::uint64_t shapeVersion_ = ~0ull;
    std::uint64_t contentVersion_ = ~0ull;
};

}  // namespace ledgerlift
