#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "import/WorkbookReader.h"

namespace ledgerlift {

// Reads, from the workbook stream of an .xls file (BIFF5 or BIFF8), what the
// general reader does not give: the last calculated value of every formula
// cell, and boolean and error cells. Takes any bytes at all: a damaged stream
// ends the scan where it stops making sense, never reads past its end and
// never loops.
class BiffScanner {
  public:
    struct Sheet {
        std::string name;
        // Key: (row << 16) | column, both 0-based.
        std::unordered_map<std::uint32_t, CellValue> cells;
    };

    void Scan(std::string_view stream);

    bool Encrypted() const { return encrypted_; }
    bool Date1904() const { return date1904_; }
    int BiffVersion() const { return biffVersion_; }
    // The worksheets, in the workbook's order (chart and macro sheets left out).
    const std::vector<Sheet>& Sheets() const { return sheets_; }
    // Whether cell formats with this index show a date.
    bool IsDateFormat(std::uint16_t xf) const;

    static std::uint32_t Key(std::uint32_t row, std::uint32_t col) { return (row << 16) | col; }
    // Whether a number format shows a date or time.
    static bool FormatShowsDate(std::uint16_t formatIndex, const std::string& formatText);
    static std::string ErrorText(std::uint8_t code);

  private:
    struct Record {
        std::uint16_t type;
        std::string_view data;
        std::size_t next;  // offset of the following record
    };
    bool ReadRecord(std::string_view stream, std::size_t offset, Record& out) const;
    void ScanGlobals(std::string_view stream);
    void ScanSheet(std::string_view stream, std::size_t offset, Sheet& sheet);
    std::string ReadString(std::string_view stream, const Record& record, std::size_t pos,
                           bool lengthIsByte) const;
    CellValue FormulaValue(std::string_view stream, const Record& record) const;

    bool encrypted_ = false;
    bool date1904_ = false;
    int biffVersion_ = 0;
    std::vector<Sheet> sheets_;
    std::vector<std::size_t> sheetOffsets_;
    std::unordered_map<std::uint16_t, std::string> formats_;
    std::vector<std::uint16_t> xfFormat_;
};

}  // namespace ledgerlift
