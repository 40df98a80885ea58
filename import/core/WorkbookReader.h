#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "import/core/TextFormat.h"

namespace ledgerlift {

// The value of one worksheet cell as the workbook stores it.
struct CellValue {
    enum class Kind { Empty, Number, Date, Text, Boolean, Error, Percent };
    Kind kind = Kind::Empty;
    // Number: the number. Date: the serial day number (days since 1899-12-30,
    // the fraction being the time of day). Boolean: 0 or 1. Percent: the
    // number stored (0.125 for a cell that shows 12.5%).
    double number = 0;
    // Text: the text. Error: the error's text as a spreadsheet shows it.
    std::string text;

    static CellValue Empty() { return {}; }
    static CellValue Number(double v) { return {Kind::Number, v, {}}; }
    static CellValue DateSerial(double v) { return {Kind::Date, v, {}}; }
    static CellValue Text(std::string t) { return {Kind::Text, 0, std::move(t)}; }
    static CellValue Boolean(bool b) { return {Kind::Boolean, b ? 1.0 : 0.0, {}}; }
    static CellValue Percent(double v) { return {Kind::Percent, v, {}}; }
    static CellValue Error(std::string t) { return {Kind::Error, 0, std::move(t)}; }
};

// A workbook that can't be opened or read; the message names the file and
// the reason, for the operator.
class WorkbookError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads worksheets by position and their cells by 1-based row and column.
// Other formats can be added behind this without touching the import.
class WorkbookReader {
  public:
    virtual ~WorkbookReader() = default;
    // Throws WorkbookError when the file is missing, unreadable, encrypted,
    // damaged or not a workbook of this reader's kind.
    virtual void Open(const std::string& path) = 0;
    // Opens several files as one workbook, the sheets of each after those of
    // the ones before it. A reader of workbooks opens one file: for more it
    // throws WorkbookError; a reader of text files gives each its worksheet.
    virtual void OpenFiles(const std::vector<std::string>& paths);
    virtual int SheetCount() const = 0;
    // Throws WorkbookError for a sheet that is not there.
    virtual CellValue Cell(int sheet, int row, int col) const = 0;
    // The cell's text by the rule of CellText (import/CellText.h), written
    // into text, whose room is reused from one cell to the next. Throws as
    // Cell does.
    virtual void ReadCellText(int sheet, int row, int col, std::string& text) const;
    // How many formula cells of the sheet the file holds without a calculated
    // result (written by a program that does not calculate); they read as
    // empty cells. Throws WorkbookError for a sheet that is not there.
    virtual int FormulasWithoutResult(int) const { return 0; }
    // The rows that a reader holds: 1 to kHeldRows, the rows of an .xls
    // workbook. Cell reads a row below them as empty.
    static constexpr int kHeldRows = 65536;
    // How many rows from row kHeldRows + 1 down hold something other than
    // spaces in column B, up to the first one that does not: the rows below
    // those held that the import's stop rule would go on through, repeated
    // rows counted by their number. A reader that holds every row reads them
    // one by one. Throws WorkbookError for a sheet that is not there.
    virtual std::uint64_t FilledRowsBelowHeld(int sheet) const;
    // The sheet's name, as its tab shows it ("" when the workbook gives none).
    // Throws WorkbookError for a sheet that is not there.
    virtual std::string SheetName(int) const { return ""; }
    // The last row and the last column (1-based) of the rows held that hold
    // a cell, 0 for a sheet without one. A reader that cannot tell gives the
    // last row and column it holds. Throws WorkbookError for a sheet that is
    // not there, or whose cells were let go.
    virtual int LastRow(int) const { return static_cast<int>(kHeldRows); }
    virtual int LastColumn(int) const { return 256; }
    // The caller is done with the sheet's cells: a reader that holds them in
    // memory lets them go, and reading one of them afterwards throws
    // WorkbookError (FormulasWithoutResult still answers). Throws
    // WorkbookError for a sheet that is not there.
    virtual void ReleaseSheet(int) {}
    // How the sheet's text file was read (its encoding and delimiter); none
    // for a workbook's sheet. Throws WorkbookError for a sheet that is not
    // there.
    virtual std::optional<TextFormat> TextFormatOf(int sheet) const;
    virtual void Close() = 0;
};

}  // namespace ledgerlift
