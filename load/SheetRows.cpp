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

int CountSheetRows(const WorkbookReader& book, int sheet, GridTextBudget budget,
                   const std::string& label) {
    std::string columnB;  // its room is reused from row to row
    int count = 0;
    for (int r = 2; r <= kLastSheetRow; ++r) {
        book.ReadCellText(sheet, r, 2, columnB);
        if (IsEndText(columnB)) {
            break;
        }
        budget.Spend(columnB.size(), label, r);
        ++count;
    }
    return count;
}

int ForEachSheetRow(const WorkbookReader& book, int sheet, int lastCol, GridTextBudget& budget,
                    const std::string& label, const SheetRowSink& onRow) {
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
        budget.Spend(cells[0].size() + columnB.size(), label, r);
        for (int c = 1; c <= lastCol; ++c) {
            auto& text = cells[static_cast<std::size_t>(c)];
            if (c == 2) {
                text.swap(columnB);  // columnB takes the room of the last row's
            } else {
                // Counted cell by cell, so that one row of long texts is
                // refused before it is held whole.
                book.ReadCellText(sheet, r, c, text);
                budget.Spend(text.size(), label, r);
            }
        }
        onRow(r, cells);
    }
    return RowsBelowLimit(book, sheet);
}

std::vector<std::string> HeaderRow(const WorkbookReader& book, int sheet, int lastCol,
                                   GridTextBudget& budget, const std::string& label) {
    std::vector<std::string> cells(static_cast<std::size_t>(lastCol) + 1);
    for (int c = 1; c <= lastCol; ++c) {
        auto& text = cells[static_cast<std::size_t>(c)];
        text = CellText(book.Cell(sheet, 1, c));
        budget.Spend(text.size(), label, 1);
    }
    return cells;
}

int ReadSheetRows(const WorkbookReader& book, int sheet, int lastCol, GridTextBudget& budget,
                  const std::string& label, std::vector<std::vector<std::string>>& rows) {
    return ForEachSheetRow(
        book, sheet, lastCol, budget, label,
        [&](int, const std::vector<std::string>& cells) { rows.push_back(cells); });
}

}  // namespace ledgerlift
