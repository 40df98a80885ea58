#include "ui/Grid.h"

#include <algorithm>

namespace ledgerlift {
namespace {

constexpr int kDefaultWidth = 960;  // twips, the width of a fresh column
constexpr std::uint32_t kColorSet = 0x01000000;

std::string Where(const std::string& grid, int row, int col) {
    return "row " + std::to_string(row) + ", column " + std::to_string(col) + " of " + grid;
}

}  // namespace

Grid::Grid(std::string name) : name_(std::move(name)) {
    rows_ = 2;
    cells_.assign(static_cast<std::size_t>(rows_) * cols_, TextSpan{});
    colors_.assign(2, {});
    widths_.assign(cols_, kDefaultWidth);
    aligns_.assign(cols_, Align::Default);
}

int Grid::CaptionWidth(const std::string& caption) {
    // About the width of an average character of the grid's font, in twips,
    // and a margin on either side.
    return static_cast<int>(caption.size()) * 105 + 120;
}

void Grid::SetFormatString(const std::string& format) {
    std::vector<std::string> segments;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= format.size(); ++i) {
        if (i == format.size() || format[i] == '|') {
            segments.push_back(format.substr(start, i - start));
            start = i + 1;
        }
    }
    SetCols(static_cast<int>(segments.size()));
    for (int c = 0; c < cols_; ++c) {
        std::string caption = segments[c];
        Align align = Align::Default;
        if (!caption.empty() && (caption[0] == '<' || caption[0] == '>')) {
            align = caption[0] == '<' ? Align::Left : Align::Right;
            caption.erase(0, 1);
        }
        aligns_[c] = align;
        widths_[c] = CaptionWidth(caption);
        Store(Cell(0, c), caption);
    }
    format_ = format;
    ++shapeVersion_;
    ++contentVersion_;
}

void Grid::SetRows(int rows) {
    if (rows < 1) {
        throw GridError("A grid keeps at least its header row; " + std::to_string(rows) +
                        " rows were asked of " + name_ + ".");
    }
    for (std::size_t i = static_cast<std::size_t>(rows) * cols_; i < cells_.size(); ++i) {
        text_.Drop(cells_[i]);
    }
    cells_.resize(static_cast<std::size_t>(rows) * cols_);
    rows_ = rows;
    MaybeCompact();
    colors_.resize(rows);
    marks_.erase(marks_.lower_bound(rows), marks_.end());
    topRow_ = std::min(topRow_, std::max(1, rows - 1));
    row_ = std::min(row_, rows - 1);
    ++shapeVersion_;
    ++contentVersion_;
}

void Grid::SetCols(int cols) {
    if (cols < 1) {
        throw GridError("A grid has at least one column; " + std::to_string(cols) +
                        " columns were asked of " + name_ + ".");
    }
    std::deque<TextSpan> cells(static_cast<std::size_t>(rows_) * cols);
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < cols_; ++c) {
            if (c < cols) {
                cells[static_cast<std::size_t>(r) * cols + c] = Cell(r, c);
            } else {
                text_.Drop(Cell(r, c));
            }
        }
    }
    cells_ = std::move(cells);
    cols_ = cols;
    MaybeCompact();
    for (auto& row : colors_) {
        if (!row.empty()) {
            row.resize(cols);
        }
    }
    widths_.resize(cols, kDefaultWidth);
    aligns_.resize(cols, Align::Default);
    col_ = std::min(col_, cols - 1);
    ++shapeVersion_;
    ++contentVersion_;
}

void Grid::CheckCell(int row, int col) const {
    if (row < 0 || row >= Rows() || col < 0 || col >= cols_) {
        throw GridError("There is no " + Where(name_, row, col) + ": it has " +
                        std::to_string(Rows()) + " rows and " + std::to_string(cols_) +
                        " columns.");
    }
}

std::string_view Grid::TextMatrix(int row, int col) const {
    CheckCell(row, col);
    return text_.View(cells_[static_cast<std::size_t>(row) * cols_ + col]);
}

void Grid::SetTextMatrix(int row, int col, std::string_view text) {
    CheckCell(row, col);
    Store(Cell(row, col), text);
    MaybeCompact();
    ++contentVersion_;
}

void Grid::SetRowTexts(int row, const std::vector<std::string>& texts) {
    if (texts.empty()) {
        return;
    }
    CheckCell(row, static_cast<int>(texts.size()) - 1);
    for (std::size_t c = 0; c < texts.size(); ++c) {
        Store(Cell(row, static_cast<int>(c)), texts[c]);
    }
    MaybeCompact();
    ++contentVersion_;
}

void Grid::AddItem(std::string_view text) {
    cells_.resize(cells_.size() + cols_);
    ++rows_;
    std::size_t start = 0;
    for (int c = 0; c < cols_ && start <= text.size(); ++c) {
        auto tab = text.find('\t', start);
        Store(Cell(rows_ - 1, c),
              text.substr(start,
                          tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) {
            break;
        }
        start = tab + 1;
    }
    colors_.emplace_back();
    ++shapeVersion_;
    ++contentVersion_;
}

void Grid::Store(TextSpan& cell, std::string_view text) {
    try {
        text_.Store(cell, text);
    } catch (const std::length_error&) {
        throw GridError(name_ + " cannot hold more than 4 GB of text.");
    }
}

void Grid::MaybeCompact() {
    if (text_.WantsCompacting()) {
        text_.Compact(cells_);
    }
}

int Grid::ColWidth(int col) const {
    CheckCell(0, col);
    return widths_[col];
}

void Grid::SetColWidth(int col, int twips) {
    CheckCell(0, col);
    widths_[col] = twips;
    ++shapeVersion_;
}

Grid::Align Grid::ColAlignment(int col) const {
    CheckCell(0, col);
    return aligns_[col];
}

void Grid::SetTopRow(int row) {
    if (row < 1 || row >= Rows()) {
        throw GridError("There is no row " + std::to_string(row) + " to scroll to in " + name_ +
                        ".");
    }
    topRow_ = row;
    ++contentVersion_;
}

void Grid::SetRow(int row) {
    CheckCell(row, 0);
    row_ = row;
}

void Grid::SetCol(int col) {
    CheckCell(0, col);
    col_ = col;
}

void Grid::SetCellBackColor(Rgb color) {
    CheckCell(row_, col_);
    auto& row = colors_[row_];
    if (row.empty()) {
        row.assign(cols_, 0);
    }
    row[col_] = kColorSet | (std::uint32_t{color.red} << 16) | (std::uint32_t{color.green} << 8) |
                color.blue;
    ++contentVersion_;
}

bool Grid::HasBackColor(int row, int col) const {
    CheckCell(row, col);
    return !colors_[row].empty() && (colors_[row][col] & kColorSet);
}

Rgb Grid::BackColor(int row, int col) const {
    if (!HasBackColor(row, col)) {
        return Rgb{};
    }
    std::uint32_t v = colors_[row][col];
    return Rgb{static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
               static_cast<std::uint8_t>(v)};
}

}  // namespace ledgerlift

namespace ledgerlift {

void Grid::SetRowMark(int row, Rgb color, std::string tip, bool wentIn) {
    CheckCell(row, 0);
    marks_[row] = RowMark{color, std::move(tip), wentIn};
    ++contentVersion_;
}

const Grid::RowMark* Grid::FindRowMark(int row) const {
    auto it = marks_.find(row);
    return it == marks_.end() ? nullptr : &it->second;
}

void Grid::ClearRowMarks() {
    if (!marks_.empty()) {
        marks_.clear();
        ++contentVersion_;
    }
}

}  // namespace ledgerlift
