#include "import/SheetRows.h"

#include "base/TextRules.h"
#include "import/CellText.h"
#include "import/GridLayouts.h"

namespace ledgerlift {

namespace {

// The stop rule on the text of column B.
bool IsEndText(const std::string& columnB) {
    return Trim(Upper(columnB)).empty();
}

}  // namespace

bool IsSheetEnd(const WorkbookReader& book, int sheet, int row) {
    return IsEndText(CellText(book.Cell(sheet, row, 2)));
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

int ForEachSheetRow(const WorkbookReader& book, int sheet, int lastCol, const SheetRowSink& onRow) {
    std::vector<std::string> cells(static_cast<std::size_t>(lastCol) + 1);
    for (int r = 2; r <= kLastSheetRow; ++r) {
        // Column B is read once, for the stop rule and for the row.
        std::string columnB = CellText(book.Cell(sheet, r, 2));
        if (IsEndText(columnB)) {
            return 0;
        }
        cells[0] = std::to_string(r);
        for (int c = 1; c <= lastCol; ++c) {
            cells[static_cast<std::size_t>(c)] =
                c == 2 ? std::move(columnB) : CellText(book.Cell(sheet, r, c));
        }
        onRow(r, cells);
    }
    return RowsBelowLimit(book, sheet);
}

int ReadSheetRows(const WorkbookReader& book, int sheet, int lastCol,
                  std::vector<std::vector<std::string>>& rows) {
    return ForEachSheetRow(book, sheet, lastCol, [&](int, const std::vector<std::string>& cells) {
        rows.push_back(cells);
    });
}

}  // namespace ledgerlift
