#pragma once

#include <QSortFilterProxyModel>

namespace ledgerlift {

// The problems list sorted as the operator asks and cut to one severity, or
// none.
class ProblemFilter : public QSortFilterProxyModel {
    Q_OBJECT
  public:
    enum class Show { All, Errors, Warnings };

    explicit ProblemFilter(QObject* parent = nullptr);
    void SetShow(Show show);
    Show Shown() const { return show_; }

  protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

  private:
    Show show_ = Show::All;
};

}  // namespace ledgerlift
