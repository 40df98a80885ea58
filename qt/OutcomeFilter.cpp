#include "qt/OutcomeFilter.h"

#include "qt/GridModel.h"

namespace ledgerlift {

OutcomeFilter::OutcomeFilter(QObject* parent) : QSortFilterProxyModel(parent) {
    // The marks change only while a procedure runs, and then the filter is
    // off; it is worked out afresh when it is put on.
    setDynamicSortFilter(false);
}

bool OutcomeFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    QVariant wentIn = sourceModel()->index(sourceRow, 0, sourceParent).data(GridModel::kWentInRole);
    return wentIn.isValid() && !wentIn.toBool();
}

}  // namespace ledgerlift
