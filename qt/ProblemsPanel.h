#pragma once

#include <QWidget>
#include <vector>

#include "migration/Problems.h"
#include "window/ProblemPlace.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

namespace ledgerlift {

class ProblemFilter;
class ProblemModel;

// The panel under the grids that lists every problem of the last check or
// run: sortable by any column, cut to errors or warnings, its selected lines
// copied as text (Copy, or Ctrl+C in the list). Double-click or Enter on a
// line asks the window to bring the problem's cell into view. It hides
// itself when there is nothing to list, and on Hide until the next check or
// run.
class ProblemsPanel : public QWidget {
    Q_OBJECT
  public:
    explicit ProblemsPanel(QWidget* parent = nullptr);

    // Lists the problems (hiding the panel when there are none) and shows it.
    void ShowProblems(std::vector<Problem> problems, std::vector<ProblemPlace> places);
    // The selected lines, in the order shown, one a line, columns by tabs.
    QString SelectedText() const;
    void CopySelected() const;

    QTableView* List() const { return list_; }
    QComboBox* SeverityChoice() const { return severity_; }
    QPushButton* CopyButton() const { return copy_; }
    QPushButton* HideButton() const { return hide_; }
    QLabel* Counts() const { return counts_; }
    ProblemModel* Model() const { return model_; }
    ProblemFilter* Filter() const { return filter_; }

  signals:
    void ProblemChosen(ProblemPlace place);

  private:
    void BuildList();
    QLayout* BuildBar();

    ProblemModel* model_ = nullptr;
    ProblemFilter* filter_ = nullptr;
    QTableView* list_ = nullptr;
    QComboBox* severity_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* hide_ = nullptr;
    QLabel* counts_ = nullptr;
};

}  // namespace ledgerlift
