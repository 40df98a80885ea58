#include "qt/ProblemsArea.h"

#include <QSplitter>
#include <algorithm>

#include "qt/GridsArea.h"
#include "qt/ProblemsPanel.h"
#include "window/MainForm.h"
#include "window/ProblemPlace.h"

namespace ledgerlift {

ProblemsArea BuildProblemsArea(QWidget* grids) {
    ProblemsArea area;
    area.panel = new ProblemsPanel;
    area.splitter = new QSplitter(Qt::Vertical);
    area.splitter->setAccessibleName("Grids and problems");
    area.splitter->addWidget(grids);
    area.splitter->addWidget(area.panel);
    area.splitter->setStretchFactor(0, 3);
    area.splitter->setStretchFactor(1, 1);
    area.splitter->setChildrenCollapsible(false);
    return area;
}

ProblemsBinder::ProblemsBinder(const ProblemsArea& area, MainForm& form, GridsBinder& grids,
                               QObject* parent)
    : QObject(parent), area_(area), form_(form), grids_(grids) {
    connect(area_.panel, &ProblemsPanel::ProblemChosen, this,
            [this](const ProblemPlace& place) { grids_.GoToProblem(place); });
}

void ProblemsBinder::Show() {
    std::vector<ProblemPlace> places = PlacesOf(form_, form_.problems);
    GridModel::ProblemCells cells[GridsArea::kMarkedGrids];
    for (std::size_t i = 0; i < places.size(); ++i) {
        const ProblemPlace& place = places[i];
        if (place.Found() && place.col >= 0) {
            int severity = form_.problems[i].severity == Problem::Severity::Error ? 0 : 1;
            auto [at, fresh] = cells[place.grid].emplace(std::pair{place.row, place.col}, severity);
            at->second = std::min(at->second, severity);
        }
    }
    for (int g = 0; g < GridsArea::kMarkedGrids; ++g) {
        grids_.MarkProblemCells(g, std::move(cells[g]));
    }
    area_.panel->ShowProblems(form_.problems, std::move(places));
}

}  // namespace ledgerlift
