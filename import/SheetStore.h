#pragma once

#include <cstdint>
#include <vector>

#include "import/WorkbookReader.h"

namespace ledgerlift {

// The cells of one worksheet in memory, as every reader (.xls, .xlsx, .ods)
// leaves them after its one pass over the file; every cell lookup of the
// import goes through here. Rows and columns are 0-based.
//
// Only the window that an .xls workbook can hold is kept: rows 1 to 65536 and
// columns A to IV. The import never reads beyond it (it stops at row 65000),
// the three formats give the same grids, and a sheet's size in memory stays
// bounded whatever the file says. A cell outside the window is left out.
//
// A run of identical rows (an .ods workbook writes repeated rows once) shares
// one row's cells, so an empty row repeated a million times costs nothing and
// a repeated filled row costs one row.
class SheetStore {
  public:
    static constexpr std::uint32_t kRows = 65536;
    static constexpr std::uint32_t kCols = 256;

    // Stores a cell; gives false when it lies outside the window.
    bool Put(std::uint32_t row, std::uint32_t col, CellValue value);
    // The `times` rows below `row` hold the same cells as `row`, up to the end
    // of the window.
    void RepeatRow(std::uint32_t row, std::uint64_t times);
    // The cell, or the empty cell when nothing is stored there.
    CellValue Get(std::uint32_t row, std::uint32_t col) const;

    // What the stored cells take in memory, about: the room of every row's
    // cells, empty ones between filled ones included, and their texts.
    std::uint64_t Bytes() const { return bytes_; }

  private:
    std::vector<CellValue>& WritableRow(std::uint32_t row);

    // Sheet row -> 1 + index into rows_; 0 for a row without cells.
    std::vector<std::uint32_t> rowOf_;
    std::vector<std::vector<CellValue>> rows_;
    // Whether rows_[i] is shared by a run of repeated rows.
    std::vector<bool> shared_;
    std::uint64_t bytes_ = 0;
};

}  // namespace ledgerlift
