#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/core/SharedStrings.h"
#include "import/core/StoredCell.h"
#include "import/core/WorkbookReader.h"

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
// A cell takes 16 bytes (StoredCell). A row takes as many cells as its last
// filled column needs: rows lie end to end in blocks that never move, and a
// row that gets a cell further right grows where it lies when it is the last
// one, as it is while a reader goes through a sheet row by row. The sheet's
// own texts lie end to end in one buffer; a shared string is kept once, in
// the workbook's shared strings.
//
// A run of identical rows (an .ods workbook writes repeated rows once) shares
// one row's cells, so an empty row repeated a million times costs nothing and
// a repeated filled row costs one row.
class SheetStore {
  public:
    static constexpr std::uint32_t kRows = 65536;
    static constexpr std::uint32_t kCols = 256;

    SheetStore() = default;
    SheetStore(SheetStore&& other) noexcept;
    SheetStore& operator=(SheetStore&& other) noexcept;
    SheetStore(const SheetStore&) = delete;
    SheetStore& operator=(const SheetStore&) = delete;
    ~SheetStore() = default;

    static bool InWindow(std::uint32_t row, std::uint32_t col) {
        return row < kRows && col < kCols;
    }

    // The shared strings that the Shared cells of this sheet name.
    void UseSharedStrings(std::shared_ptr<const SharedStrings> strings) {
        shared_ = std::move(strings);
    }
    // A text or error cell whose text this sheet keeps, to be put in as many
    // places as it shows. Throws WorkbookError for a text beyond 4 GB.
    StoredCell Text(std::string_view text) { return Keep(StoredCell::Kind::Text, text); }
    StoredCell Error(std::string_view text) { return Keep(StoredCell::Kind::Error, text); }

    // Stores a cell; gives false when it lies outside the window.
    bool Put(std::uint32_t row, std::uint32_t col, StoredCell cell);
    bool Put(std::uint32_t row, std::uint32_t col, const CellValue& value);
    // The `times` rows below `row` hold the same cells as `row`, up to the end
    // of the window; those below the window count as FilledBelow says.
    void RepeatRow(std::uint32_t row, std::uint64_t times);

    // Rows below the window are not kept, but whether their column B
    // (kStopColumn) holds something is, so that the import can tell how many
    // rows it leaves out: the run of such rows from the first row below the
    // window (kRows, 0-based) down. Rows are told in order, as a reader goes
    // through a sheet, so a filled row after a blank one starts no run.
    //
    // The `count` rows from `row` hold something other than spaces in column
    // B; rows inside the window are left to Put.
    void FilledBelow(std::uint64_t row, std::uint64_t count);
    // Where that run ends (0-based, the first row not in it): kRows when the
    // first row below the window is blank.
    std::uint64_t FilledEndBelow() const { return filledEnd_; }
    // The cell, or the empty cell when nothing is stored there.
    CellValue Get(std::uint32_t row, std::uint32_t col) const;
    // The text of a text or error cell as it lies in the store; none for a
    // cell of another kind.
    std::optional<std::string_view> TextView(std::uint32_t row, std::uint32_t col) const;

    // The last row and column (1-based) that hold a cell that is not empty;
    // 0 when none does.
    std::uint32_t LastRow() const;
    std::uint32_t LastColumn() const;

    // What the stored cells take in memory, about: the room of every row's
    // cells, empty ones between filled ones included, and their texts.
    std::uint64_t Bytes() const { return bytes_; }

  private:
    struct Row {
        StoredCell* cells = nullptr;
        std::uint16_t width = 0;  // cells in use
        std::uint16_t room = 0;   // cells it may use where it lies
        bool shared = false;      // whether other rows show the same cells
    };

    // The smallest and the largest block of cells that is taken at once.
    static constexpr std::size_t kFirstBlock = kCols;
    static constexpr std::size_t kLargestBlock = std::size_t{1} << 16;

    StoredCell Keep(StoredCell::Kind kind, std::string_view text);
    // Room for `count` cells, after the cells taken last when it fits there.
    StoredCell* Take(std::size_t count);
    // Whether the cells of this row are the last ones taken.
    bool IsLast(const Row& row) const;
    // Gives row room for `need` cells, and cells of its own.
    void MakeRoom(Row& row, std::size_t need);
    CellValue Value(const StoredCell& cell) const;
    // Whether column B of the row holds something by the stop rule.
    bool StopCellFilled(std::uint32_t row) const;

    std::vector<Row> rows_;
    std::vector<std::unique_ptr<StoredCell[]>> blocks_;
    std::size_t blockSize_ = 0;  // cells of the last block
    std::size_t blockUsed_ = 0;  // of them, cells taken
    std::string texts_;
    std::shared_ptr<const SharedStrings> shared_;
    std::uint64_t bytes_ = 0;
    std::uint64_t filledEnd_ = kRows;
};

}  // namespace ledgerlift
