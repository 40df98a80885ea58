#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "import/core/StoredWorkbook.h"

namespace ledgerlift {

// Reads .xls workbooks. Excel 5 to 2003 workbooks (BIFF5 and BIFF8) are read
// by our own scan of the workbook stream, which also gives the stored results
// of formulas; older ones by the general reader (FreeXL). Either way the
// cells are read once, when the workbook is opened.
class XlsReader : public StoredWorkbook {
  public:
    XlsReader() = default;
    ~XlsReader() override = default;
    XlsReader(const XlsReader&) = delete;
    XlsReader& operator=(const XlsReader&) = delete;

    void Open(const std::string& path) override;

    // The workbook stream of an .xls file; throws WorkbookError.
    static std::string ReadWorkbookStream(const std::string& path);

    // The name of the Excel version before Excel 5 ("Excel 4.0") whose file
    // starts with these bytes: such a file is a bare run of records, no
    // compound file, and is not read. Nothing for any other file.
    static std::optional<std::string> OlderExcelFormat(std::string_view head);
    // "The file ... is an Excel 4.0 file, ... save it as .xlsx and load that."
    static WorkbookError OlderExcelRefusal(const std::string& path, const std::string& format);

  private:
    static std::vector<StoredSheet> ReadOlderWorkbook(const std::string& path);
};

}  // namespace ledgerlift
