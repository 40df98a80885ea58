#pragma once

#include <QSortFilterProxyModel>

namespace ledgerlift {

// The rows of a grid that did not go in: the rows whose mark (a run's
// outcome, a check's prediction) says so. The window puts it between a
// grid's model and its view (and connects it to the model) only while the
// operator asks for it, so that a run never pays for it.
class OutcomeFilter : public QSortFilterProxyModel {
    Q_OBJECT
  public:
    explicit OutcomeFilter(QObject* parent = nullptr);

  protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
};

}  // namespace ledgerlift
