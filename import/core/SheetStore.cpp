#include "import/core/SheetStore.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "import/core/StopColumn.h"

namespace ledgerlift {

SheetStore::SheetStore(SheetStore&& other) noexcept
    : rows_(std::exchange(other.rows_, {})),
      blocks_(std::exchange(other.blocks_, {})),
      blockSize_(std::exchange(other.blockSize_, 0)),
      blockUsed_(std::exchange(other.blockUsed_, 0)),
      texts_(std::exchange(other.texts_, {})),
      shared_(std::exchange(other.shared_, {})),
      bytes_(std::exchange(other.bytes_, 0)),
      filledEnd_(std::exchange(other.filledEnd_, kRows)) {}

SheetStore& SheetStore::operator=(SheetStore&& other) noexcept {
    if (this != &other) {
        rows_ = std::exchange(other.rows_, {});
        blocks_ = std::exchange(other.blocks_, {});
        blockSize_ = std::exchange(other.blockSize_, 0);
        blockUsed_ = std::exchange(other.blockUsed_, 0);
        texts_ = std::exchange(other.texts_, {});
        shared_ = std::exchange(other.shared_, {});
        bytes_ = std::exchange(other.bytes_, 0);
        filledEnd_ = std::exchange(other.filledEnd_, kRows);
    }
    return *this;
}

StoredCell SheetStore::Keep(StoredCell::Kind kind, std::string_view text) {
    if (text.size() > std::numeric_limits<std::uint32_t>::max()) {
        throw WorkbookError(
            "A cell of the workbook holds more than 4 GB of text, far beyond any "
            "real workbook. It is not loaded.");
    }
    StoredCell cell{kind, static_cast<std::uint32_t>(text.size()), texts_.size()};
    texts_.append(text);
    bytes_ += text.size();
    return cell;
}

StoredCell* SheetStore::Take(std::size_t count) {
    if (blocks_.empty() || blockSize_ - blockUsed_ < count) {
        // Blocks grow with the sheet: a small sheet takes little, a large one
        // few blocks. Room at the end of a full block stays unused.
        std::size_t size = std::max(
            count, blocks_.empty() ? kFirstBlock : std::min(2 * blockSize_, kLargestBlock));
        blocks_.push_back(std::make_unique_for_overwrite<StoredCell[]>(size));
        blockSize_ = size;
        blockUsed_ = 0;
    }
    StoredCell* cells = blocks_.back().get() + blockUsed_;
    blockUsed_ += count;
    bytes_ += count * sizeof(StoredCell);
    return cells;
}

bool SheetStore::IsLast(const Row& row) const {
    return row.cells != nullptr && !blocks_.empty() &&
           row.cells + row.room == blocks_.back().get() + blockUsed_;
}

void SheetStore::MakeRoom(Row& row, std::size_t need) {
    if (!row.shared && need <= row.room) {
        return;
    }
    if (!row.shared && IsLast(row) && blockSize_ - blockUsed_ >= need - row.room) {
        // The row being written: it grows where it lies.
        blockUsed_ += need - row.room;
        bytes_ += (need - row.room) * sizeof(StoredCell);
        row.room = static_cast<std::uint16_t>(need);
        return;
    }
    need = std::max<std::size_t>(need, row.width);
    if (row.cells != nullptr && !row.shared && !IsLast(row)) {
        // A row written again after others: room to grow, so that rows
        // written by turns cost their cells about twice at most.
        need = std::min<std::size_t>(kCols, std::max<std::size_t>(need, 2u * row.room));
    }
    StoredCell* cells = Take(need);
    std::copy_n(row.cells, row.width, cells);
    row.cells = cells;
    row.room = static_cast<std::uint16_t>(need);
    row.shared = false;
}

bool SheetStore::Put(std::uint32_t row, std::uint32_t col, StoredCell cell) {
    if (!InWindow(row, col)) {
        return false;
    }
    if (rows_.size() <= row) {
        rows_.resize(row + 1);
    }
    Row& r = rows_[row];
    MakeRoom(r, col + 1);
    if (r.width <= col) {
        std::fill(r.cells + r.width, r.cells + col, StoredCell::Empty());
        r.width = static_cast<std::uint16_t>(col + 1);
    }
    r.cells[col] = cell;
    return true;
}

bool SheetStore::Put(std::uint32_t row, std::uint32_t col, const CellValue& value) {
    if (!InWindow(row, col)) {
        return false;
    }
    switch (value.kind) {
        case CellValue::Kind::Empty:
            return Put(row, col, StoredCell::Empty());
        case CellValue::Kind::Number:
            return Put(row, col, StoredCell::Number(value.number));
        case CellValue::Kind::Date:
            return Put(row, col, StoredCell::DateSerial(value.number));
        case CellValue::Kind::Percent:
            return Put(row, col, StoredCell::Percent(value.number));
        case CellValue::Kind::Boolean:
            return Put(row, col,
                       StoredCell{StoredCell::Kind::Boolean, 0,
                                  std::bit_cast<std::uint64_t>(value.number)});
        case CellValue::Kind::Text:
            return Put(row, col, Text(value.text));
        case CellValue::Kind::Error:
            return Put(row, col, Error(value.text));
    }
    return false;
}

void SheetStore::RepeatRow(std::uint32_t row, std::uint64_t times) {
    if (row >= kRows || row >= rows_.size() || rows_[row].cells == nullptr || times == 0) {
        return;  // nothing stored there: the repeated rows are empty too
    }
    if (std::uint64_t{row} + times >= kRows && StopCellFilled(row)) {
        FilledBelow(kRows, std::uint64_t{row} + times + 1 - kRows);
    }
    rows_[row].shared = true;
    const Row source = rows_[row];
    std::uint64_t last = std::min<std::uint64_t>(std::uint64_t{row} + times, kRows - 1);
    if (rows_.size() <= last) {
        rows_.resize(last + 1);
    }
    std::fill(rows_.begin() + row + 1, rows_.begin() + static_cast<std::ptrdiff_t>(last) + 1,
              source);
}

void SheetStore::FilledBelow(std::uint64_t row, std::uint64_t count) {
    if (row >= kRows && row <= filledEnd_) {
        filledEnd_ = std::max(filledEnd_, row + count);
    }
}

bool SheetStore::StopCellFilled(std::uint32_t row) const {
    const auto col = static_cast<std::uint32_t>(kStopColumn - 1);
    if (std::optional<std::string_view> text = TextView(row, col)) {
        return !IsBlankText(*text);
    }
    return Get(row, col).kind != CellValue::Kind::Empty;
}

CellValue SheetStore::Value(const StoredCell& cell) const {
    switch (cell.kind) {
        case StoredCell::Kind::Empty:
            return CellValue::Empty();
        case StoredCell::Kind::Number:
            return CellValue::Number(cell.NumberValue());
        case StoredCell::Kind::Date:
            return CellValue::DateSerial(cell.NumberValue());
        case StoredCell::Kind::Percent:
            return CellValue::Percent(cell.NumberValue());
        case StoredCell::Kind::Boolean:
            return {CellValue::Kind::Boolean, cell.NumberValue(), {}};
        case StoredCell::Kind::Text:
            return CellValue::Text(texts_.substr(cell.bits, cell.length));
        case StoredCell::Kind::Error:
            return CellValue::Error(texts_.substr(cell.bits, cell.length));
        case StoredCell::Kind::Shared:
            // A number beyond the table reads as an empty text, as the .xls
            // reader always read it.
            if (shared_ && cell.bits < shared_->Count()) {
                return CellValue::Text(std::string(shared_->At(cell.bits)));
            }
            return CellValue::Text("");
    }
    return CellValue::Empty();
}

std::optional<std::string_view> SheetStore::TextView(std::uint32_t row, std::uint32_t col) const {
    if (row >= rows_.size() || col >= rows_[row].width) {
        return std::nullopt;
    }
    const StoredCell& cell = rows_[row].cells[col];
    switch (cell.kind) {
        case StoredCell::Kind::Text:
        case StoredCell::Kind::Error:
            return std::string_view(texts_).substr(cell.bits, cell.length);
        case StoredCell::Kind::Shared:
            if (shared_ && cell.bits < shared_->Count()) {
                return shared_->At(cell.bits);
            }
            return std::string_view();
        default:
            return std::nullopt;
    }
}

CellValue SheetStore::Get(std::uint32_t row, std::uint32_t col) const {
    if (row >= rows_.size() || col >= rows_[row].width) {
        return CellValue::Empty();
    }
    return Value(rows_[row].cells[col]);
}

std::uint32_t SheetStore::LastRow() const {
    for (std::size_t r = rows_.size(); r > 0; --r) {
        const Row& row = rows_[r - 1];
        for (std::uint16_t c = 0; c < row.width; ++c) {
            if (row.cells[c].kind != StoredCell::Kind::Empty) {
                return static_cast<std::uint32_t>(r);
            }
        }
    }
    return 0;
}

std::uint32_t SheetStore::LastColumn() const {
    std::uint32_t last = 0;
    for (const Row& row : rows_) {
        for (std::uint16_t c = row.width; c > last; --c) {
            if (row.cells[c - 1].kind != StoredCell::Kind::Empty) {
                last = c;
                break;
            }
        }
    }
    return last;
}

}  // namespace ledgerlift
