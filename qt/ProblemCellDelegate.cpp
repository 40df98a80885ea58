#include "qt/ProblemCellDelegate.h"

#include <QPainter>

#include "qt/GridModel.h"

namespace ledgerlift {

void ProblemCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    QVariant severity = index.data(GridModel::kProblemCellRole);
    if (!severity.isValid()) {
        return;
    }
    painter->save();
    QPen pen(severity.toInt() == 0 ? QColor(192, 0, 0) : QColor(214, 140, 0));
    pen.setWidth(2);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
    painter->restore();
}

}  // namespace ledgerlift
