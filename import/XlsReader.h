#pragma once

#include <string>

#include "import/BiffScanner.h"
#include "import/WorkbookReader.h"

namespace ledgerlift {

// Reads .xls workbooks (BIFF5 and BIFF8). The general reader gives the plain
// cells; formula results (which it leaves empty), booleans and error values
// come from our own scan of the workbook stream.
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
    const void* handle_ = nullptr;
    std::string path_;
    int sheetCount_ = 0;
    mutable int activeSheet_ = -1;
    mutable unsigned rows_ = 0;
    mutable unsigned short cols_ = 0;
    BiffScanner scan_;
};

}  // namespace ledgerlift
