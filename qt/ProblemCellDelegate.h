#pragma once

#include <QStyledItemDelegate>

namespace ledgerlift {

// Draws a grid cell as usual, and a coloured frame round a cell that a
// problem is about (red for an error, amber for a warning), so that the cell
// stands out of its row's tint.
class ProblemCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace ledgerlift
