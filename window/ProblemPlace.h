#pragma once

#include <vector>

#include "migration/Problems.h"
#include "ui/FormControls.h"

namespace ledgerlift {

// Where in the grids a problem lies: the grid (0 the items, 1 the ledgers),
// the grid row, and the grid column of the cell it is about (-1 when it is
// about the whole row, or its column is not in the grid). A problem whose
// row the grids no longer hold has no grid.
struct ProblemPlace {
    int grid = -1;
    int row = -1;
    int col = -1;
    bool Found() const { return grid >= 0 && row > 0; }
};

// The places of the problems, in their order. A problem names its row by the
// worksheet row the grid holds in column 0; when two worksheets feed one grid
// and a number repeats, the problems follow the grid's order (as the run
// that found them did), so each is given the first such row at or after the
// one of the problem before it.
std::vector<ProblemPlace> PlacesOf(const FormControls& controls,
                                   const std::vector<Problem>& problems);

}  // namespace ledgerlift
