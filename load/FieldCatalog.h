#pragma once

#include <string>
#include <vector>

namespace ledgerlift {

// The two kinds of sheet a workbook holds for the migration.
enum class SheetKind { Items, Ledgers };

// One field of a grid: its grid column (which is also its described
// workbook column: 1 is A), its described caption, the names bookkeepers
// commonly give its column, and whether a sheet must have it.
struct FieldInfo {
    int gridCol;
    const char* caption;
    std::vector<const char*> names;
    bool required;
};

// The fields of a sheet's grid, in grid-column order (grid columns 1 to the
// last; column 0 holds the worksheet row).
const std::vector<FieldInfo>& Fields(SheetKind kind);

// Names that could mean more than one field of the sheet ("Rate", "Price"
// on the item sheet): a heading that matches one of them better than any
// field claims nothing.
const std::vector<const char*>& AmbiguousNames(SheetKind kind);

// Words in a sheet's name that say what it holds ("Items", "Customers").
const std::vector<const char*>& SheetNameSigns(SheetKind kind);

// "items" or "ledgers"; "item" or "ledger" as the rows are named.
const char* KindWord(SheetKind kind);
const char* RowWord(SheetKind kind);

}  // namespace ledgerlift
