#pragma once

#include <optional>
#include <string>
#include <vector>

#include "migration/CellReading.h"
#include "migration/Finding.h"

namespace ledgerlift {

class Grid;

// The side a DrCr cell names, read trimmed, in any letter case and with a
// trailing full stop ignored: "D", "Dr", "Debit" are a debit; "C", "Cr",
// "Credit" a credit; an empty cell names none; anything else is not a side.
enum class Side { Debit, Credit, None, Unrecognised };
Side ReadSide(const std::string& cell);

// One row of the ledger grid as the ledger stage reads it, before anything
// is written: every cell by its grid column, the side of its balance (when
// the row itself tells it) and the amount its voucher would hold, and what
// the reading found. A row with an error is never written.
//
// The side of a balance that is not 0, by the first rule that applies:
//  1. the DrCr cell's side word;
//  2. with DrCr blank, a side word in the amount ("1,500.00 Cr."), with a
//     warning;
//  3. no side word anywhere and a negative amount: an error, unless negative
//     balances are credits (then negative is credit and positive debit);
//  4. no side word anywhere: the usual side of the ledger's account group,
//     which the stage reads from the company (side is left empty here).
// DrCr holding something that is no side word, or disagreeing with the
// amount's, is an error; a negative amount with a side word loses its sign,
// with a warning. A balance of 0 posts nothing: its side is Cr for a credit
// word in DrCr and Dr otherwise, without a problem.
struct LedgerRowRead {
    std::vector<CellReading> cells;  // by grid column; column 0 unused
    std::optional<bool> debit;       // empty: the account group decides
    double amount = 0;               // the absolute balance as a currency amount
    std::string amountError;         // ... or why it can't be one
    std::vector<Finding> errors;
    std::vector<Finding> warnings;

    const CellReading& operator[](int col) const { return cells[static_cast<std::size_t>(col)]; }
    // The amount, or the failure that names the cell.
    double Amount() const;
};

// Reads ledger grid row r. Touches no database and never fails.
LedgerRowRead ReadLedgerRow(const Grid& grid, int row, bool negativeIsCredit);

}  // namespace ledgerlift
