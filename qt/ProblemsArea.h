#pragma once

#include <QObject>

class QSplitter;
class QWidget;

namespace ledgerlift {

class GridsBinder;
class MainForm;
class ProblemsPanel;

// The list of the last check's or run's problems under the grids, in a
// splitter the operator drags to make it higher or lower.
struct ProblemsArea {
    ProblemsPanel* panel = nullptr;
    QSplitter* splitter = nullptr;  // the grids above, the problems under them
};

ProblemsArea BuildProblemsArea(QWidget* grids);

// The panel lists the form's problems and the grids mark their cells; a
// problem chosen in the list brings its cell into view.
class ProblemsBinder : public QObject {
    Q_OBJECT
  public:
    ProblemsBinder(const ProblemsArea& area, MainForm& form, GridsBinder& grids, QObject* parent);

    void Show();

  private:
    ProblemsArea area_;
    MainForm& form_;
    GridsBinder& grids_;
};

}  // namespace ledgerlift
