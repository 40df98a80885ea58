#pragma once

#include <string>
#include <vector>

#include "migration/CellReading.h"

namespace ledgerlift {

class Grid;

// One row of the item grid as the item stage reads it, before anything is
// written: every cell by its grid column, the rate-inclusive flags and the
// update mode the row runs in.
struct ItemRowRead {
    std::vector<CellReading> cells;  // by grid column; column 0 unused
    bool updateMode = false;
    int salesFlag = 0;     // RATE INCLUSIVE OF TAX SALES is YES
    int purchaseFlag = 0;  // ... PURCHASE

    const CellReading& operator[](int col) const { return cells[static_cast<std::size_t>(col)]; }
    // What the reading found that the operator may not expect, in column
    // order: an empty category, numbers not read whole or not at all.
    std::vector<std::string> Problems() const;
};

// The number columns of the item grid.
bool IsItemNumberColumn(int col);

// Reads item grid row r. Touches no database and never fails: a cell that
// can't be used keeps the sentence the step that uses it fails with.
ItemRowRead ReadItemRow(const Grid& grid, int row, bool updateMode);

}  // namespace ledgerlift
