#pragma once

#include <string>

namespace ledgerlift {

class Grid;

// Where a grid row came from, in words the operator finds it by: the sheet,
// the worksheet row and the item code or ledger name ("Item row 17, A1").
struct RowPlace {
    const char* sheet;  // "Item" or "Ledger"
    const Grid& grid;
    int row;
    int keyCol;
    std::string Name() const;
    // "column F (Qty)": the workbook's column and heading, as the load found
    // them; for a grid the load did not fill, the grid's column and caption.
    std::string Column(int col) const;
    // Its two parts: the column's letter ("F") and heading ("Qty").
    std::string ColumnLetter(int col) const;
    std::string ColumnHeading(int col) const;
};

// The numeric reading of a cell (Val); a number too large to hold is refused
// with a sentence that names the cell.
double CellNumber(const RowPlace& place, int col);

// A sentence when a number cell is not read whole ("12abc" reads 12) or is
// no number at all (and reads 0); empty when the cell is empty or a number.
std::string NumberWarning(const RowPlace& place, int col);

// Refuses a cell whose text holds a NUL character: the database would cut
// the text there. The sentence names the cell.
void RequireStorableText(const RowPlace& place, int col);

// Refuses a product of two cells that is not a finite number (the value of a
// stock line), naming both cells.
double FiniteProduct(const RowPlace& place, int colA, double a, int colB, double b);

}  // namespace ledgerlift
