#include "import/SheetRows.h"

#include "import/CellText.h"
#include "import/GridLayouts.h"
#include "migration/TextRules.h"

namespace ledgerlift {

bool IsSheetEnd(const WorkbookReader& book, int sheet, int row) {
    return Trim(Upper(CellText(book.Cell(sheet, row, 2)))).empty();
}

bool IsSheetCut(const WorkbookReader& book, int sheet) {
    return !IsSheetEnd(book, sheet, kLastSheetRow + 1);
}

bool ReadSheetRows(const WorkbookReader& book, int sheet, int lastCol,
                   std::vector<std::vector<std::string>>& rows) {
    for (int r = 2; r <= kLastSheetRow; ++r) {
        if (IsSheetEnd(book, sheet, r)) {
            return false;
        }
        std::vector<std::string> row{std::to_string(r)};
        for (int c = 1; c <= lastCol; ++c) {
            row.push_back(CellText(book.Cell(sheet, r, c)));
        }
        rows.push_back(std::move(row));
    }
    return IsSheetCut(book, sheet);
}

}  // namespace ledgerlift
