#include "import/core/WorkbookReader.h"

#include "import/core/CellText.h"
#include "import/core/StopColumn.h"

namespace ledgerlift {

void WorkbookReader::ReadCellText(int sheet, int row, int col, std::string& text) const {
    text = CellText(Cell(sheet, row, col));
}

void WorkbookReader::OpenFiles(const std::vector<std::string>& paths) {
    if (paths.size() > 1) {
        throw WorkbookError("The workbook " + paths[0] +
                            " cannot be loaded together with other files: a workbook is loaded "
                            "alone.");
    }
    Open(paths.empty() ? std::string() : paths[0]);
}

std::optional<TextFormat> WorkbookReader::TextFormatOf(int sheet) const {
    if (sheet < 1 || sheet > SheetCount()) {
        throw WorkbookError("There is no worksheet " + std::to_string(sheet) +
                            ": the workbook has " + std::to_string(SheetCount()) + ".");
    }
    return std::nullopt;
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
