#include "window/ProblemPlace.h"

#include <algorithm>
#include <map>
#include <string>

#include "base/TextRules.h"

namespace ledgerlift {
namespace {

// The grid rows of each worksheet row number a grid holds, in grid order.
using RowIndex = std::map<std::string, std::vector<int>, std::less<>>;

RowIndex IndexRows(const Grid& grid) {
    RowIndex index;
    for (int r = 1; r < grid.Rows(); ++r) {
        index[std::string(TrimBlanks(std::string(grid.TextMatrix(r, 0))))].push_back(r);
    }
    return index;
}

// The grid column of the problem's cell: by the workbook column the load
// read into it, else by its heading; -1 when neither is there.
int ColumnOf(const Grid& grid, int row, const Problem& problem) {
    if (problem.column.empty() && problem.heading.empty()) {
        return -1;
    }
    if (const SheetOrigin* sheet = grid.origin.SheetOf(row)) {
        for (std::size_t c = 0; c < sheet->column.size(); ++c) {
            if (sheet->column[c] > 0 && ColumnLetters(sheet->column[c]) == problem.column) {
                return static_cast<int>(c);
            }
        }
        for (std::size_t c = 0; c < sheet->heading.size(); ++c) {
            if (!problem.heading.empty() && sheet->heading[c] == problem.heading) {
                return static_cast<int>(c);
            }
        }
    }
    for (int c = 1; c < grid.Cols(); ++c) {
        if (!problem.heading.empty() &&
            TrimBlanks(std::string(grid.TextMatrix(0, c))) == TrimBlanks(problem.heading)) {
            return c;
        }
    }
    return -1;
}

}  // namespace

std::vector<ProblemPlace> PlacesOf(const FormControls& controls,
                                   const std::vector<Problem>& problems) {
    const Grid* grids[2] = {&controls.itemGrid, &controls.ledgerGrid};
    RowIndex index[2] = {IndexRows(controls.itemGrid), IndexRows(controls.ledgerGrid)};
    int last[2] = {0, 0};
    std::vector<ProblemPlace> places;
    places.reserve(problems.size());
    for (const Problem& problem : problems) {
        ProblemPlace place;
        int g = problem.sheet == "items" ? 0 : problem.sheet == "ledgers" ? 1 : -1;
        auto found = g < 0 ? index[0].end() : index[g].find(std::to_string(problem.row));
        if (g >= 0 && found != index[g].end()) {
            const std::vector<int>& rows = found->second;
            auto at = std::lower_bound(rows.begin(), rows.end(), last[g]);
            place.grid = g;
            place.row = at == rows.end() ? rows.front() : *at;
            place.col = ColumnOf(*grids[g], place.row, problem);
            last[g] = place.row;
        }
        places.push_back(place);
    }
    return places;
}

}  // namespace ledgerlift
