#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ui/GridOrigin.h"
#include "ui/GridText.h"

namespace ledgerlift {

// A colour as red, green and blue.
struct Rgb {
    std::uint8_t red = 255, green = 255, blue = 255;
    bool operator==(const Rgb&) const = default;
};

// A grid access outside the grid's rows or columns.
class GridError : public std::out_of_range {
  public:
    using std::out_of_range::out_of_range;
};

// The flexible grid: a table of text cells addressed by 0-based row and
// column; row 0 is the one fixed header row. This is the control's state only;
// a view shows it and may catch up with it later, by the change counters.
//
// The texts of all cells live in one store per grid (GridText), each cell
// being an offset and a length into it: a workbook of tens of thousands of
// rows costs its text and eight bytes a cell, not a string object per cell.
class Grid {
  public:
    enum class Align { Default, Left, Right };

    explicit Grid(std::string name = "grid");

    const std::string& Name() const { return name_; }

    // "|" cuts the string into one segment per column; a leading "<" or ">"
    // sets the alignment; the rest, trailing blanks included, becomes the
    // caption in row 0, and the column is sized to the caption.
    void SetFormatString(const std::string& format);
    const std::string& FormatString() const { return format_; }

    int Rows() const { return rows_; }
    void SetRows(int rows);
    int Cols() const { return cols_; }
    void SetCols(int cols);

    // The text of a cell. The view stays valid only until the grid is next
    // changed: copy it before writing to the grid.
    std::string_view TextMatrix(int row, int col) const;
    void SetTextMatrix(int row, int col, std::string_view text);
    // SetTextMatrix for columns 0 to texts.size() - 1 of one row, in one call:
    // a workbook's import fills a million cells.
    void SetRowTexts(int row, const std::vector<std::string>& texts);
    // Appends a row; its cells come from text cut at each tab.
    void AddItem(std::string_view text);

    // Where the rows came from, as the load leaves it (the sheets, their
    // columns and the rows it marked); empty for a grid filled otherwise.
    GridOrigin origin;

    int ColWidth(int col) const;  // twips
    void SetColWidth(int col, int twips);
    Align ColAlignment(int col) const;

    int TopRow() const { return topRow_; }
    void SetTopRow(int row);
    int Row() const { return row_; }
    void SetRow(int row);
    int Col() const { return col_; }
    void SetCol(int col);

    // The background of the current cell (Row, Col).
    void SetCellBackColor(Rgb color);
    bool HasBackColor(int row, int col) const;
    Rgb BackColor(int row, int col) const;

    // A mark on a whole row: a background colour and a sentence that the view
    // shows as the row's tooltip (a check's problem, a run's outcome), and
    // whether the row went in (or would). A cell colour of its own shows
    // over the row's colour.
    struct RowMark {
        Rgb color;
        std::string tip;
        bool wentIn = false;
    };
    void SetRowMark(int row, Rgb color, std::string tip, bool wentIn = false);
    const RowMark* FindRowMark(int row) const;
    void ClearRowMarks();
    std::size_t RowMarkCount() const { return marks_.size(); }

    // Raised by every change of rows, columns, widths or captions, and by
    // every change of cells or colours; a view compares them to catch up.
    std::uint64_t ShapeVersion() const { return shapeVersion_; }
    std::uint64_t ContentVersion() const { return contentVersion_; }

    // The twips a caption of this many characters takes.
    static int CaptionWidth(const std::string& caption);

  private:
    void CheckCell(int row, int col) const;
    TextSpan& Cell(int row, int col) { return cells_[static_cast<std::size_t>(row) * cols_ + col]; }
    void Store(TextSpan& cell, std::string_view text);
    // Copies the live texts into fresh blocks once most of the store is garbage.
    void MaybeCompact();

    std::string name_;
    std::string format_;
    int rows_ = 0;
    int cols_ = 2;
    GridText text_;
    std::deque<TextSpan> cells_;  // rows_ * cols_, row by row: grows without copying
    std::vector<std::vector<std::uint32_t>> colors_;  // per row; empty when none set
    std::vector<int> widths_;
    std::vector<Align> aligns_;
    int topRow_ = 1;
    int row_ = 1;
    int col_ = 1;
    std::map<int, RowMark> marks_;
    std::uint64_t shapeVersion_ = 0;
    std::uint64_t contentVersion_ = 0;
};

}  // namespace ledgerlift
