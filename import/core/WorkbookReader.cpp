#include "import/core/WorkbookReader.h"

#include "import/core/CellText.h"
#include "import/core/StopColumn.h"

namespace ledgerlift {

void WorkbookReader::ReadCellText(int sheet, int row, int col, std::string& text) const {
    text = CellText(Cell(sheet, row, col));
}

std::uint64_t WorkbookReader::FilledRowsBelowHeld(int sheet) const {
    // The largest sheet any of the formats holds has 1,048,576 rows.
    constexpr int kLastPossibleRow = 1048576;
    std::string text;
    std::uint64_t count = 0;
    for (int row = kHeldRows + 1; row <= kLastPossibleRow; ++row) {
        ReadCellText(sheet, row, kStopColumn, text);
        if (IsBlankText(text)) {
            break;
        }
        ++count;
    }
    return count;
}

}  // namespace ledgerlift
