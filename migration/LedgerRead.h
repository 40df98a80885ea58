#pragma once

#include <string>
#include <vector>

#include "migration/CellReading.h"

namespace ledgerlift {

class Grid;

// The side a DrCr cell names, read trimmed, in any letter case and with a
// trailing full stop ignored: "CR", "Cr ", "cr.", "Credit" are a credit;
// "DR", "Dr.", "Debit" and an empty cell a debit; anything else is not a side
// (and is posted as a debit, with a warning).
enum class Side { Debit, Credit, Unrecognised };
Side ReadSide(const std::string& cell);

// One row of the ledger grid as the ledger stage reads it, before anything
// is written: every cell by its grid column, the side of its balance and the
// amount its voucher would hold.
struct LedgerRowRead {
    std::vector<CellReading> cells;  // by grid column; column 0 unused
    bool debit = true;
    std::string sideWarning;  // the DrCr cell names no side
    double amount = 0;        // the absolute balance as a currency amount
    std::string amountError;  // ... or why it can't be one

    const CellReading& operator[](int col) const { return cells[static_cast<std::size_t>(col)]; }
    // The amount, or the failure that names the cell.
    double Amount() const;
};

// Reads ledger grid row r. Touches no database and never fails: a cell that
// can't be used keeps the sentence the step that uses it fails with.
LedgerRowRead ReadLedgerRow(const Grid& grid, int row);

}  // namespace ledgerlift
