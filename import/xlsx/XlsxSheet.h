#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "import/core/PartReader.h"
#include "import/core/SharedStrings.h"
#include "import/core/SheetStore.h"
#include "import/xlsx/XlsxParts.h"

namespace ledgerlift {

// What a worksheet part's cells refer to.
struct XlsxSheetContext {
    // Kept by every sheet that names one of them, however long it outlives
    // the read.
    std::shared_ptr<const SharedStrings> sharedStrings;
    const XlsxStyles* styles = nullptr;
    bool date1904 = false;
    // The memory that the workbook's sheets take so far, counted up as cells
    // are stored, by every sheet being read; up to StoredWorkbook::kMaxBytes.
    // None: this sheet alone counts.
    std::atomic<std::uint64_t>* bytesUsed = nullptr;
};

// Reads one worksheet part (xl/worksheets/sheetN.xml) into a sheet store:
// shared strings, inline strings, a formula's text result (t="str"),
// booleans, error values, ISO dates (t="d") and numbers, dates where their
// style's number format shows one. A missing cell reference follows the cell
// before it; a missing row number the row before. Below the store's window
// only column B is looked at, for the run of rows that hold something there
// (SheetStore::FilledBelow); the read ends where that run does, since rows
// come in order.
//
// Refuses, naming the part and line: a cell reference beyond the sheet's
// limits (column XFD, row 1048576), a shared string index beyond the shared
// strings, a value that is not of its cell's type.
class XlsxSheet {
  public:
    // Gives the number of formula cells without a stored result.
    static long Read(PartReader& part, const XlsxSheetContext& context, SheetStore& out);
};

}  // namespace ledgerlift
