#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <vector>

#include "migration/Problems.h"
#include "window/ProblemPlace.h"

namespace ledgerlift {

// The problems of a check or a run as a table, one row each, in the columns
// the command line's check gives them: severity (with its icon), sheet,
// worksheet row, column, code or name, and the sentence. The row column is
// a number, so that it sorts as one.
class ProblemModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Severity, Sheet, Row, Cell, Key, Text, kColumns };
    // 0 for an error, 1 for a warning.
    static constexpr int kSeverityRole = Qt::UserRole + 1;

    explicit ProblemModel(QObject* parent = nullptr);

    void SetProblems(std::vector<Problem> problems, std::vector<ProblemPlace> places);
    const ProblemPlace& PlaceAt(int row) const { return places_[static_cast<std::size_t>(row)]; }
    int Errors() const;
    int Warnings() const;
    // A row as one line of text, its columns separated by tabs.
    QString LineOf(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    QVariant Display(const Problem& problem, int column) const;

    QIcon errorIcon_;
    QIcon warningIcon_;
    std::vector<Problem> problems_;
    std::vector<ProblemPlace> places_;
};

}  // namespace ledgerlift
