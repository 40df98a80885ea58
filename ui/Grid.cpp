#include "ui/Grid.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace ledgerlift {
namespace {

constexpr int kDefaultWidth = 960;  // twips, the width of a fresh column
constexpr std::uint32_t kColorSet = 0x01000000;
// Below this much garbage the buffer is never copied.
constexpr std::size_t kCompactAbove = 1 << 20;

std::string Where(const std::string& grid, int row, int col) {
    return "row " + std::to_string(row) + ", column " + std::to_string(col) + " of " + grid;
}

}  // namespace

Grid::Grid(std::string name) : name_(std::move(name)) {
    rows_ = 2;
    cells_.assign(static_cast<std::size_t>(rows_) * cols_, Span{});
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
        Drop(cells_[i]);
    }
    cells_.resize(static_cast<std::size_t>(rows) * cols_);
    rows_ = rows;
    MaybeCompact();
    colors_.resize(rows);
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
    std::vector<Span> cells(static_cast<std::size_t>(rows_) * cols);
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < cols_; ++c) {
            if (c < cols) {
                cells[static_cast<std::size_t>(r) * cols + c] = Cell(r, c);
            } else {
                Drop(Cell(r, c));
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
    const Span& cell = cells_[static_cast<std::size_t>(row) * cols_ + col];
    return std::string_view(text_.data() + cell.offset, cell.length);
}

void Grid::SetTextMatrix(int row, int col, std::string_view text) {
    CheckCell(row, col);
    Store(Cell(row, col), text);
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

void Grid::Store(Span& cell, std::string_view text) {
    if (text.size() <= cell.length) {
        // In place; the text may be this very cell's (memmove).
        if (!text.empty()) {
            std::memmove(text_.data() + cell.offset, text.data(), text.size());
        }
        garbage_ += cell.length - text.size();
        cell.length = static_cast<std::uint32_t>(text.size());
        return;
    }
    constexpr std::size_t kMax = std::numeric_limits<std::uint32_t>::max();
    if (text.size() > kMax - text_.size()) {
        throw GridError(name_ + " cannot hold more than 4 GB of text.");
    }
    // The text may be another cell's, inside the buffer that may move as it
    // grows: take it by its offset.
    const char* data = text.data();
    bool inside = data >= text_.data() && data < text_.data() + text_.size();
    std::size_t from = inside ? static_cast<std::size_t>(data - text_.data()) : 0;
    std::size_t at = text_.size();
    text_.reserve(at + text.size());
    text_.append(inside ? text_.data() + from : data, text.size());
    garbage_ += cell.length;
    cell = Span{static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(text.size())};
}

void Grid::MaybeCompact() {
    if (garbage_ < kCompactAbove || garbage_ * 2 < text_.size()) {
        return;
    }
    std::string live;
    live.reserve(text_.size() - garbage_);
    for (Span& cell : cells_) {
        std::size_t at = live.size();
        live.append(text_, cell.offset, cell.length);
        cell.offset = static_cast<std::uint32_t>(at);
    }
    text_ = std::move(live);
    garbage_ = 0;
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
