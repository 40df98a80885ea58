#pragma once

#include <string>
#include <vector>

#include "migration/CellReading.h"
#include "migration/Finding.h"

namespace ledgerlift {

class Grid;

// One row of the item grid as the item stage reads it, before anything is
// written: every cell by its grid column, the rate-inclusive flags and the
// update mode the row runs in, and what the reading found. A row with an
// error is never written (no category, no item, no stock).
struct ItemRowRead {
    std::vector<CellReading> cells;  // by grid column; column 0 unused
    bool updateMode = false;
    int salesFlag = 0;     // RATE INCLUSIVE OF TAX SALES is YES
    int purchaseFlag = 0;  // ... PURCHASE
    // An empty code or name, a total line, a number cell that holds no
    // number; in column order.
    std::vector<Finding> errors;
    // An empty category, a YES/NO cell that is neither; in column order.
    std::vector<Finding> warnings;

    const CellReading& operator[](int col) const { return cells[static_cast<std::size_t>(col)]; }
};

// The number columns of the item grid; the tax columns among them take a
// percentage.
bool IsItemNumberColumn(int col);
bool IsTaxColumn(int col);

// Whether a name is a total line: Total, Grand Total, Sub Total, Subtotal,
// in any letter case, with or without a colon.
bool IsTotalLine(const std::string& name);

// Reads item grid row r. Touches no database and never fails.
ItemRowRead ReadItemRow(const Grid& grid, int row, bool updateMode);

}  // namespace ledgerlift
