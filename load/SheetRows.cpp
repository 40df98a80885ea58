#include "load/SheetRows.h"

#include <algorithm>
#include <limits>

#include "import/core/CellText.h"
#include "import/core/StopColumn.h"
#include "load/GridLayouts.h"

namespace ledgerlift {

namespace {

bool IsEndText(const std::string& columnB) {
    return IsBlankText(columnB);
}

}  // namespace

bool IsSheetEnd(const WorkbookReader& book, int sheet, int row) {
    std::string columnB;
    book.ReadCellText(sheet, row, 2, columnB);
    return IsEndText(columnB);
}

int RowsBelowLimit(const WorkbookReader& book, int sheet) {
    std::uint64_t count = 0;
    int r = kLastSheetRow + 1;
    for (; r <= WorkbookReader::kHeldRows && !IsSheetEnd(book, sheet, r); ++r) {
        ++count;
    }
    if (r > WorkbookReader::kHeldRows) {
        // The rows below those the reader holds, repeated ones by their number.
        count += book.FilledRowsBelowHeld(sheet);
    }
    return static_cast<int>(std::min<std::uint64_t>(count, std::numeric_limits<int>::max()));
}

int CountSheetRows(const WorkbookReader& book, int sheet) {
    std::string columnB;  // its room is reused from row to row
    int count = 0;
    for (int r = 2; r <= kLastSheetRow; ++r) {
        book.ReadCellText(sheet, r, 2, columnB);
        if (IsEndText(columnB)) {
            break;
        }
        ++count;
    }
    return count;
}

int ForEachSheetRow(const WorkbookReader& book, int sheet, int lastCol, const SheetRowSink& onRow) {
    // The texts of one row, whose room is reused from row to row.
    std::vector<std::string> cells(static_cast<std::size_t>(lastCol) + 1);
    std::string columnB;
    for (int r = 2; r <= kLastSheetRow; ++r) {
        // Column B is read once, for the stop rule and for the row.
        book.ReadCellText(sheet, r, 2, columnB);
        if (IsEndText(columnB)) {
            return 0;
        }
        cells[0] = std::to_string(r);
        for (int c = 1; c <= lastCol; ++c) {
            if (c == 2) {
                cells[2].swap(columnB);  // columnB takes the room of the last row's
            } else {
                book.ReadCellText(sheet, r, c, cells[static_cast<std::size_t>(c)]);
            }
        }
        onRow(r, cells);
    }
    return RowsBelowLimit(book, sheet);
}

std::vector<std::string> HeaderRow(const WorkbookReader& book, int sheet, int lastCol) {
    std::vector<std::string> cells(static_cast<std::size_t>(lastCol) + 1);
    for (int c = 1; c <= lastCol; ++c) {
        cells[static_cast<std::size_t>(c)] = CellText(book.Cell(sheet, 1, c));
    }
    return cells;
}

int ReadSheetRows(const WorkbookReader& book, int sheet, int lastCol,
                  std::vector<std::vector<std::string>>& rows) {
    return ForEachSheetRow(book, sheet, lastCol, [&](int, const std::vector<std::string>& cells) {
        rows.push_back(cells);
    });
}

}  // namespace ledgerlift
