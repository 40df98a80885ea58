#pragma once

#include <string>

#include "import/core/StoredWorkbook.h"

namespace ledgerlift {

// Reads .xlsx and .xlsm workbooks (Office Open XML, transitional and strict):
// the worksheets in the order of the workbook's sheet list, each found
// through the workbook's relationships; chart, dialog and macro sheets are
// not worksheets and are left out, as in an .xls workbook. Every part is read
// as a stream out of the zip package.
class XlsxReader : public StoredWorkbook {
  public:
    void Open(const std::string& path) override;
};

}  // namespace ledgerlift
