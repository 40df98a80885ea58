#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "import/core/SharedStrings.h"
#include "import/core/StoredWorkbook.h"
#include "import/core/WorkbookReader.h"
#include "import/xls/CodePage.h"

namespace ledgerlift {

// Reads the cells of the workbook stream of an .xls file (BIFF5 and BIFF8):
// numbers (as dates where their format shows a date), texts from the shared
// string table or the cell itself, booleans, error values and the last
// calculated value of every formula. Takes any bytes at all: a damaged stream
// ends the scan where it stops making sense, never reads past its end and
// never loops.
class BiffScanner {
  public:
    using Sheet = StoredSheet;

    // textLimit bounds the shared strings (SharedStrings), memoryLimit what
    // the worksheets take in all (StoredWorkbook::kMaxBytes): several sheet
    // records can name the same few bytes of cells.
    explicit BiffScanner(std::uint64_t textLimit = kMaxHeldText,
                         std::uint64_t memoryLimit = StoredWorkbook::kMaxBytes)
        : textLimit_(textLimit), memoryLimit_(memoryLimit) {}

    void Scan(std::string_view stream);

    // 8 or 5 for the versions read here; 0 when the stream is of another
    // (older) kind or no workbook at all.
    int BiffVersion() const { return biffVersion_; }
    bool Encrypted() const { return encrypted_; }
    bool Date1904() const { return date1904_; }
    // Whether the shared strings went beyond their bound: the scan read
    // none of the rest, and the workbook is refused.
    bool SharedStringsTooLarge() const { return sharedStringsTooLarge_; }
    std::uint64_t TextLimit() const { return textLimit_; }
    // What the worksheets took when the scan stopped, beyond memoryLimit
    // (none of them is kept then); 0 when they stayed within it.
    std::uint64_t SheetsTooLarge() const { return sheetsTooLarge_; }
    // The worksheets, in the workbook's order (chart and macro sheets left out).
    const std::vector<Sheet>& Sheets() const { return sheets_; }
    std::vector<Sheet> TakeSheets() { return std::move(sheets_); }
    // Whether cells with this format record show a date.
    bool IsDateFormat(std::uint16_t xf) const;
    bool IsPercentFormat(std::uint16_t xf) const;

    static std::string ErrorText(std::uint8_t code);

    struct Record {
        std::uint16_t type = 0;
        std::string_view data;
        std::size_t next = 0;  // offset of the following record
    };

  private:
    bool ReadRecord(std::size_t offset, Record& out) const;
    void ScanGlobals();
    void ReadSharedStrings(const Record& sst);
    // Gives false when the sheets went beyond memoryLimit, counting
    // bytesBefore for the sheets read before.
    bool ScanSheet(std::size_t offset, SheetStore& cells, std::uint64_t bytesBefore);
    StoredCell NumberCell(double value, std::uint16_t xf) const;
    StoredCell FormulaValue(const Record& record, SheetStore& cells) const;
    std::string CellString(const Record& record, std::size_t pos) const;

    std::uint64_t textLimit_;
    std::uint64_t memoryLimit_;
    // The code page of BIFF5 text, from the CODEPAGE record.
    CodePage codePage_;
    std::uint64_t sheetsTooLarge_ = 0;
    std::string_view stream_;
    bool encrypted_ = false;
    bool sharedStringsTooLarge_ = false;
    bool date1904_ = false;
    int biffVersion_ = 0;
    std::vector<Sheet> sheets_;
    std::vector<std::size_t> sheetOffsets_;
    // Kept once for every sheet: a text cell names its shared string.
    std::shared_ptr<SharedStrings> sharedStrings_;
    std::unordered_map<std::uint16_t, std::string> formats_;
    std::vector<std::uint16_t> xfFormat_;
    // IsDateFormat of every format record, worked out once for all cells.
    std::vector<bool> xfIsDate_;
    std::vector<bool> xfIsPercent_;
};

}  // namespace ledgerlift
