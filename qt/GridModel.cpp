#include "qt/GridModel.h"

#include <QBrush>
#include <QColor>
#include <algorithm>

namespace ledgerlift {
namespace {

QString Text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

GridModel::GridModel(const Grid& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {
    rows_ = grid_.Rows() - 1;
    cols_ = grid_.Cols();
    shapeVersion_ = grid_.ShapeVersion();
    contentVersion_ = grid_.ContentVersion();
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cols_;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.column() >= cols_) {
        return {};
    }
    int row = index.row() + 1;
    int col = index.column();
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(std::string(grid_.TextMatrix(row, col)));
        case Qt::ToolTipRole:
            if (const Grid::RowMark* mark = grid_.FindRowMark(row)) {
                // A number cut short in its column shows whole above the
                // row's sentence.
                std::string_view value = grid_.TextMatrix(row, col);
                if (RightAligned(col) && col > 0 && !value.empty()) {
                    return Text(value) + "\n\n" + QString::fromStdString(mark->tip);
                }
                return QString::fromStdString(mark->tip);
            }
            return Text(grid_.TextMatrix(row, col));
        case Qt::BackgroundRole:
            return Background(row, col);
        case kProblemCellRole:
            if (auto found = problemCells_.find({row, col}); found != problemCells_.end()) {
                return found->second;
            }
            return {};
        case kWentInRole:
            if (const Grid::RowMark* mark = grid_.FindRowMark(row)) {
                return mark->wentIn;
            }
            return {};
        case Qt::TextAlignmentRole:
            if (RightAligned(col)) {
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            }
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

bool GridModel::RightAligned(int col) const {
    return grid_.ColAlignment(col) == Grid::Align::Right ||
           std::find(numberColumns_.begin(), numberColumns_.end(), col) != numberColumns_.end();
}

QVariant GridModel::Background(int row, int col) const {
    // A cell a problem is about shows stronger than its row's tint.
    if (auto found = problemCells_.find({row, col}); found != problemCells_.end()) {
        return QBrush(found->second == 0 ? QColor(255, 150, 150) : QColor(255, 222, 140));
    }
    if (grid_.HasBackColor(row, col)) {
        Rgb c = grid_.BackColor(row, col);
        return QBrush(QColor(c.red, c.green, c.blue));
    }
    if (const Grid::RowMark* mark = grid_.FindRowMark(row)) {
        return QBrush(QColor(mark->color.red, mark->color.green, mark->color.blue));
    }
    return {};
}

void GridModel::SetProblemCells(ProblemCells cells) {
    if (cells.empty() && problemCells_.empty()) {
        return;
    }
    problemCells_ = std::move(cells);
    if (rows_ > 0 && cols_ > 0) {
        emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= cols_) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) {
        return Text(grid_.TextMatrix(0, section));
    }
    return {};
}

bool GridModel::Sync() {
    int rows = grid_.Rows() - 1;
    int cols = grid_.Cols();
    bool shape = grid_.ShapeVersion() != shapeVersion_;
    bool content = grid_.ContentVersion() != contentVersion_;
    if (cols != cols_ || rows < rows_) {
        beginResetModel();
        rows_ = rows;
        cols_ = cols;
        endResetModel();
    } else if (rows > rows_) {
        beginInsertRows({}, rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    }
    if (content && rows_ > 0 && cols_ > 0) {
        emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
        emit headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
    }
    shapeVersion_ = grid_.ShapeVersion();
    contentVersion_ = grid_.ContentVersion();
    return shape;
}

}  // namespace ledgerlift
