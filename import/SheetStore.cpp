#include "import/SheetStore.h"

#include <algorithm>

namespace ledgerlift {

std::vector<CellValue>& SheetStore::WritableRow(std::uint32_t row) {
    if (rowOf_.size() <= row) {
        rowOf_.resize(row + 1, 0);
    }
    std::uint32_t& index = rowOf_[row];
    if (index == 0) {
        // Rows of a sheet are mostly as wide as the one before.
        std::size_t width = rows_.empty() ? 0 : rows_.back().size();
        rows_.emplace_back();
        rows_.back().reserve(width);
        bytes_ += width * sizeof(CellValue);
        shared_.push_back(false);
        index = static_cast<std::uint32_t>(rows_.size());
    } else if (shared_[index - 1]) {
        // A row of a repeated run gets cells of its own: copy, then write.
        std::vector<CellValue> copy = rows_[index - 1];
        bytes_ += copy.size() * sizeof(CellValue);
        for (const auto& cell : copy) {
            bytes_ += cell.text.size();
        }
        rows_.push_back(std::move(copy));
        shared_.push_back(false);
        index = static_cast<std::uint32_t>(rows_.size());
    }
    return rows_[index - 1];
}

bool SheetStore::Put(std::uint32_t row, std::uint32_t col, CellValue value) {
    if (row >= kRows || col >= kCols) {
        return false;
    }
    std::vector<CellValue>& cells = WritableRow(row);
    if (cells.size() <= col) {
        if (cells.capacity() <= col) {
            bytes_ += (col + 1 - cells.capacity()) * sizeof(CellValue);
        }
        cells.resize(col + 1);
    }
    bytes_ += value.text.size();
    cells[col] = std::move(value);
    return true;
}

void SheetStore::RepeatRow(std::uint32_t row, std::uint64_t times) {
    if (row >= kRows || row >= rowOf_.size() || rowOf_[row] == 0 || times == 0) {
        return;  // nothing stored there: the repeated rows are empty too
    }
    std::uint32_t index = rowOf_[row];
    shared_[index - 1] = true;
    std::uint64_t last = std::min<std::uint64_t>(std::uint64_t{row} + times, kRows - 1);
    if (rowOf_.size() <= last) {
        rowOf_.resize(last + 1, 0);
    }
    std::fill(rowOf_.begin() + row + 1, rowOf_.begin() + static_cast<std::ptrdiff_t>(last) + 1,
              index);
}

CellValue SheetStore::Get(std::uint32_t row, std::uint32_t col) const {
    if (row >= rowOf_.size() || rowOf_[row] == 0) {
        return CellValue::Empty();
    }
    const std::vector<CellValue>& cells = rows_[rowOf_[row] - 1];
    return col < cells.size() ? cells[col] : CellValue::Empty();
}

}  // namespace ledgerlift
