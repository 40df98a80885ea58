#include "import/core/WorkbookReader.h"

#include "import/core/CellText.h"

namespace ledgerlift {

void WorkbookReader::ReadCellText(int sheet, int row, int col, std::string& text) const {
    text = CellText(Cell(sheet, row, col));
}

}  // namespace ledgerlift
