#pragma once

#include <string>

#include "import/BiffScanner.h"
#include "import/WorkbookReader.h"

namespace ledgerlift {

// Reads .xls workbooks. Excel 5 to 2003 workbooks (BIFF5 and BIFF8) are read
// by our own scan of the workbook stream, which also gives the stored results
// of formulas; older ones by the general reader (FreeXL).
class XlsReader : public WorkbookReader {
  public:
    XlsReader() = default;
    ~XlsReader() override;
    XlsReader(const XlsReader&) = delete;
    XlsReader& operator=(const XlsReader&) = delete;

    void Open(const std::string& path) override;
    int SheetCount() const override { return sheetCount_; }
    CellValue Cell(int sheet, int row, int col) const override;
    void Close() override;

    // The workbook stream of an .xls file; throws WorkbookError.
    static std::string ReadWorkbookStream(const std::string& path);

  private:
    CellValue FreeXlCell(int sheet, int row, int col) const;

    const void* handle_ = nullptr;
    std::string path_;
    int sheetCount_ = 0;
    mutable int activeSheet_ = -1;
    mutable unsigned rows_ = 0;
    mutable unsigned short cols_ = 0;
    BiffScanner scan_;
};

}  // namespace ledgerlift
