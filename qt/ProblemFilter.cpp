#include "qt/ProblemFilter.h"

#include "qt/ProblemModel.h"

namespace ledgerlift {

ProblemFilter::ProblemFilter(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortCaseSensitivity(Qt::CaseInsensitive);
}

void ProblemFilter::SetShow(Show show) {
    show_ = show;
    invalidateFilter();
}

bool ProblemFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (show_ == Show::All) {
        return true;
    }
    QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
    int severity = sourceModel()->data(index, ProblemModel::kSeverityRole).toInt();
    return (show_ == Show::Errors) == (severity == 0);
}

}  // namespace ledgerlift
