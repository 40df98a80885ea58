#include "load/GridTextBudget.h"

#include "import/core/WorkbookReader.h"

namespace ledgerlift {

void GridTextBudget::Spend(std::size_t bytes, const std::string& sheet, int row) {
    used_ += bytes;
    if (used_ > limit_) {
        throw WorkbookError("The workbook " + workbook_ + " is refused: " + sheet +
                            " holds more than " + MegabytesText(limit_) + " of text by row " +
                            std::to_string(row) +
                            ", far beyond any real workbook. It is not loaded.");
    }
}

}  // namespace ledgerlift
