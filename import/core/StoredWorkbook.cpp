#include "import/core/StoredWorkbook.h"

#include <algorithm>

#include "import/core/CellText.h"

namespace ledgerlift {

void StoredWorkbook::Loaded(std::string path, std::vector<StoredSheet> sheets) {
    path_ = std::move(path);
    sheets_ = std::move(sheets);
}

void StoredWorkbook::Close() {
    path_.clear();
    sheets_.clear();
}

const StoredSheet& StoredWorkbook::Sheet(int sheet) const {
    if (path_.empty()) {
        throw WorkbookError("No workbook is open.");
    }
    if (sheet < 1 || sheet > SheetCount()) {
        throw WorkbookError("The workbook " + path_ + " has no worksheet " + std::to_string(sheet) +
                            ": it has " + std::to_string(SheetCount()) + ".");
    }
    return sheets_[static_cast<std::size_t>(sheet) - 1];
}

const StoredSheet& StoredWorkbook::HeldSheet(int sheet) const {
    const StoredSheet& stored = Sheet(sheet);
    if (stored.released) {
        throw WorkbookError("Worksheet " + std::to_string(sheet) + " of " + path_ +
                            " was already copied and is no longer held in memory; load the "
                            "workbook again to read it.");
    }
    return stored;
}

CellValue StoredWorkbook::Cell(int sheet, int row, int col) const {
    const StoredSheet& stored = HeldSheet(sheet);
    if (row < 1 || col < 1) {
        return CellValue::Empty();
    }
    return stored.cells.Get(static_cast<std::uint32_t>(row - 1),
                            static_cast<std::uint32_t>(col - 1));
}

void StoredWorkbook::ReadCellText(int sheet, int row, int col, std::string& text) const {
    const StoredSheet& stored = HeldSheet(sheet);
    if (row < 1 || col < 1) {
        text.clear();
        return;
    }
    auto r = static_cast<std::uint32_t>(row - 1);
    auto c = static_cast<std::uint32_t>(col - 1);
    // A text is copied straight from the store; any other value by the rule.
    if (std::optional<std::string_view> view = stored.cells.TextView(r, c)) {
        text.assign(*view);
    } else {
        text = CellText(stored.cells.Get(r, c));
    }
}

void StoredWorkbook::ReleaseSheet(int sheet) {
    Sheet(sheet);  // the checks
    StoredSheet& stored = sheets_[static_cast<std::size_t>(sheet) - 1];
    stored.cells = SheetStore();
    stored.released = true;
}

static_assert(SheetStore::kRows == WorkbookReader::kHeldRows,
              "a reader holds the rows of its sheet store");

std::uint64_t StoredWorkbook::FilledRowsBelowHeld(int sheet) const {
    return HeldSheet(sheet).cells.FilledEndBelow() - SheetStore::kRows;
}

std::string StoredWorkbook::SheetName(int sheet) const {
    return Sheet(sheet).name;
}

int StoredWorkbook::LastRow(int sheet) const {
    return static_cast<int>(HeldSheet(sheet).cells.LastRow());
}

int StoredWorkbook::LastColumn(int sheet) const {
    return static_cast<int>(HeldSheet(sheet).cells.LastColumn());
}

int StoredWorkbook::FormulasWithoutResult(int sheet) const {
    return static_cast<int>(std::min<long>(Sheet(sheet).formulasWithoutResult, 1L << 30));
}

void StoredWorkbook::CheckRoom(const std::string& path, std::uint64_t bytes) {
    if (bytes > kMaxBytes) {
        throw WorkbookError("The workbook " + path +
                            " is refused: its worksheets would take more than " +
                            std::to_string(kMaxBytes >> 20) +
                            " MB of memory, far beyond any real workbook. It is not loaded.");
    }
}

}  // namespace ledgerlift
