#include "import/SheetRows.h"

#include "base/TextRules.h"
#include "import/CellText.h"
#include "import/GridLayouts.h"

namespace ledgerlift {

bool IsSheetEnd(const WorkbookReader& book, int sheet, int row) {
    return Trim(Upper(CellText(book.Cell(sheet, row, 2)))).empty();
}

int RowsBelowLimit(const WorkbookReader& book, int sheet) {
    // The largest sheet any of the formats holds has 1,048,576 rows.
    constexpr int kLastPossibleRow = 1048576;
    int count = 0;
    for (int r = kLastSheetRow + 1; r <= kLastPossibleRow && !IsSheetEnd(book, sheet, r); ++r) {
        ++count;
    }
    return count;
}

int CountSheetRows(const WorkbookReader& book, int sheet) {
    int count = 0;
    for (int r = 2; r <= kLastSheetRow && !IsSheetEnd(book, sheet, r); ++r) {
        ++count;
    }
    return count;
}

int ForEachSheetRow(const WorkbookReader& book, int sheet, int lastCol, const SheetRowSink& onRow) {
    std::vector<std::string> cells(static_cast<std::size_t>(lastCol) + 1);
    for (int r = 2; r <= kLastSheetRow; ++r) {
        if (IsSheetEnd(book, sheet, r)) {
            return 0;
        }
        cells[0] = std::to_string(r);
        for (int c = 1; c <= lastCol; ++c) {
            cells[static_cast<std::size_t>(c)] = CellText(book.Cell(sheet, r, c));
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
