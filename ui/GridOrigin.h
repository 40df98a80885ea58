#pragma once

#include <string>
#include <vector>

namespace ledgerlift {

// Where the rows of a filled grid came from, as the load leaves it: the
// worksheets read into the grid, for each of them the workbook column and
// heading behind every grid column, and for every grid row its worksheet and
// what the load found wrong with it. Messages name cells by these ("column F
// (Qty)"), not by the grid's own columns.
struct SheetOrigin {
    std::string name;  // the sheet's name, as its tab shows it
    int number = 0;    // its position in the workbook, from 1
    // By grid column: the workbook column (1 = A; 0 when the workbook has no
    // column for it) and its heading.
    std::vector<int> column;
    std::vector<std::string> heading;
};

struct GridOrigin {
    std::vector<SheetOrigin> sheets;
    // By grid row (row 0, the header, included): an index into sheets, or -1.
    std::vector<int> sheetOfRow;
    // By grid row: why the load marked the row as one that is never written
    // ("" for a row that is fine).
    std::vector<std::string> rowError;

    void Clear() { *this = GridOrigin{}; }
    // The sheet a grid row came from; none when the load gave no origin.
    const SheetOrigin* SheetOf(int row) const {
        if (row < 0 || static_cast<std::size_t>(row) >= sheetOfRow.size()) {
            return nullptr;
        }
        int s = sheetOfRow[static_cast<std::size_t>(row)];
        return s < 0 ? nullptr : &sheets[static_cast<std::size_t>(s)];
    }
    std::string RowError(int row) const {
        return row >= 0 && static_cast<std::size_t>(row) < rowError.size()
                   ? rowError[static_cast<std::size_t>(row)]
                   : std::string();
    }
};

// The letters of a workbook column: 1 is A, 27 is AA.
std::string ColumnLetters(int column);

}  // namespace ledgerlift
